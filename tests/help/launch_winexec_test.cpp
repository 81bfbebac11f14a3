// Starting the viewer under Wine, observed through the stand-in viewer's
// log: the exact command line, the start-up flags and show state, the
// errors, and the launch rules that keep the wrong program from starting.
#include <gtest/gtest.h>

#include <string>

#include "help/uOpenNamespace.h"
#include "help/uWinExec.h"
#include "tests/help/launch_support.h"

namespace qn3 {
namespace {

using test::PlantedViewer;
using test::ScratchDir;
using test::StandinViewer;
using test::ViewerLog;

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

TEST(RunCommandLine, StartsTheProgramWithTheExactLineFlagsAndShowState) {
  ScratchDir dir("qn3-launch-run");
  ViewerLog log(dir.Path());
  const std::string viewer = StandinViewer();
  const std::string lines[] = {
      viewer + " /helpcol ms-help://Alpha",
      "\"" + viewer + "\" /helpcol ms-help://Alpha",
      // Passed on as it is: no splitting, no quoting, inner blanks kept.
      viewer + "   \"a b\"  $NAMESPACE$ \t tail ",
      viewer + " ",
  };
  for (size_t i = 0; i < std::size(lines); ++i) {
    ASSERT_EQ(RunCommandLine(lines[i]), 0) << lines[i];
    auto started = log.WaitFor(i + 1);
    ASSERT_EQ(started.size(), i + 1) << "no viewer start logged for " << lines[i];
    EXPECT_TRUE(SamePath(started[i].module, viewer)) << started[i].module;
    EXPECT_EQ(started[i].commandLine, lines[i]);
    EXPECT_EQ(started[i].startup, "flags=0x41 show=1");
  }
}

TEST(RunCommandLine, ReportsTheErrorCodeWhenNothingStarts) {
  ScratchDir dir("qn3-launch-err");
  EXPECT_EQ(RunCommandLine("C:\\qn3-no-such-folder\\viewer.exe /helpcol ms-help://Alpha"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RunCommandLine(dir.Path() + "\\missing.exe"), ERROR_FILE_NOT_FOUND);
  // A folder in place of a program fails too, with some error code.
  int folder = RunCommandLine("\"" + dir.Path() + "\"");
  EXPECT_NE(folder, 0);
  EXPECT_NE(folder, -1);
}

// Process creation tries every prefix of an unquoted path that ends at a
// blank: C:\Program.exe must not stand in for C:\Program Files\...
TEST(OpenNamespace, APlantedShorterPrefixIsNotStarted) {
  ScratchDir dir("qn3-launch-plant");
  ViewerLog log(dir.Path());
  PlantedViewer planted("C:\\Program.exe");
  PlantedViewer viewer("C:\\Program Files\\qn3 launch test\\dexplore.exe");
  ASSERT_TRUE(planted.Ok() && viewer.Ok());

  // The hazard is real: the bare unquoted line starts the planted program.
  ASSERT_EQ(RunCommandLine(viewer.Path() + " /x"), 0);
  auto started = log.WaitFor(1);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(SamePath(started[0].module, planted.Path())) << started[0].module;

  EXPECT_TRUE(OpenNamespace("Alpha", " " + viewer.Path() + " ", kDefaultParams));
  started = log.WaitFor(2);
  ASSERT_EQ(started.size(), 2u);
  EXPECT_TRUE(SamePath(started[1].module, viewer.Path())) << started[1].module;
  EXPECT_EQ(started[1].commandLine, "\"" + viewer.Path() + "\" /helpcol ms-help://Alpha");
  EXPECT_EQ(started[1].startup, "flags=0x41 show=1");
}

// Without a viewer the template's first word would be taken as the
// program to search for; Open starts nothing instead.
TEST(OpenNamespace, AnEmptyViewerStartsNothing) {
  ScratchDir dir("qn3-launch-empty");
  ViewerLog log(dir.Path());
  PlantedViewer planted("C:\\helpcol.exe");
  ASSERT_TRUE(planted.Ok());

  EXPECT_FALSE(OpenNamespace("Alpha", "", kDefaultParams));
  EXPECT_FALSE(OpenNamespace("Alpha", " \t\r\n", kDefaultParams));
  // A start afterwards, once logged, shows that nothing else was started.
  ASSERT_TRUE(OpenNamespace("Beta", StandinViewer(), kDefaultParams));
  auto started = log.WaitFor(1);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].commandLine, StandinViewer() + " /helpcol ms-help://Beta");
}

TEST(OpenNamespace, UpperCasingOfTheCodePageFindsThePlaceholder) {
  ScratchDir dir("qn3-launch-case");
  ViewerLog log(dir.Path());
  ASSERT_TRUE(OpenNamespace("Gamma", StandinViewer(), "  /helpcol ms-help://$NameSpace$/x \t"));
  auto started = log.WaitFor(1);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].commandLine, StandinViewer() + " /helpcol ms-help://Gamma/x");
}

}  // namespace
}  // namespace qn3
