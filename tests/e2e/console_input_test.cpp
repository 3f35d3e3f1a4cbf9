// Where action 1 takes its answers from, and the terminal it leaves when the
// program is stopped at one of its questions: raw for the y/N key, as found
// while the colour's numbers are typed. And without a terminal,
// keys are never taken from standard input.
#include <signal.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "pty_session.hpp"
#include "standin.hpp"
#include "transcripts.hpp"

namespace e2e {
namespace {

namespace fs = std::filesystem;

enum class Question { YesNo, Colour };

struct Interruption {
  const char* name;
  Question at;
  int sig;
  bool typed;  // Ctrl+C typed at the terminal instead of a signal sent
};

void PrintTo(const Interruption& c, std::ostream* os) { *os << c.name; }

class StoppedAtQuestion : public ::testing::TestWithParam<Interruption> {};

TEST_P(StoppedAtQuestion, LeavesTheTerminalAsItWasAndWritesNothing) {
  const Interruption& c = GetParam();
  StandIn game(Build::A);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey("1"));
  if (c.at == Question::YesNo) {
    ASSERT_TRUE(session.awaitKeyRead());
    ASSERT_FALSE(sameSettings(session.currentSettings(), session.initialSettings()))
        << "the terminal is not raw while the y/N key is awaited";
  } else {
    ASSERT_TRUE(session.sendKey("y"));
    // The numbers are read as a line the player can edit: cooked, echoed,
    // exactly the settings the program found.
    ASSERT_TRUE(session.awaitLineRead());
    ASSERT_TRUE(sameSettings(session.currentSettings(), session.initialSettings()))
        << describeSettings(session.currentSettings());
  }
  if (c.typed) {
    ASSERT_TRUE(session.sendLine("\x03"));
  } else {
    ASSERT_EQ(::kill(session.pid(), c.sig), 0);
  }
  EXPECT_EQ(session.waitExit(), ExitStatus::killedBy(c.sig));
  EXPECT_TRUE(sameSettings(session.currentSettings(), session.initialSettings()))
      << "before: " << describeSettings(session.initialSettings())
      << "\nafter:  " << describeSettings(session.currentSettings());
  EXPECT_TRUE(game.exe.matches());
  EXPECT_FALSE(fs::exists(game.systemDir() / "Shaders"));
}

INSTANTIATE_TEST_SUITE_P(
    Terminal, StoppedAtQuestion,
    ::testing::Values(Interruption{"SIGTERM_AtYesNo", Question::YesNo, SIGTERM, false},
                      Interruption{"SIGHUP_AtYesNo", Question::YesNo, SIGHUP, false},
                      Interruption{"SIGTERM_AtColour", Question::Colour, SIGTERM, false},
                      Interruption{"SIGHUP_AtColour", Question::Colour, SIGHUP, false},
                      Interruption{"CtrlC_AtColour", Question::Colour, SIGINT, true}),
    [](const auto& test) { return std::string(test.param.name); });

// ---- No terminal at all -------------------------------------------------------

// Keys typed ahead into standard input are not keys: the menu finds no
// console and ends at once, and no action runs.
TEST(NoTerminal, KeysOnStandardInputAreNotTaken) {
  StandIn game(Build::B);
  Launch launch;
  launch.standardInput = "3\n1y0.5 0.5 0.5\n5q";
  PtySession session(game.program(), game.systemDir(), Console::None, launch);
  EXPECT_EQ(session.waitExit(milliseconds(3000)), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true));
  EXPECT_EQ(session.errorOutput(), "");
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
  EXPECT_FALSE(fs::exists(game.systemDir() / "Shaders"));
}

}  // namespace
}  // namespace e2e
