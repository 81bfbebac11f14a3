#include <gtest/gtest.h>

#include "standin/hxstandin/StandinConfig.h"

namespace qn3::hxstandin {
namespace {

TEST(StandinNames, LinesInFileOrder) {
  using E = NamespaceEntry;
  struct Case {
    const char* text;
    std::vector<NamespaceEntry> names;
  } cases[] = {
      {"", {}},
      {"a", {E{u"a"}}},
      {"a\nb\n", {E{u"a"}, E{u"b"}}},
      {"a\r\nb\r\n", {E{u"a"}, E{u"b"}}},
      {"a\r\nb", {E{u"a"}, E{u"b"}}},
      {"\n", {E{u""}}},
      {"a\n\nb", {E{u"a"}, E{u""}, E{u"b"}}},
      {"a\r\n\r\n", {E{u"a"}, E{u""}}},
      {"\xEF\xBB\xBF" "first\n", {E{u"first"}}},
      {" spaced \n", {E{u" spaced "}}},
      {"dup\ndup\n", {E{u"dup"}, E{u"dup"}}},
      // A lone CR is part of the name; only CR LF ends a line.
      {"a\rb\n", {E{u"a\rb"}}},
      // The name ends at the first tab; with one tab more the collection
      // path follows the last one, and the description, tabs and all, lies
      // between.
      {"MS.VSCC.v90\tVisual Studio 2008 Combined Collection\r\n",
       {E{u"MS.VSCC.v90", u"Visual Studio 2008 Combined Collection"}}},
      {"a\tone\ttwo \nb\t\n\tc\n", {E{u"a", u"one", u"two "}, E{u"b"}, E{u"", u"c"}}},
      {"a\tone\ttwo\tC:\\a.HxC\r\nb\tdesc\t\n", {E{u"a", u"one\ttwo", u"C:\\a.HxC"}, E{u"b", u"desc", u""}}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.names, ParseNames(c.text)) << c.text;
}

TEST(StandinNames, Utf8ToUtf16) {
  EXPECT_EQ(u"caf\u00E9", Utf8ToUtf16("caf\xC3\xA9"));
  EXPECT_EQ(u"\u4E2D", Utf8ToUtf16("\xE4\xB8\xAD"));
  EXPECT_EQ(u"\U0001F600", Utf8ToUtf16("\xF0\x9F\x98\x80"));
  // Truncated, overlong, surrogate and stray continuation bytes.
  EXPECT_EQ(u"a\uFFFD", Utf8ToUtf16("a\xC3"));
  EXPECT_EQ(u"\uFFFD\uFFFD", Utf8ToUtf16("\xC0\xAF"));
  EXPECT_EQ(u"\uFFFD\uFFFD\uFFFD", Utf8ToUtf16("\xED\xA0\x80"));
  EXPECT_EQ(u"\uFFFDx", Utf8ToUtf16("\x80x"));
}

TEST(StandinFaults, EmptyTextMeansWellBehaved) {
  std::optional<FaultPlan> plan = ParseFaultPlan("", nullptr);
  ASSERT_TRUE(plan);
  EXPECT_TRUE(plan->failures.empty());
  EXPECT_EQ(0u, plan->successCode);
  EXPECT_FALSE(plan->nullObject || plan->nullList || plan->noWalker || plan->poison || plan->count);
}

TEST(StandinFaults, FailuresWithAndWithoutErrorObject) {
  std::optional<FaultPlan> plan =
      ParseFaultPlan("fail=item@2:80004005:Broken.\\r\\n; fail=count:0x8007000E ;fail=name:80004001:", nullptr);
  ASSERT_TRUE(plan);
  ASSERT_EQ(3u, plan->failures.size());

  const Failure* item = plan->FailureFor(Op::Item, 2);
  ASSERT_TRUE(item);
  EXPECT_EQ(0x80004005u, item->code);
  EXPECT_TRUE(item->withErrorObject);
  EXPECT_EQ(u"Broken.\r\n", item->description);
  EXPECT_FALSE(plan->FailureFor(Op::Item, 1));
  EXPECT_FALSE(plan->FailureFor(Op::Item, 3));

  const Failure* count = plan->FailureFor(Op::Count, 0);
  ASSERT_TRUE(count);
  EXPECT_EQ(0x8007000Eu, count->code);
  EXPECT_FALSE(count->withErrorObject);

  // Without an index a failure hits every index; an empty description
  // still means an error object.
  const Failure* name = plan->FailureFor(Op::Name, 7);
  ASSERT_TRUE(name);
  EXPECT_TRUE(name->withErrorObject);
  EXPECT_EQ(u"", name->description);
  EXPECT_FALSE(plan->FailureFor(Op::List, 0));
}

TEST(StandinFaults, Settings) {
  std::optional<FaultPlan> plan = ParseFaultPlan(
      "ok=1;null=item@2;null=item@4;null=name;count=-3;nowalker;poison;source=Src\\;x;helpfile=h\\x2Echm;"
      "helpcontext=2A;null=list;null=object;null=property@3",
      nullptr);
  ASSERT_TRUE(plan);
  EXPECT_EQ(1u, plan->successCode);
  EXPECT_TRUE(plan->nullItems.Has(2) && plan->nullItems.Has(4));
  EXPECT_FALSE(plan->nullItems.Has(3));
  EXPECT_TRUE(plan->nullNames.Has(1) && plan->nullNames.Has(99));
  EXPECT_TRUE(plan->nullProperties.Has(3) && !plan->nullProperties.Has(1));
  EXPECT_EQ(-3, plan->count.value_or(0));
  EXPECT_TRUE(plan->noWalker && plan->poison && plan->nullList && plan->nullObject);
  EXPECT_EQ(u"Src;x", plan->source);
  EXPECT_EQ(u"h.chm", plan->helpFile);
  EXPECT_EQ(0x2Au, plan->helpContext);
}

TEST(StandinFaults, MalformedTextsAreRefusedWithAReason) {
  const char* bad[] = {
      "fail=item@2",            // no code
      "fail=walk:80004005",     // unknown call
      "fail=count@1:80004005",  // count has no index
      "fail=item@x:80004005",   // index not a number
      "fail=item:1",            // not a failure code
      "fail=item:zz",           // not hexadecimal
      "fail=create:80004005:x", // creation leaves no error object
      "ok=80004005",            // not a success code
      "null=count",             // nothing to make null
      "count=",                 // no number
      "source=\\q",             // unknown escape
      "source=x\\",             // dangling backslash
      "source=\\x4",            // short hex escape
      "sometimes",              // unknown flag
      "colour=red",             // unknown setting
  };
  for (const char* text : bad) {
    std::string why;
    EXPECT_FALSE(ParseFaultPlan(text, &why)) << text;
    EXPECT_FALSE(why.empty()) << text;
  }
}

}  // namespace
}  // namespace qn3::hxstandin
