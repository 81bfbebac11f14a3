// What the benchmark programs share that needs no Windows: medians and
// ratios of paired runs, the names file the stand-in runtime lists, a small
// JSON object writer for build/bench/results.json and a plain text table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qn3::bench {

// The median; the mean of the two middle values for an even count, 0 for none.
double Median(std::vector<double> values);

// a / b, or 0 when b is not positive (a failed measurement must not look fast).
double Ratio(double a, double b);

// Round by round, for runs taken in turns (a[i] and b[i] in one round, so
// both saw the same load): a[i] / b[i] by Ratio, and a[i] - b[i]. Both as
// long as the shorter.
std::vector<double> Ratios(const std::vector<double>& a, const std::vector<double>& b);
std::vector<double> Differences(const std::vector<double>& a, const std::vector<double>& b);

// A names file for the stand-in runtime: `count` distinct names, each with
// a 60-character description and a collection path that names no file,
// each after a tab, and CR LF after it, so its list has exactly `count`
// entries, every one of them to be marked.
std::string NamesText(int count);

// Builds one JSON object; keys keep the order they were added in.
class JsonObject {
public:
  JsonObject& Add(std::string_view key, double value);
  JsonObject& Add(std::string_view key, int64_t value);
  JsonObject& Add(std::string_view key, int value) { return Add(key, static_cast<int64_t>(value)); }
  JsonObject& Add(std::string_view key, bool value);
  JsonObject& Add(std::string_view key, std::string_view value);
  JsonObject& Add(std::string_view key, const char* value) { return Add(key, std::string_view(value)); }
  JsonObject& Add(std::string_view key, const std::vector<double>& values);
  // `json` must already be a JSON value (an object or array built here).
  JsonObject& AddRaw(std::string_view key, std::string_view json);
  std::string Text() const;

private:
  void Key(std::string_view key);
  std::string body_;
};

// A JSON array of JSON values built here.
std::string JsonArray(const std::vector<std::string>& values);

// A JSON string literal, quoted and escaped.
std::string JsonString(std::string_view text);

// A number as JSON writes it: at most 3 decimals, no trailing zeros; NaN
// and infinities, which JSON cannot hold, become null.
std::string JsonNumber(double value);

// A text table: the first row is the heading, columns padded to the widest
// cell, numbers and texts left-aligned, a rule under the heading.
std::string Table(const std::vector<std::vector<std::string>>& rows);

// A number with `decimals` places, for tables.
std::string Fixed(double value, int decimals);

}  // namespace qn3::bench
