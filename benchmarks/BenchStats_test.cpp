#include "benchmarks/BenchStats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace qn3::bench {
namespace {

TEST(Median, MiddleOfOddEvenAndUnsortedSamples) {
  struct Case {
    std::vector<double> values;
    double median;
  } cases[] = {
      {{}, 0},
      {{7}, 7},
      {{3, 1, 2}, 2},
      {{4, 1, 3, 2}, 2.5},
      {{10, 10, 1, 10}, 10},
      {{5, 100, 1, 2, 90, 3}, 4},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(Median(c.values), c.median) << ::testing::PrintToString(c.values);
}

TEST(Ratio, FailedBaselineGivesZeroNotInfinity) {
  EXPECT_DOUBLE_EQ(Ratio(3, 2), 1.5);
  EXPECT_DOUBLE_EQ(Ratio(3, 0), 0);
  EXPECT_DOUBLE_EQ(Ratio(3, -1), 0);
  // Round by round: the shorter side decides, a failed round gives 0.
  EXPECT_EQ(Ratios({3, 4, 5}, {2, 0}), (std::vector<double>{1.5, 0}));
  EXPECT_EQ(Differences({3, 4}, {2, 6, 1}), (std::vector<double>{1, -2}));
}

TEST(NamesText, ExactlyCountDistinctLines) {
  for (int count : {0, 1, 10, 10000}) {
    std::string text = NamesText(count);
    std::set<std::string> names;
    size_t start = 0, lines = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2, ++lines)
      names.insert(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last line break";
    EXPECT_EQ(lines, static_cast<size_t>(count));
    EXPECT_EQ(names.size(), static_cast<size_t>(count));
    EXPECT_EQ(names.count(""), 0u) << "an empty line would list an empty name";
  }
}

TEST(Json, NumbersAreValidJson) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},       {1.5, "1.5"},     {2.0, "2"},       {0.1234, "0.123"},
      {-0.0001, "0"}, {1234.5678, "1234.568"}, {std::numeric_limits<double>::quiet_NaN(), "null"},
      {std::numeric_limits<double>::infinity(), "null"},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonNumber(c.value), c.text) << c.value;
}

TEST(Json, StringsAreEscaped) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonString("l1\r\nl2\t"), "\"l1\\r\\nl2\\t\"");
  EXPECT_EQ(JsonString(std::string("\x01", 1)), "\"\\u0001\"");
  EXPECT_EQ(JsonString("Mesa 23.2 \xc3\xa9"), "\"Mesa 23.2 \xc3\xa9\"") << "UTF-8 passes through";
}

TEST(Json, ObjectKeepsOrderAndNests) {
  JsonObject inner;
  inner.Add("n", 10).Add("ms", std::vector<double>{1.25, 2});
  JsonObject outer;
  outer.Add("met", false).Add("name", "qn3").AddRaw("sizes", JsonArray({inner.Text(), "{}"})).Add("big", int64_t{1} << 40);
  EXPECT_EQ(outer.Text(),
            "{\"met\": false, \"name\": \"qn3\", \"sizes\": [{\"n\": 10, \"ms\": [1.25, 2]}, {}], \"big\": 1099511627776}");
  EXPECT_EQ(JsonObject().Text(), "{}");
}

TEST(Table, ColumnsAlignUnderTheHeading) {
  std::string t = Table({{"name", "ms"}, {"qn3.exe", "1.5"}, {"b", "12.25", "extra"}});
  EXPECT_EQ(t,
            "name     ms\n"
            "---------------------\n"
            "qn3.exe  1.5\n"
            "b        12.25  extra\n");
}

}  // namespace
}  // namespace qn3::bench
