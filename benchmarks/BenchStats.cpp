#include "benchmarks/BenchStats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qn3::bench {

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  size_t mid = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + mid, values.end());
  double upper = values[mid];
  if (values.size() % 2 != 0) return upper;
  double lower = *std::max_element(values.begin(), values.begin() + mid);
  return (lower + upper) / 2;
}

double Ratio(double a, double b) { return b > 0 ? a / b : 0; }

std::vector<double> Ratios(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> out;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) out.push_back(Ratio(a[i], b[i]));
  return out;
}

std::vector<double> Differences(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> out;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) out.push_back(a[i] - b[i]);
  return out;
}

std::string NamesText(int count) {
  std::string text;
  text.reserve(static_cast<size_t>(std::max(count, 0)) * 126);
  char line[160];
  for (int i = 1; i <= count; ++i) {
    int n = std::snprintf(line, sizeof line,
                          "Bench.Collection.%06d\tDocumentation of benchmark collection number %06d as shown"
                          "\tC:\\Help\\Bench\\Collection.%06d.HxC\r\n",
                          i, i, i);
    text.append(line, static_cast<size_t>(n));
  }
  return text;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", u);
      out += esc;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", value);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

void JsonObject::Key(std::string_view key) {
  if (!body_.empty()) body_ += ", ";
  body_ += JsonString(key);
  body_ += ": ";
}

JsonObject& JsonObject::Add(std::string_view key, double value) {
  Key(key);
  body_ += JsonNumber(value);
  return *this;
}

JsonObject& JsonObject::Add(std::string_view key, int64_t value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::Add(std::string_view key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view value) {
  Key(key);
  body_ += JsonString(value);
  return *this;
}

JsonObject& JsonObject::Add(std::string_view key, const std::vector<double>& values) {
  std::vector<std::string> items;
  for (double v : values) items.push_back(JsonNumber(v));
  return AddRaw(key, JsonArray(items));
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view json) {
  Key(key);
  body_ += json;
  return *this;
}

std::string JsonObject::Text() const { return "{" + body_ + "}"; }

std::string JsonArray(const std::vector<std::string>& values) {
  std::string out = "[";
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) out += ", ";
    out += values[i];
  }
  return out + "]";
}

std::string Table(const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> widths;
  for (const auto& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string out;
  auto line = [&](const std::vector<std::string>& row) {
    std::string text;
    for (size_t c = 0; c < widths.size(); ++c) {
      std::string cell = c < row.size() ? row[c] : std::string();
      text += cell;
      if (c + 1 < widths.size()) text += std::string(widths[c] - cell.size() + 2, ' ');
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out += text + "\n";
  };
  for (size_t r = 0; r < rows.size(); ++r) {
    line(rows[r]);
    if (r == 0) {
      size_t total = 0;
      for (size_t c = 0; c < widths.size(); ++c) total += widths[c] + (c + 1 < widths.size() ? 2 : 0);
      out += std::string(total, '-') + "\n";
    }
  }
  return out;
}

std::string Fixed(double value, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

}  // namespace qn3::bench
