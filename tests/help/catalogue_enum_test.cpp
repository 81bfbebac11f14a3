#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <ostream>
#include <thread>

#include "base/Exception.h"
#include "base/Strings.h"
#include "base/Text.h"
#include "help/MSHelpServices_TLB.h"
#include "help/uHelpCatalogue.h"
#include "tests/help/catalogue_standin.h"

namespace qn3::test {
namespace {

using Names = std::vector<std::string>;

constexpr const char* kThree = "one\ntwo\nthree\n";

class Catalogue : public StandinTest {
protected:
  void Use(const char* fault, const char* names = kThree) {
    ASSERT_EQ(S_OK, standin.Configure(fault)) << fault;
    ASSERT_EQ(S_OK, standin.SetNames(names));
  }
  // The list starts with an entry, so every test also sees it cleared.
  TStringList list;
  void SetUp() override {
    StandinTest::SetUp();
    list.Add("left over");
  }
};

TEST_F(Catalogue, ListsNamesInTheRuntimesOrder) {
  Use("");
  EXPECT_TRUE(EnumHelpNamespaces(list));
  EXPECT_EQ((Names{"one", "two", "three"}), list.Items());
}

TEST_F(Catalogue, NamesComeAsTheyAre) {
  // Empty names count, duplicates stay, nothing is trimmed or sorted.
  Use("", "\n  zeta \nalpha\nalpha\n\n");
  EXPECT_TRUE(EnumHelpNamespaces(list));
  EXPECT_EQ((Names{"", "  zeta ", "alpha", "alpha", ""}), list.Items());
}

TEST_F(Catalogue, AnEmptyNameAloneGivesTrue) {
  Use("", "\n");
  EXPECT_TRUE(EnumHelpNamespaces(list));
  EXPECT_EQ((Names{""}), list.Items());
}

TEST_F(Catalogue, NullNameGivesAnEmptyEntry) {
  Use("null=name@2");
  EXPECT_TRUE(EnumHelpNamespaces(list));
  EXPECT_EQ((Names{"one", "", "three"}), list.Items());
}

TEST_F(Catalogue, NoNamespacesGivesFalse) {
  Use("", "");
  EXPECT_FALSE(EnumHelpNamespaces(list));
  EXPECT_EQ(0, list.Count());
}

TEST_F(Catalogue, EverySuccessCodeIsSuccess) {
  Use("ok=1");
  EXPECT_TRUE(IsHelpApiAvailable());
  EXPECT_TRUE(EnumHelpNamespaces(list));
  EXPECT_EQ((Names{"one", "two", "three"}), list.Items());
  Use("ok=7FFFFFFF");
  EXPECT_TRUE(EnumHelpNamespaces(list));
  EXPECT_EQ(3, list.Count());
}

TEST_F(Catalogue, CallsInOrderAndFreesAsItGoes) {
  Use("", "a\tA\tC:\\a.HxC\nb\n");
  EXPECT_TRUE(EnumHelpNamespaces(list));
  // The count is read once; the walker gets 0; each name and object goes
  // before the next is fetched; the rest goes last, name first. Without a
  // collection, property 3 fails and hands out nothing.
  EXPECT_EQ("create list:0 count item:1 name:1 property:1:4 free:d1 property:1:3 free:c1 ~ns:1 item:2 free:1 "
            "name:2 property:2:4 free:d2 property:2:3 free:2 ~ns:2 ~list ~walker",
            standin.CallLog());
}

TEST_F(Catalogue, ProbeCreatesAndReleasesOnlyTheWalker) {
  Use("");
  EXPECT_TRUE(IsHelpApiAvailable());
  EXPECT_EQ("create ~walker", standin.CallLog());
}

TEST_F(Catalogue, ProbeIsFalseWhenTheWalkerCannotBeHad) {
  for (const char* fault : {"fail=create:80040154", "fail=create:80004005", "nowalker", "null=object"}) {
    Use(fault);
    EXPECT_FALSE(IsHelpApiAvailable()) << fault;
    EXPECT_EQ(0, standin.LiveObjects()) << fault;
  }
}

TEST_F(Catalogue, ManyNamespaces) {
  std::string names;
  for (int i = 1; i <= 10000; ++i) names += "Namespace." + std::to_string(i) + "\r\n";
  Use("", names.c_str());
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(EnumHelpNamespaces(list));
  auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(10000, list.Count());
  EXPECT_EQ("Namespace.1", list.Items().front());
  EXPECT_EQ("Namespace.10000", list.Items().back());
  // Generous: this guards against work per name that grows with the list.
  EXPECT_LT(took, std::chrono::seconds(5));
}

TEST_F(Catalogue, NamesInTheThreadsAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252, have " << GetACP();
  // e-acute exists in the code page; the CJK character does not.
  Use("", "caf\xC3\xA9\n\xE4\xB8\xAD\n");
  EXPECT_TRUE(EnumHelpNamespaces(list));
  EXPECT_EQ((Names{"caf\xE9", "?"}), list.Items());
}

// Every way the runtime can fail or come back empty, each run twice: once
// with outputs left null, once with garbage in the outputs of failed calls,
// which must then be neither used nor released.
enum class Raised { Nothing, SysError, IntfCast, OleException };

struct Row {
  const char* fault;
  Raised raised;
  uint32_t code;
  const char* message;
  Names left;
  bool result;
};

const Row kRows[] = {
    {"fail=create:80041234", Raised::SysError, 0x80041234, "OLE error 80041234", {}, false},
    {"fail=create:80004005", Raised::SysError, 0x80004005, "Call failed", {}, false},
    {"nowalker", Raised::IntfCast, 0, "Interface not supported", {}, false},
    {"null=object", Raised::SysError, 0x80004003, "OLE error 80004003", {}, false},
    {"fail=list:80004005:Walker broke", Raised::OleException, 0x80004005, "Walker broke", {}, false},
    {"fail=count:8007000E:Count broke.\\r\\n", Raised::OleException, 0x8007000E, "Count broke", {}, false},
    {"fail=item@1:80004005:First", Raised::OleException, 0x80004005, "First", {}, false},
    {"fail=item@2:80004005:Item broke", Raised::OleException, 0x80004005, "Item broke", {"one"}, false},
    {"fail=name@2:80004005:Name broke", Raised::OleException, 0x80004005, "Name broke", {"one"}, false},
    {"fail=name@3:80004005:Last", Raised::OleException, 0x80004005, "Last", {"one", "two"}, false},
    {"null=item@2", Raised::SysError, 0x80004003, "OLE error 80004003", {"one"}, false},
    // A description is optional: its failure raises nothing, and its error
    // object does not become the next failure's.
    {"fail=property:80004005:No description", Raised::Nothing, 0, "", {"one", "two", "three"}, true},
    {"fail=property@1:80004005:Property broke;fail=name@2:80004001", Raised::OleException, 0x80004001,
     "Not implemented", {"one"}, false},
    {"null=list", Raised::Nothing, 0, "", {}, false},
    {"count=0", Raised::Nothing, 0, "", {}, false},
    {"count=-1", Raised::Nothing, 0, "", {}, false},
    {"count=-2147483648", Raised::Nothing, 0, "", {}, false},
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.fault; }

class CatalogueFailures : public Catalogue, public ::testing::WithParamInterface<std::tuple<Row, bool>> {};

TEST_P(CatalogueFailures, LeavesTheStatedEntriesAndRaisesTheStatedError) {
  const auto& [row, poison] = GetParam();
  std::string fault = std::string(row.fault) + (poison ? ";poison" : "");
  Use(fault.c_str());
  Raised raised = Raised::Nothing;
  uint32_t code = 0;
  std::string message;
  bool result = true;
  try {
    result = EnumHelpNamespaces(list);
  } catch (const EOleException& e) {
    raised = Raised::OleException;
    code = e.ErrorCode();
    message = e.Message();
  } catch (const EOleSysError& e) {
    raised = Raised::SysError;
    code = e.ErrorCode();
    message = e.Message();
    EXPECT_EQ(0, e.HelpContext());
  } catch (const EIntfCastError& e) {
    raised = Raised::IntfCast;
    message = e.Message();
  }
  EXPECT_EQ(row.raised, raised);
  EXPECT_EQ(row.code, code);
  EXPECT_EQ(row.message, message);
  EXPECT_EQ(row.left, list.Items());
  if (row.raised == Raised::Nothing) {
    EXPECT_EQ(row.result, result);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, CatalogueFailures, ::testing::Combine(::testing::ValuesIn(kRows), ::testing::Bool()),
                         [](const auto& info) {
                           std::string name;
                           for (char c : std::string(std::get<0>(info.param).fault))
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name + (std::get<1>(info.param) ? "_poison" : "");
                         });

// Each namespace's description and collection path, as the runtime gives
// them or not; the fixture checks that every string was freed.
TEST_F(Catalogue, DescriptionsAndCollectionsBesideTheNames) {
  using Texts = std::vector<std::u16string>;
  const struct {
    const char* fault;
    Texts descriptions, collections;
  } cases[] = {
      {"", {u"First", u"", u"Third \u30C9\t\u05D0"}, {u"C:\\Help\\one.HxC", u"", u""}},
      {"fail=property@1:80004005:Broken", {u"", u"", u"Third \u30C9\t\u05D0"}, {u"", u"", u""}},
      {"fail=property@3:80004005", {u"First", u"", u""}, {u"C:\\Help\\one.HxC", u"", u""}},
      {"fail=property:80004005;poison", {u"", u"", u""}, {u"", u"", u""}},
      {"null=property@1", {u"", u"", u"Third \u30C9\t\u05D0"}, {u"", u"", u""}},
  };
  for (const auto& c : cases) {
    // The third line's empty collection comes after its last tab.
    Use(c.fault, "one\tFirst\tC:\\Help\\one.HxC\ntwo\nthree\tThird \xE3\x83\x89\t\xD7\x90\t\n");
    EXPECT_TRUE(EnumHelpNamespaces(list)) << c.fault;
    EXPECT_EQ((Names{"one", "two", "three"}), list.Items()) << c.fault;
    EXPECT_EQ(c.descriptions, list.Descriptions()) << c.fault;
    EXPECT_EQ(c.collections, list.Files()) << c.fault;
  }
}

TEST_F(Catalogue, NoItemIsAskedForWhenTheCountIsNotPositive) {
  Use("count=-1");
  EXPECT_FALSE(EnumHelpNamespaces(list));
  EXPECT_EQ("create list:0 count ~list ~walker", standin.CallLog());
}

// What an error object carries, and what is taken when it says nothing.
EOleException RaisedBy(const char* fault) {
  try {
    TStringList list;
    EnumHelpNamespaces(list);
  } catch (const EOleException& e) {
    return e;
  }
  ADD_FAILURE() << "no EOleException for " << fault;
  return EOleException("", 0, "", "", 0);
}

TEST_F(Catalogue, ErrorObjectGivesMessageSourceHelpFileAndContext) {
  Use("fail=list:80004005:Walker broke.\\r\\n;source=Walker;helpfile=walker.chm;helpcontext=2A");
  EOleException e = RaisedBy("list");
  EXPECT_EQ("Walker broke", e.Message());
  EXPECT_EQ("Walker", e.Source());
  EXPECT_EQ("walker.chm", e.HelpFile());
  EXPECT_EQ(42, e.HelpContext());
  EXPECT_EQ(0x80004005u, e.ErrorCode());
  // The general error report then ends the message with one period.
  EXPECT_EQ("Walker broke.", WithClosingPeriod(e.Message(), nullptr));
}

TEST_F(Catalogue, MessageFallsBackToTheSystemMessageThenTheCode) {
  struct Case {
    const char* fault;
    const char* message;
  } cases[] = {
      {"fail=count:80004001:", "Not implemented"},
      {"fail=count:80004001: .\\r\\n", "Not implemented"},
      {"fail=count:80004001", "Not implemented"},
      {"fail=count:8BADF00D:", "OLE error 8BADF00D"},
      {"fail=count:8badf00d", "OLE error 8BADF00D"},
  };
  for (const Case& c : cases) {
    Use(c.fault);
    EOleException e = RaisedBy(c.fault);
    EXPECT_EQ(c.message, e.Message()) << c.fault;
  }
}

TEST_F(Catalogue, WithoutAnErrorObjectTheTextsAreEmpty) {
  Use("fail=item@1:80004005");
  EOleException e = RaisedBy("item");
  EXPECT_EQ("Call failed", e.Message());
  EXPECT_EQ("", e.Source());
  EXPECT_EQ("", e.HelpFile());
  EXPECT_EQ(0, e.HelpContext());
}

TEST_F(Catalogue, AStaleErrorObjectIsNotTakenForANewFailure) {
  // A failure that leaves no error object must not pick up an older one.
  Use("fail=count:80004005:Old news");
  RaisedBy("count");
  Use("fail=count:8BADF00D");
  EXPECT_EQ("OLE error 8BADF00D", RaisedBy("count").Message());
}

// A thread that never initialised COM cannot create the walker.
TEST_F(Catalogue, WithoutComOnTheThread) {
  Use("");
  bool available = true;
  uint32_t code = 0;
  Names left;
  std::thread([&] {
    available = IsHelpApiAvailable();
    TStringList own;
    own.Add("left over");
    try {
      EnumHelpNamespaces(own);
    } catch (const EOleSysError& e) {
      code = e.ErrorCode();
    }
    left = own.Items();
  }).join();
  EXPECT_FALSE(available);
  EXPECT_EQ(static_cast<uint32_t>(CO_E_NOTINITIALIZED), code);
  EXPECT_TRUE(left.empty());
}

// Through the class registration in the prefix, as qn3.exe finds it.
TEST(CatalogueRegistered, FindsTheRegisteredRuntime) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IUnknown* probe = nullptr;
  HRESULT hr = CoGetClassObject(CLSID_HxRegistryWalker, CLSCTX_INPROC_SERVER, nullptr, IID_IUnknown,
                                reinterpret_cast<void**>(&probe));
  if (FAILED(hr)) {
    CoUninitialize();
    GTEST_SKIP() << "hxstandin.dll is not registered in this prefix";
  }
  probe->Release();
  EXPECT_TRUE(IsHelpApiAvailable());
  TStringList list;
  EXPECT_NO_THROW(EnumHelpNamespaces(list));
  CoUninitialize();
}

}  // namespace
}  // namespace qn3::test
