// The program and the player's terminal: raw input while a key is awaited,
// no echo in between, the settings given back on every way out and taken
// again after a stop, and no hang when there is no terminal at all.
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "pty_session.hpp"
#include "standin.hpp"
#include "transcripts.hpp"

namespace e2e {
namespace {

namespace msg = vn3::msg;

::testing::AssertionResult settingsAsBefore(const PtySession& session) {
  if (sameSettings(session.currentSettings(), session.initialSettings())) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "terminal settings changed\n  before: " << describeSettings(session.initialSettings())
         << "\n  after:  " << describeSettings(session.currentSettings());
}

TEST(Terminal, SettingsRestoredAfterActionsAndQuit) {
  StandIn game(Build::A);
  PtySession session(game.program(), game.systemDir());
  for (const char* key : {"3", "x", "\x1b[A", "4"}) ASSERT_TRUE(session.sendKey(key));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_TRUE(settingsAsBefore(session));
}

TEST(Terminal, SettingsRestoredAfterPause) {
  StandIn game;
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(1));
  EXPECT_TRUE(settingsAsBefore(session));
}

// Keys come from the terminal itself, not from standard input.
TEST(Terminal, KeysAreReadFromTheTerminalWhenStdinIsRedirected) {
  StandIn game(Build::B);
  game.exe.expectWrite(0x5814B9, Bytes{0x00});
  PtySession session(game.program(), game.systemDir(), Console::TerminalStdinNull);
  ASSERT_TRUE(session.sendKey("3"));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(),
            text::startup() + text::menu(true) + text::success() + text::menu(true));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(settingsAsBefore(session));
}

// Keys typed while an action runs are neither echoed nor lost: each runs
// once, after it.
TEST(Terminal, KeysTypedDuringActionsAreNotEchoedAndEachRunsOnce) {
  StandIn game(Build::B);
  game.exe.expectWrite(0x5814B9, Bytes{0x00});
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey("3"));
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(session.typeAhead("3"));
    ::usleep(200);
  }
  std::string expected = text::startup() + text::menu(true);
  for (int i = 0; i < 6; ++i) expected += text::success() + text::menu(true);
  ASSERT_TRUE(session.expect(expected));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), expected);
  EXPECT_TRUE(game.exe.matches());
}

// Stopped in a key read and continued after the shell has set the terminal
// back as it found it, the program takes the terminal again: the next key
// acts at once, without Enter. (SIGTSTP cannot stop it here: with no shell
// between, its process group is orphaned.)
TEST(Terminal, TakesTheTerminalAgainWhenContinuedAfterAStop) {
  StandIn game(Build::B);
  game.exe.expectWrite(0x5814B9, Bytes{0x00});
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.awaitKeyRead());
  ASSERT_EQ(::kill(session.pid(), SIGSTOP), 0);
  ASSERT_TRUE(session.awaitStopped());
  session.setSettings(session.initialSettings());
  ASSERT_EQ(::kill(session.pid(), SIGCONT), 0);
  ASSERT_TRUE(session.sendKey("3"));
  ASSERT_TRUE(session.expect(text::success() + text::menu(true)));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_TRUE(settingsAsBefore(session));
  EXPECT_TRUE(game.exe.matches());
}

enum class Waiting { InMenu, InPause };

class SignalWhileWaitingForKey : public ::testing::TestWithParam<std::tuple<int, Waiting>> {};

// Killed while the terminal is raw, the program still gives the settings
// back, and then dies of the very signal it was sent.
TEST_P(SignalWhileWaitingForKey, RestoresTerminalAndDiesOfIt) {
  const auto [sig, waiting] = GetParam();
  StandIn game;
  if (waiting == Waiting::InMenu) {
    game.exe.create(exeSize(Build::B));
    game.package.create(packageSize(Build::B));
  }
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.awaitKeyRead());
  // Otherwise the check below would prove nothing.
  ASSERT_FALSE(sameSettings(session.currentSettings(), session.initialSettings()))
      << "the terminal is not raw while a key is awaited";
  ASSERT_EQ(::kill(session.pid(), sig), 0);
  EXPECT_EQ(session.waitExit(), ExitStatus::killedBy(sig));
  EXPECT_TRUE(settingsAsBefore(session));
}

INSTANTIATE_TEST_SUITE_P(Terminal, SignalWhileWaitingForKey,
                         ::testing::Combine(::testing::Values(SIGTERM, SIGHUP, SIGINT, SIGUSR1),
                                            ::testing::Values(Waiting::InMenu, Waiting::InPause)),
                         [](const auto& test) {
                           return std::string("SIG") + ::sigabbrev_np(std::get<0>(test.param)) +
                                  (std::get<1>(test.param) == Waiting::InMenu ? "_InMenu"
                                                                              : "_InPause");
                         });

// ---- No terminal at all -------------------------------------------------------

constexpr milliseconds prompt{3000};

// No key can ever come, so the menu quits at once instead of waiting or
// printing itself over and over.
TEST(NoTerminal, GoodInstallationShowsMenuOnceAndQuits) {
  StandIn game(Build::A);
  PtySession session(game.program(), game.systemDir(), Console::None);
  EXPECT_EQ(session.waitExit(prompt), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true));
  EXPECT_EQ(session.errorOutput(), "");
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

TEST(NoTerminal, PackageWarningGoesToStandardOutput) {
  StandIn game(Build::B, Build::A);
  PtySession session(game.program(), game.systemDir(), Console::None);
  EXPECT_EQ(session.waitExit(prompt), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), text::startup(msg::packageWrongVersion) + text::menu(false));
  EXPECT_EQ(session.errorOutput(), "");
}

// The pause ends at once and the status is still 1.
TEST(NoTerminal, MissingExecutableExitsWithOneWithoutWaiting) {
  StandIn game;
  PtySession session(game.program(), game.systemDir(), Console::None);
  EXPECT_EQ(session.waitExit(prompt), ExitStatus::exited(1));
  EXPECT_EQ(session.transcript(), text::exeCheckFailed(msg::exeMissing));
  EXPECT_EQ(session.errorOutput(), "");
}

}  // namespace
}  // namespace e2e
