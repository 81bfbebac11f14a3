#include "standin/hxstandin/StandinConfig.h"

#include <algorithm>
#include <charconv>

namespace qn3::hxstandin {
namespace {

bool Fail(std::string* error, std::string why) {
  if (error) *error = std::move(why);
  return false;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Splits at ';' that no backslash escapes; the escapes stay for Unescape.
std::vector<std::string_view> SplitItems(std::string_view text) {
  std::vector<std::string_view> items;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == ';') {
      items.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  items.push_back(text.substr(start));
  return items;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unescape(std::string_view text, std::u16string& out, std::string* error) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
      continue;
    }
    if (++i == text.size()) return Fail(error, "a backslash ends the text");
    switch (text[i]) {
      case 'n': bytes += '\n'; break;
      case 'r': bytes += '\r'; break;
      case 't': bytes += '\t'; break;
      case '\\': bytes += '\\'; break;
      case ';': bytes += ';'; break;
      case 'x': {
        int hi = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        int lo = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (hi < 0 || lo < 0) return Fail(error, "\\x needs two hexadecimal digits");
        bytes += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default: return Fail(error, std::string("unknown escape \\") + text[i]);
    }
  }
  out = Utf8ToUtf16(bytes);
  return true;
}

bool ParseCode(std::string_view text, uint32_t& code, std::string* error) {
  text = TrimBlanks(text);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), code, 16);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size())
    return Fail(error, "not a hexadecimal code: " + std::string(text));
  return true;
}

bool ParseInt(std::string_view text, int32_t& value, std::string* error) {
  text = TrimBlanks(text);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size())
    return Fail(error, "not a number: " + std::string(text));
  return true;
}

struct OpName {
  std::string_view name;
  Op op;
  bool indexed;
};
constexpr OpName kOps[] = {{"create", Op::Create, false},
                           {"list", Op::List, false},
                           {"count", Op::Count, false},
                           {"item", Op::Item, true},
                           {"name", Op::Name, true},
                           {"property", Op::Property, true}};

// "op" or "op@N"; an indexed call without "@N" means every index.
bool ParseTarget(std::string_view text, Op& op, IndexSet& at, std::string* error) {
  text = TrimBlanks(text);
  size_t atSign = text.find('@');
  std::string_view name = TrimBlanks(text.substr(0, atSign));
  auto it = std::find_if(std::begin(kOps), std::end(kOps), [&](const OpName& o) { return o.name == name; });
  if (it == std::end(kOps)) return Fail(error, "unknown call: " + std::string(name));
  op = it->op;
  if (atSign == std::string_view::npos) {
    at.all = true;
    return true;
  }
  if (!it->indexed) return Fail(error, "call " + std::string(name) + " has no index");
  int32_t index = 0;
  if (!ParseInt(text.substr(atSign + 1), index, error)) return false;
  at.indexes.push_back(index);
  return true;
}

// fail=OP[@N]:CODE[:DESCRIPTION]
bool ParseFailure(std::string_view value, FaultPlan& plan, std::string* error) {
  Failure f;
  size_t colon = value.find(':');
  if (colon == std::string_view::npos) return Fail(error, "fail needs OP:CODE");
  if (!ParseTarget(value.substr(0, colon), f.op, f.at, error)) return false;
  std::string_view rest = value.substr(colon + 1);
  size_t second = rest.find(':');
  if (!ParseCode(rest.substr(0, second), f.code, error)) return false;
  if (f.code < 0x80000000u) return Fail(error, "a failure code needs bit 31 set");
  if (second != std::string_view::npos) {
    // Nothing reads an error object after a failed creation; it would linger.
    if (f.op == Op::Create) return Fail(error, "create takes no description");
    f.withErrorObject = true;
    if (!Unescape(rest.substr(second + 1), f.description, error)) return false;
  }
  plan.failures.push_back(std::move(f));
  return true;
}

// null=object | null=list | null=item[@N] | null=name[@N] | null=property[@N]
bool ParseNull(std::string_view value, FaultPlan& plan, std::string* error) {
  value = TrimBlanks(value);
  if (value == "object") return plan.nullObject = true;
  if (value == "list") return plan.nullList = true;
  Op op;
  IndexSet at;
  if (!ParseTarget(value, op, at, error)) return false;
  IndexSet* target = op == Op::Item       ? &plan.nullItems
                     : op == Op::Name     ? &plan.nullNames
                     : op == Op::Property ? &plan.nullProperties
                                          : nullptr;
  if (!target) return Fail(error, "null takes object, list, item, name or property");
  target->all = target->all || at.all;
  target->indexes.insert(target->indexes.end(), at.indexes.begin(), at.indexes.end());
  return true;
}

bool ParseItem(std::string_view item, FaultPlan& plan, std::string* error) {
  size_t eq = item.find('=');
  std::string_view key = TrimBlanks(item.substr(0, eq));
  std::string_view value = eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1);
  bool hasValue = eq != std::string_view::npos;
  if (!hasValue) {
    if (key == "nowalker") return plan.noWalker = true;
    if (key == "poison") return plan.poison = true;
    return Fail(error, "unknown setting: " + std::string(key));
  }
  if (key == "fail") return ParseFailure(value, plan, error);
  if (key == "null") return ParseNull(value, plan, error);
  if (key == "ok") {
    if (!ParseCode(value, plan.successCode, error)) return false;
    if (plan.successCode >= 0x80000000u) return Fail(error, "a success code needs bit 31 clear");
    return true;
  }
  if (key == "count") {
    int32_t n = 0;
    if (!ParseInt(value, n, error)) return false;
    plan.count = n;
    return true;
  }
  if (key == "source") return Unescape(value, plan.source, error);
  if (key == "helpfile") return Unescape(value, plan.helpFile, error);
  if (key == "helpcontext") return ParseCode(value, plan.helpContext, error);
  return Fail(error, "unknown setting: " + std::string(key));
}

// Appends the code point as UTF-16.
void AppendCodePoint(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

}  // namespace

bool IndexSet::Has(int32_t index) const {
  return all || std::find(indexes.begin(), indexes.end(), index) != indexes.end();
}

const Failure* FaultPlan::FailureFor(Op op, int32_t index) const {
  for (const Failure& f : failures)
    if (f.op == op && (f.at.all || f.at.Has(index))) return &f;
  return nullptr;
}

std::optional<FaultPlan> ParseFaultPlan(std::string_view text, std::string* error) {
  FaultPlan plan;
  for (std::string_view item : SplitItems(text)) {
    if (TrimBlanks(item).empty()) continue;
    if (!ParseItem(item, plan, error)) return std::nullopt;
  }
  return plan;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    size_t extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 4;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra < 4 && i + extra < s.size();
    for (size_t k = 1; ok && k <= extra; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) ok = false;
      c = (c << 6) | (t & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed.
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (ok && (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
    if (!ok) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    AppendCodePoint(out, c);
    i += extra + 1;
  }
  return out;
}

std::vector<NamespaceEntry> ParseNames(std::string_view utf8) {
  if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
  std::vector<NamespaceEntry> names;
  while (!utf8.empty()) {
    size_t lf = utf8.find('\n');
    std::string_view line = utf8.substr(0, lf);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    NamespaceEntry entry{Utf8ToUtf16(line.substr(0, line.find('\t')))};
    if (const size_t tab = line.find('\t'); tab != std::string_view::npos) {
      std::string_view rest = line.substr(tab + 1);
      if (const size_t last = rest.rfind('\t'); last != std::string_view::npos) {
        entry.collection = Utf8ToUtf16(rest.substr(last + 1));
        rest = rest.substr(0, last);
      }
      entry.description = Utf8ToUtf16(rest);
    }
    names.push_back(std::move(entry));
    if (lf == std::string_view::npos) break;
    utf8.remove_prefix(lf + 1);
  }
  return names;
}

}  // namespace qn3::hxstandin
