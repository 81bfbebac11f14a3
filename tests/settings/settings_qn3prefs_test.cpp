// The checker tool, run as a person runs it: its output and exit codes.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/AnsiText.h"
#include "settings/uAppState.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace qn3 {
namespace {

struct TRun {
  int exitCode;
  std::string out;
};

std::string BesideMe(const std::string& name) {
  std::string me = ProgramFilePath();
  return me.substr(0, me.find_last_of("/\\") + 1) + name;
}

TRun Tool(const std::string& args) {
#ifdef _WIN32
  std::string command =
      std::string("\"\"").append(BesideMe("qn3prefs.exe")).append("\" ").append(args).append(" 2>NUL\"");
  FILE* p = _popen(command.c_str(), "rb");
#else
  std::string command = std::string("'").append(BesideMe("qn3prefs")).append("' ").append(args).append(" 2>/dev/null");
  FILE* p = popen(command.c_str(), "r");
#endif
  TRun run{-1, {}};
  if (!p) return run;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) run.out.append(buffer, n);
#ifdef _WIN32
  run.exitCode = _pclose(p);
#else
  int status = pclose(p);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  return run;
}

std::string Scratch(const std::string& name, const std::string& bytes) {
  std::string path = BesideMe("qn3prefs_test_" + name + ".dat");
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

TEST(Qn3prefs, WritesWhatTheProgramSaves) {
  TRun r = Tool("write --left -1180 --top 95 --viewer \"C:\\Program Files\\Common Files\\Shared Components\\Help "
                "Viewer 8\\dexplore.exe\" --params /helpcol");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "object TPrefs\r\n  Left = -1180\r\n  Top = 95\r\n  Viewer = \r\n"
            "    'C:\\Program Files\\Common Files\\Shared Components\\Help Viewer 8\\de' +\r\n"
            "    'xplore.exe'\r\n  Params = '/helpcol'\r\nend\r\n");
  r = Tool("write --top 2 --left 1 --tag 7 --name Prefs1");
  EXPECT_EQ(r.out, "object Prefs1: TPrefs\r\n  Tag = 7\r\n  Left = 1\r\n  Top = 2\r\nend\r\n");
}

TEST(Qn3prefs, ConvertsUtf8ArgumentsToTheCodePage) {
  if (AnsiToUtf16("\xE9") != u"\u00E9") GTEST_SKIP() << "needs the Western European code page";
#ifdef _WIN32
  const char* cafe = "Caf\xE9";  // the command line goes through the code page
#else
  const char* cafe = "Caf\xC3\xA9";
#endif
  TRun r = Tool(std::string("write --left 1 --top 2 --params ") + cafe);
  EXPECT_EQ(r.out, "object TPrefs\r\n  Left = 1\r\n  Top = 2\r\n  Params = 'Caf'#233\r\nend\r\n");
}

TEST(Qn3prefs, RefusesWrongArguments) {
  for (const char* args : {"", "write --left 1", "write --left 1 --top x", "write --left 1 --top 2147483648",
                           "write --left 1 --top 2 --name BtnOpen", "write --left 1 --top 2 --name 1x",
                           "write --left 1 --top 2 --width 3", "write --left 1 --top", "read", "read a b",
                           "read qn3prefs_no_such_file.dat"}) {
    SCOPED_TRACE(args);
    EXPECT_EQ(Tool(args).exitCode, 2);
  }
  EXPECT_EQ(Tool("--help").exitCode, 0);
}

TEST(Qn3prefs, ReadsAsTheProgramDoesAtStart) {
  std::string good = Scratch("good", "object Form1: TPrefs\r\n  Tag = 7\r\n  Left = 5\r\n  Viewer = 'it''s'\r\nend\r\n");
  TRun r = Tool("read \"" + good + "\"");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "status: ok\nName: Form1_1\nTag: 7\nLeft: 5\nTop: 100\nViewer: 'it'#39's'\nParams: ''\n");

  std::string bad = Scratch("bad", "object TPrefs\r\n  Top = 5\r\n  Width = 3\r\n  Left = 7\r\nend\r\n");
  r = Tool("read \"" + bad + "\"");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "status: failed: Error reading TPrefs.Width: Property Width does not exist\n"
            "Name: \nTag: 0\nLeft: 100\nTop: 5\nViewer: ''\nParams: ''\n");
  std::remove(good.c_str());
  std::remove(bad.c_str());
}

}  // namespace
}  // namespace qn3
