// The component text writer and reader, and the file operations built on
// them; the platform's file and folder calls are in uAppState_<platform>.cpp.
#include "settings/uAppState.h"

#include <vector>

#include "base/AnsiText.h"
#include "base/Exception.h"
#include "settings/uParser.h"

namespace qn3 {
namespace {

constexpr size_t kUnitsPerLine = 64;
// Bracketed values and object blocks nest; a hand-edited file must not be
// able to exhaust the stack with them.
constexpr int kMaxNesting = 64;

bool IsPlain(char16_t u) { return u >= 32 && u <= 127 && u != '\''; }

// Quoted runs and #n codes; with breakLines, after every 64 code units the
// line ends in " +" and goes on after CR LF and four blanks.
std::string FormatText(std::u16string_view u, bool breakLines) {
  std::string out;
  const size_t limit = breakLines ? kUnitsPerLine : SIZE_MAX;
  size_t i = 0, k = 0;
  while (i < u.size()) {
    bool lineFull = false;
    if (IsPlain(u[i])) {
      size_t j = i;
      do ++i;
      while (i < u.size() && IsPlain(u[i]) && i - k < limit);
      out += '\'';
      for (size_t n = j; n < i; ++n) out += static_cast<char>(u[n]);
      out += '\'';
    } else {
      out += '#';
      out += std::to_string(static_cast<unsigned>(u[i]));
      ++i;
    }
    lineFull = i - k >= limit;
    if (lineFull && i < u.size()) {
      out += " +\r\n    ";
      k = i;
    }
  }
  return out;
}

struct TValueText {
  enum class Kind { Integer, Text, Other };
  Kind kind = Kind::Other;
  int64_t integer = 0;
  std::u16string text;
};

struct TPropertyText {
  std::string name;
  TValueText value;
};

// What phase 1 keeps of the outermost object block.
struct TObjectText {
  std::string objectName;
  std::vector<TPropertyText> properties;
  std::string firstChildClass;
  bool hasChild = false;
};

// Phase 1: the grammar over TParser's tokens.
class TTextReader {
public:
  explicit TTextReader(std::string_view text) : parser_(text) {}

  TObjectText ReadRoot() {
    TObjectText root;
    ReadObject(&root, 0);
    return root;
  }

private:
  void Nest(int depth) {
    if (depth > kMaxNesting) parser_.Error("Too deeply nested");
  }

  // An object block; children are checked but only the first one's class
  // is kept, since no component here takes children.
  void ReadObject(TObjectText* keep, int depth) {
    Nest(depth);
    if (!parser_.TokenSymbolIs("INHERITED") && !parser_.TokenSymbolIs("INLINE")) parser_.CheckTokenSymbol("OBJECT");
    parser_.NextToken();
    std::string className = ReadHeader(keep);
    if (keep == nullptr && !childSeen_) {
      childSeen_ = true;
      firstChildClass_ = className;
    }
    while (!IsBlockKeyword()) {
      TPropertyText p = ReadProperty(depth);
      if (keep) keep->properties.push_back(std::move(p));
    }
    while (!parser_.TokenSymbolIs("END")) ReadObject(nullptr, depth + 1);
    parser_.NextToken();
    if (keep) {
      keep->hasChild = childSeen_;
      keep->firstChildClass = firstChildClass_;
    }
  }

  bool IsBlockKeyword() const {
    return parser_.TokenSymbolIs("END") || parser_.TokenSymbolIs("OBJECT") || parser_.TokenSymbolIs("INHERITED") ||
           parser_.TokenSymbolIs("INLINE");
  }

  // Returns the class name; the object name goes into keep.
  std::string ReadHeader(TObjectText* keep) {
    parser_.CheckToken(TParser::toSymbol);
    std::string className = parser_.TokenString();
    std::string objectName;
    if (parser_.NextToken() == ':') {
      parser_.NextToken();
      parser_.CheckToken(TParser::toSymbol);
      objectName = std::move(className);
      className = parser_.TokenString();
      parser_.NextToken();
    }
    SkipOrderModifier();
    if (keep) keep->objectName = std::move(objectName);
    return className;
  }

  void SkipOrderModifier() {
    if (parser_.Token() != '[') return;
    parser_.NextToken();
    parser_.CheckToken(TParser::toInteger);
    parser_.TokenInt();
    parser_.NextToken();
    parser_.CheckToken(']');
    parser_.NextToken();
  }

  TPropertyText ReadProperty(int depth) {
    TPropertyText p;
    parser_.CheckToken(TParser::toSymbol);
    p.name = parser_.TokenString();
    parser_.NextToken();
    while (parser_.Token() == '.') {
      parser_.NextToken();
      parser_.CheckToken(TParser::toSymbol);
      p.name += '.';
      p.name += parser_.TokenString();
      parser_.NextToken();
    }
    parser_.CheckToken('=');
    parser_.NextToken();
    p.value = ReadValue(depth + 1);
    return p;
  }

  bool IsText() const { return parser_.Token() == TParser::toString || parser_.Token() == TParser::toWString; }

  TValueText ReadValue(int depth) {
    Nest(depth);
    TValueText v;
    if (IsText()) {
      v.kind = TValueText::Kind::Text;
      v.text = parser_.TokenWideString();
      while (parser_.NextToken() == '+') {
        parser_.NextToken();
        if (!IsText()) parser_.CheckToken(TParser::toString);
        v.text += parser_.TokenWideString();
      }
      return v;
    }
    switch (parser_.Token()) {
      case TParser::toSymbol: parser_.TokenComponentIdent(); break;
      case TParser::toInteger:
        v.kind = TValueText::Kind::Integer;
        v.integer = parser_.TokenInt();
        break;
      case TParser::toFloat: break;
      case '[': ReadSet(); break;
      case '(':
        parser_.NextToken();
        while (parser_.Token() != ')') ReadValue(depth + 1);
        break;
      case '{': parser_.SkipBinary(); break;
      case '<': ReadCollection(depth); break;
      default: parser_.Error("Invalid property value");
    }
    parser_.NextToken();
    return v;
  }

  void ReadSet() {
    parser_.NextToken();
    if (parser_.Token() == ']') return;
    for (;;) {
      if (parser_.Token() != TParser::toInteger && !IsText()) parser_.CheckToken(TParser::toSymbol);
      if (parser_.NextToken() == ']') return;
      parser_.CheckToken(',');
      parser_.NextToken();
    }
  }

  void ReadCollection(int depth) {
    parser_.NextToken();
    while (parser_.Token() != '>') {
      parser_.CheckTokenSymbol("item");
      parser_.NextToken();
      SkipOrderModifier();
      while (!parser_.TokenSymbolIs("end")) ReadProperty(depth + 1);
      parser_.NextToken();
    }
  }

  TParser parser_;
  bool childSeen_ = false;
  std::string firstChildClass_;
};

std::string ComponentLabel(const TComponent& component) {
  return component.Name().empty() ? component.ClassName() : component.Name();
}

void ApplyProperty(const TPropertyText& p, TComponent& component) {
  size_t dot = p.name.find('.');
  if (dot != std::string::npos) {
    std::string first = p.name.substr(0, dot);
    if (!FindPublishedProperty(component, first)) throw EReadError("Property " + first + " does not exist");
    throw EReadError("Invalid property path");
  }
  const TPropInfo* info = FindPublishedProperty(component, p.name);
  if (!info) throw EReadError("Property " + p.name + " does not exist");
  const TValueText& v = p.value;
  if (info->type == TPropType::Integer) {
    if (v.kind != TValueText::Kind::Integer || v.integer < INT32_MIN || v.integer > INT32_MAX)
      throw EReadError("Invalid property value");
    info->setInt(component, static_cast<int32_t>(v.integer));
  } else {
    if (v.kind != TValueText::Kind::Text) throw EReadError("Invalid property value");
    info->setStr(component, Utf16ToAnsi(v.text));
  }
}

// Phase 2: the header name, then each property line up to the first failure.
void ApplyObjectText(const TObjectText& object, const WindowNameTest& isOpenWindow, TComponent& component) {
  std::string name = object.objectName;
  // An unnamed object stays unnamed, whatever unnamed windows are open.
  if (!name.empty() && isOpenWindow) {
    for (int i = 1; isOpenWindow(name); ++i) name = object.objectName + "_" + std::to_string(i);
  }
  component.SetName(name);
  for (const TPropertyText& p : object.properties) {
    try {
      ApplyProperty(p, component);
    } catch (const Exception& e) {
      throw EReadError("Error reading " + ComponentLabel(component) + "." + p.name + ": " + e.Message());
    }
  }
  if (object.hasChild) throw EReadError("Class " + object.firstChildClass + " not found");
}

}  // namespace

std::string ChangeFileExt(std::string_view path, std::string_view ext, LeadByteTest isLeadByte) {
  size_t sep = FindLastOf(path, "\\:", isLeadByte);
  size_t nameStart = sep == std::string_view::npos ? 0 : sep + 1;
  size_t dot = path.rfind('.');
  std::string result(path);
  if (dot != std::string_view::npos && dot >= nameStart) result.resize(dot);
  result += ext;
  return result;
}

std::string TextValueNotation(std::string_view ansiText) {
  if (ansiText.empty()) return "''";
  return FormatText(AnsiToUtf16(ansiText), false);
}

std::string WriteComponentText(const TComponent& component) {
  std::string out = "object ";
  if (!component.Name().empty()) out += component.Name() + ": ";
  out += component.ClassName() + "\r\n";
  for (const TPropInfo& p : component.PublishedProperties()) {
    if (!p.stored) continue;
    std::string value;
    if (p.type == TPropType::Integer) {
      int32_t v = p.getInt(component);
      if (p.hasDefault && v == p.defaultValue) continue;
      value = std::to_string(v);
    } else {
      std::u16string text = AnsiToUtf16(p.getStr(component));
      if (text.empty()) continue;
      if (text.size() > kUnitsPerLine) value = "\r\n    ";
      value += FormatText(text, true);
    }
    out += "  ";
    out += p.name;
    out += " = ";
    out += value;
    out += "\r\n";
  }
  out += "end\r\n";
  return out;
}

bool ComponentToText(const TComponent& component, std::string& text) {
  try {
    text = WriteComponentText(component);
    return true;
  } catch (...) {
    return false;
  }
}

void ReadComponentText(std::string_view text, const WindowNameTest& isOpenWindow, TComponent& component) {
  TObjectText object = TTextReader(text).ReadRoot();
  ApplyObjectText(object, isOpenWindow, component);
}

bool TextToComponent(std::string_view text, const WindowNameTest& isOpenWindow, TComponent& component,
                     std::string* message) {
  try {
    ReadComponentText(text, isOpenWindow, component);
    return true;
  } catch (const std::exception& e) {
    if (message) *message = ErrorMessage(e);
  } catch (...) {
    if (message) *message = "Unknown error";
  }
  return false;
}

bool SaveComponentToFile(const TComponent& component, const std::string& path) {
  std::string text;
  if (!ComponentToText(component, text)) return false;
  try {
    return WriteSettingsFile(path, text);
  } catch (...) {
    return false;
  }
}

bool LoadComponentFromFile(TComponent& component, const std::string& path, const WindowNameTest& isOpenWindow,
                           std::string* message) {
  std::string bytes;
  try {
    if (!ReadSettingsFile(path, bytes)) {
      if (message) *message = "Cannot open file " + path;
      return false;
    }
  } catch (...) {
    if (message) *message = "Cannot read file " + path;
    return false;
  }
  return TextToComponent(bytes, isOpenWindow, component, message);
}

}  // namespace qn3
