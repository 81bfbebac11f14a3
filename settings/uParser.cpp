#include "settings/uParser.h"

#include "base/AnsiText.h"
#include "base/Exception.h"
#include "base/Text.h"

namespace qn3 {
namespace {

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(unsigned char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
int HexValue(unsigned char c) { return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

bool ConvertInt(std::string_view s, int64_t& value) {
  if (!s.empty() && s[0] == '$') {
    std::string_view digits = s.substr(1);
    if (digits.empty() || digits.size() > 16) return false;
    uint64_t v = 0;
    for (char c : digits) v = (v << 4) | static_cast<uint64_t>(HexValue(static_cast<unsigned char>(c)));
    value = static_cast<int64_t>(v);
    return true;
  }
  bool negative = !s.empty() && s[0] == '-';
  std::string_view digits = negative ? s.substr(1) : s;
  if (digits.empty()) return false;
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t v = 0;
  for (char c : digits) {
    if (!IsDigit(static_cast<unsigned char>(c))) return false;
    unsigned d = static_cast<unsigned>(c - '0');
    if (v > (limit - d) / 10) return false;
    v = v * 10 + d;
  }
  value = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
  return true;
}

}  // namespace

TParser::TParser(std::string_view text) : text_(text) {
  ReadBuffer();
  NextToken();
}

void TParser::Error(const std::string& message) const {
  throw EParserError(message + " on line " + std::to_string(line_));
}

// The window starts at the current position, which is always a line start
// or a NUL byte; a full window ends after its last line feed.
void TParser::ReadBuffer() {
  size_t available = text_.size() - pos_;
  if (available < kWindowSize) {
    windowEnd_ = text_.size();
    return;
  }
  for (size_t i = pos_ + kWindowSize - 2; i > pos_; --i) {
    if (text_[i] == '\n') {
      windowEnd_ = i + 1;
      return;
    }
  }
  windowEnd_ = pos_;
  Error("Line too long");
}

void TParser::SkipBlanks() {
  for (;;) {
    unsigned char c = At(pos_);
    if (c == 0) {
      ReadBuffer();
      if (At(pos_) == 0) return;
      continue;
    }
    if (c == '\n')
      ++line_;
    else if (c > ' ')
      return;
    ++pos_;
  }
}

// A text token: quoted pieces and #n codes with nothing between them. It is
// wide when a code exceeds 127; then codes are UTF-16 units and quoted
// bytes keep their values, else it is 8-bit text in the ANSI code page.
void TParser::ReadText() {
  std::string bytes;
  std::u16string units;
  bool wide = false;
  for (;;) {
    unsigned char c = At(pos_);
    if (c == '#') {
      ++pos_;
      uint32_t code = 0;
      bool big = false;
      while (IsDigit(At(pos_))) {
        code = (code * 10 + (At(pos_) - '0')) & 0xFFFF;
        if (code > 127) big = true;
        ++pos_;
      }
      if (big) wide = true;
      bytes += static_cast<char>(code & 0xFF);
      units += static_cast<char16_t>(code);
    } else if (c == '\'') {
      ++pos_;
      for (;;) {
        c = At(pos_);
        if (c == 0 || c == '\n' || c == '\r') Error("Invalid string constant");
        if (c == '\'') {
          ++pos_;
          if (At(pos_) != '\'') break;
        }
        bytes += static_cast<char>(c);
        units += static_cast<char16_t>(c);
        ++pos_;
      }
    } else {
      break;
    }
  }
  if (wide) {
    text16_ = std::move(units);
    token_ = toWString;
  } else {
    text16_ = AnsiToUtf16(bytes);
    token_ = toString;
  }
}

int TParser::NextToken() {
  SkipBlanks();
  tokenStart_ = pos_;
  text16_.clear();
  unsigned char c = At(pos_);
  if (IsLetter(c)) {
    ++pos_;
    while (IsLetter(At(pos_)) || IsDigit(At(pos_))) ++pos_;
    token_ = toSymbol;
  } else if (c == '#' || c == '\'') {
    ReadText();
  } else if (c == '$') {
    ++pos_;
    while (IsHexDigit(At(pos_))) ++pos_;
    token_ = toInteger;
  } else if (c == '-' || IsDigit(c)) {
    ++pos_;
    while (IsDigit(At(pos_))) ++pos_;
    token_ = toInteger;
    for (unsigned char d = At(pos_); IsDigit(d) || d == '.' || d == 'e' || d == 'E' || d == '+' || d == '-';
         d = At(pos_)) {
      ++pos_;
      token_ = toFloat;
    }
    unsigned char s = At(pos_);
    if (s == 'c' || s == 'C' || s == 'd' || s == 'D' || s == 's' || s == 'S') {
      ++pos_;
      token_ = toFloat;
    }
  } else {
    token_ = c;
    if (c != 0) ++pos_;
  }
  return token_;
}

std::string TParser::TokenString() const { return std::string(text_.substr(tokenStart_, pos_ - tokenStart_)); }

int64_t TParser::TokenInt() const {
  int64_t value = 0;
  std::string s = TokenString();
  if (!ConvertInt(s, value)) throw EParserError("'" + s + "' is not a valid integer value");
  return value;
}

std::string TParser::TokenComponentIdent() {
  CheckToken(toSymbol);
  size_t p = pos_;
  while (At(p) == '.') {
    ++p;
    if (!IsLetter(At(p))) Error("Identifier expected");
    do ++p;
    while (IsLetter(At(p)) || IsDigit(At(p)));
  }
  pos_ = p;
  return TokenString();
}

bool TParser::TokenSymbolIs(std::string_view symbol) const {
  return token_ == toSymbol && SameTextAscii(TokenString(), symbol);
}

void TParser::CheckToken(int token) const {
  if (token_ == token) return;
  switch (token) {
    case toSymbol: Error("Identifier expected");
    case toString:
    case toWString: Error("String expected");
    case toInteger:
    case toFloat: Error("Number expected");
    default: Error("''" + std::string(1, static_cast<char>(token)) + "'' expected");
  }
}

void TParser::CheckTokenSymbol(std::string_view symbol) const {
  if (!TokenSymbolIs(symbol)) Error(std::string(symbol) + " expected");
}

void TParser::SkipBinary() {
  SkipBlanks();
  while (At(pos_) != '}') {
    size_t pairs = 0;
    while (IsHexDigit(At(pos_)) && IsHexDigit(At(pos_ + 1))) {
      pos_ += 2;
      ++pairs;
    }
    if (pairs == 0) Error("Invalid binary value");
    SkipBlanks();
  }
  NextToken();
}

}  // namespace qn3
