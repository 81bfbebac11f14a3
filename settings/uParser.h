// TParser, the tokenizer of component text. It reads the text through a
// window of 4096 bytes that always ends at a line start, so a line that
// fills a whole window is refused ("Line too long"); a NUL byte ends the
// text. Errors are EParserError with "... on line N".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qn3 {

class TParser {
public:
  // Token kinds; any other token is the byte it consists of ("=", "+", ...).
  enum : int { toEOF = 0, toSymbol = 1, toString = 2, toInteger = 3, toFloat = 4, toWString = 6 };
  static constexpr size_t kWindowSize = 4096;

  // The text must outlive the parser. Reads the first token.
  explicit TParser(std::string_view text);

  int NextToken();
  int Token() const { return token_; }
  int SourceLine() const { return line_; }

  // The token's bytes as they stand in the text.
  std::string TokenString() const;
  // A text token as UTF-16.
  const std::u16string& TokenWideString() const { return text16_; }
  // An integer token as a 64-bit value; "$" digits are a two's-complement
  // pattern. Raises "'%s' is not a valid integer value" (no line).
  int64_t TokenInt() const;
  // An identifier followed directly by ".ident" parts, which it consumes.
  std::string TokenComponentIdent();
  bool TokenSymbolIs(std::string_view symbol) const;

  void CheckToken(int token) const;
  void CheckTokenSymbol(std::string_view symbol) const;
  // Skips the hexadecimal digit pairs of a "{...}" value and reads the
  // token after the closing brace.
  void SkipBinary();

  [[noreturn]] void Error(const std::string& message) const;

private:
  unsigned char At(size_t i) const { return i < windowEnd_ ? static_cast<unsigned char>(text_[i]) : 0; }
  void ReadBuffer();
  void SkipBlanks();
  void ReadText();

  std::string_view text_;
  size_t windowEnd_ = 0;
  size_t pos_ = 0;
  size_t tokenStart_ = 0;
  int line_ = 1;
  int token_ = toEOF;
  std::u16string text16_;
};

}  // namespace qn3
