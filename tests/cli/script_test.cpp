// Reading script lines and running them against a form.

#include "cli/script.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/fake_platform.h"

namespace zelko::cli {
namespace {

using Kind = Command::Kind;

struct ParseCase {
  std::string line;
  Kind kind;
  std::string target;
  std::string text;
  int column = 0;
  int row = 0;
  std::int64_t count = 1;
};

class ParseCommandTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandTest, ReadsTheCommand) {
  const ParseCase& c = GetParam();
  const std::optional<Command> command = ParseCommand(c.line);
  ASSERT_TRUE(command.has_value()) << c.line;
  EXPECT_EQ(command->kind, c.kind);
  EXPECT_EQ(command->target, c.target);
  EXPECT_EQ(command->text, c.text);
  EXPECT_EQ(command->column, c.column);
  EXPECT_EQ(command->row, c.row);
  EXPECT_EQ(command->count, c.count);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseCommandTest,
    ::testing::Values(ParseCase{"type loginedit demo", Kind::Type, "loginedit", "demo"},
                      ParseCase{"type passedit a b  c ", Kind::Type, "passedit", "a b  c "},
                      ParseCase{"type passedit ", Kind::Type, "passedit", ""},
                      ParseCase{"type passedit", Kind::Type, "passedit", ""},
                      ParseCase{"type filtr 1000\r", Kind::Type, "filtr", "1000"},
                      ParseCase{"choose sort Bukm.", Kind::Choose, "sort", "Bukm."},
                      ParseCase{"click zap", Kind::Click, "zap", ""},
                      ParseCase{"click checker6", Kind::Click, "checker6", ""},
                      ParseCase{"click LOGIN", Kind::Click, "LOGIN", ""},
                      ParseCase{"click livetime2", Kind::Click, "livetime2", ""},
                      ParseCase{"click RX2 3 0", Kind::CellClick, "RX2", "", 3, 0},
                      ParseCase{"dblclick RX3 5 12", Kind::CellDblClick, "RX3", "", 5, 12},
                      ParseCase{"tick Timer1", Kind::Tick, "Timer1", ""},
                      ParseCase{"tick Timer2 300", Kind::Tick, "Timer2", "", 0, 0, 300},
                      ParseCase{"tick Timer2 0", Kind::Tick, "Timer2", "", 0, 0, 0},
                      ParseCase{"dump LiveStatGrid", Kind::DumpGrid, "LiveStatGrid", ""},
                      ParseCase{"dump form", Kind::DumpForm, "form", ""}));

class UnreadableLineTest : public ::testing::TestWithParam<std::string> {};

TEST_P(UnreadableLineTest, IsNoCommand) {
  EXPECT_FALSE(ParseCommand(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Lines, UnreadableLineTest,
                         ::testing::Values("type", "type box x", "choose filtr 5", "click",
                                           "click nothing", "click zap now", "click  zap",
                                           "click RX2 3", "click RX2 -1 0", "click RX2 3 x",
                                           "click SBX 0 0", "dblclick zap", "tick Timer3",
                                           "tick Timer1 -1", "tick Timer1 2 3", "tick Timer1 1e3",
                                           "dump", "dump RX9", "dump form now", "Click zap",
                                           "DUMP form"));

TEST(SkippedLineTest, BlankAndCommentLinesAreSkipped) {
  EXPECT_TRUE(IsSkippedLine(""));
  EXPECT_TRUE(IsSkippedLine("\r"));
  EXPECT_TRUE(IsSkippedLine("   "));
  EXPECT_TRUE(IsSkippedLine("# click LOGIN"));
  EXPECT_FALSE(IsSkippedLine("dump form"));
  EXPECT_FALSE(IsSkippedLine(" #x"));
}

class ScriptRunnerTest : public ::testing::Test {
 protected:
  int Run(const std::string& script) {
    std::istringstream in(script);
    return runner.Run(in);
  }
  testing::FakePlatform platform;
  MainForm form{platform, "svc.test"};
  std::ostringstream out;
  std::ostringstream err;
  ScriptRunner runner{form, out, err};
};

TEST_F(ScriptRunnerTest, RunsTheCreationStepBeforeTheFirstCommand) {
  platform.files["log.log"] = "anna\r\nsecret\r\n";
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(form.loginedit(), "anna");
  EXPECT_EQ(form.sort(), "Time");
}

TEST_F(ScriptRunnerTest, ControlsReachTheirHandlers) {
  EXPECT_EQ(Run("click zap\nclick auto\nclick checker2\nclick checker6\nclick option\n"
                "type filtr 50\nchoose sort Status\ntype loginedit x y\n"),
            0);
  EXPECT_TRUE(form.zap());
  EXPECT_TRUE(form.autoUpdate());
  EXPECT_FALSE(form.statusBoxes().soon);
  EXPECT_TRUE(form.statusBoxes().live);
  EXPECT_TRUE(form.checker6());
  EXPECT_TRUE(form.LiveOptionVisible());
  EXPECT_EQ(form.filtr(), "50");
  EXPECT_EQ(form.sort(), "Status");
  EXPECT_EQ(form.loginedit(), "x y");
  EXPECT_TRUE(err.str().empty());
}

TEST_F(ScriptRunnerTest, TicksOfADisabledTimerAreDropped) {
  EXPECT_EQ(Run("tick Timer1 5\nclick livetime\ntick Timer1 5\n"), 0);
  // Before the login the countdown has not run; after the label click it counts from 0.
  EXPECT_EQ(form.LiveCountdown(), -5);
  EXPECT_EQ(form.livetime(), "LIVE Refresh from -5 sec.");
}

TEST_F(ScriptRunnerTest, AnUnreadableLineStopsWith2AndNamesItsNumber) {
  EXPECT_EQ(Run("click zap\n# note\n\nclick zapp\nclick zap\n"), 2);
  EXPECT_NE(err.str().find("line 4"), std::string::npos);
  EXPECT_TRUE(form.zap());  // the first line ran, the last did not
}

TEST_F(ScriptRunnerTest, NothingRunsAfterTheWindowHasClosed) {
  platform.probeOutcome = ProbeOutcome::OtherStatus;
  EXPECT_EQ(Run("click LOGIN\nclick zap\nthis is no command\n"), 0);
  EXPECT_TRUE(form.Closed());
  EXPECT_FALSE(form.zap());
}

TEST_F(ScriptRunnerTest, AClickBesideTheGridIsDroppedWithANote) {
  EXPECT_EQ(Run("click RX2 3 0\ndblclick RX 0 4\n"), 0);
  EXPECT_NE(err.str().find("line 1"), std::string::npos);
  EXPECT_NE(err.str().find("line 2"), std::string::npos);
  EXPECT_TRUE(platform.errors.empty());
}

TEST_F(ScriptRunnerTest, DumpsPrintOneLineEach) {
  EXPECT_EQ(Run("dump form\ndump SBX\ndump RX\n"), 0);
  std::istringstream lines(out.str());
  std::string line;
  int n = 0;
  while (std::getline(lines, line)) ++n;
  EXPECT_EQ(n, 3);
  EXPECT_EQ(out.str().rfind("{\"form\":", 0), 0u);
}

}  // namespace
}  // namespace zelko::cli
