// The menu's key handling through a real terminal: which keys quit, which
// are ignored without a sound, and that the menu comes back after actions.
#include <string>

#include <gtest/gtest.h>

#include "pty_session.hpp"
#include "standin.hpp"
#include "transcripts.hpp"

namespace e2e {
namespace {

namespace msg = vn3::msg;

struct MenuKey {
  const char* name;
  std::string_view bytes;
  bool packageAvailable = true;
};

void PrintTo(const MenuKey& k, std::ostream* os) { *os << k.name; }

std::string keyName(const ::testing::TestParamInfo<MenuKey>& info) { return info.param.name; }

void arrange(StandIn& game, bool packageAvailable) {
  game.exe.create(exeSize(Build::A));
  if (packageAvailable) game.package.create(packageSize(Build::A));
}

// ---- Keys the menu ignores --------------------------------------------------

class IgnoredKey : public ::testing::TestWithParam<MenuKey> {};

// The key prints nothing, not even a second prompt, and the menu is still
// waiting: only the "q" after it ends the program.
TEST_P(IgnoredKey, PrintsNothingAndKeepsWaiting) {
  const MenuKey& k = GetParam();
  StandIn game;
  arrange(game, k.packageAvailable);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey(k.bytes));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  const std::string_view warning = k.packageAvailable ? "" : msg::packageInaccessible;
  EXPECT_EQ(session.transcript(), text::startup(warning) + text::menu(k.packageAvailable));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

INSTANTIATE_TEST_SUITE_P(
    Menu, IgnoredKey,
    ::testing::Values(
        MenuKey{"LetterA", "a"}, MenuKey{"LetterZ", "Z"}, MenuKey{"LetterW", "w"},
        MenuKey{"Digit0", "0"}, MenuKey{"Space", " "}, MenuKey{"Enter", "\r"}, MenuKey{"Tab", "\t"},
        MenuKey{"Backspace", "\x7f"},
        // Signal and flow-control keys arrive as plain codes while a key is
        // awaited, so none of them may stop, suspend or freeze the program.
        MenuKey{"CtrlC", "\x03"}, MenuKey{"CtrlZ", "\x1a"}, MenuKey{"CtrlBackslash", "\x1c"},
        MenuKey{"CtrlS", "\x13"}, MenuKey{"Key5WithoutPackage", "5", false},
        MenuKey{"Key6WithoutPackage", "6", false}, MenuKey{"Key7WithoutPackage", "7", false},
        MenuKey{"Key8WithoutPackage", "8", false}, MenuKey{"Key9WithoutPackage", "9", false},
        MenuKey{"UpArrow", "\x1b[A"}, MenuKey{"DownArrow", "\x1b[B"},
        MenuKey{"RightArrow", "\x1b[C"}, MenuKey{"LeftArrow", "\x1b[D"},
        MenuKey{"UpArrowApplicationMode", "\x1bOA"}, MenuKey{"Insert", "\x1b[2~"},
        MenuKey{"Delete", "\x1b[3~"}, MenuKey{"Home", "\x1b[H"}, MenuKey{"HomeVt", "\x1b[1~"},
        MenuKey{"End", "\x1b[F"}, MenuKey{"EndVt", "\x1b[4~"}, MenuKey{"PageUp", "\x1b[5~"},
        MenuKey{"CtrlPageDown", "\x1b[6;5~"}, MenuKey{"F11", "\x1b[23~"},
        MenuKey{"F12", "\x1b[24~"}),
    keyName);

// ---- Keys that quit ---------------------------------------------------------

class QuitKey : public ::testing::TestWithParam<MenuKey> {};

TEST_P(QuitKey, EndsWithZeroPrintingNothingAfterPrompt) {
  const MenuKey& k = GetParam();
  StandIn game;
  arrange(game, k.packageAvailable);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey(k.bytes));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  const std::string_view warning = k.packageAvailable ? "" : msg::packageInaccessible;
  EXPECT_EQ(session.transcript(), text::startup(warning) + text::menu(k.packageAvailable));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

INSTANTIATE_TEST_SUITE_P(Menu, QuitKey,
                         ::testing::Values(MenuKey{"LowerQ", "q"}, MenuKey{"UpperQ", "Q"},
                                           MenuKey{"LowerQWithoutPackage", "q", false},
                                           // Typed alone: the program tells it from the start of
                                           // a sequence by the pause after it.
                                           MenuKey{"Esc", "\x1b"},
                                           MenuKey{"EscWithoutPackage", "\x1b", false},
                                           MenuKey{"F1", "\x1bOP"}, MenuKey{"F1Vt", "\x1b[11~"},
                                           MenuKey{"F5", "\x1b[15~"}, MenuKey{"F10", "\x1b[21~"},
                                           MenuKey{"ShiftF1", "\x1b[1;2P"},
                                           // Its second code is that of "Q".
                                           MenuKey{"PageDown", "\x1b[6~"},
                                           MenuKey{"ShiftPageDown", "\x1b[6;2~"}),
                         keyName);

// Several actions in a row, ignored keys between them: each action's output
// follows the prompt and the complete menu follows each action.
TEST(Menu, EveryActionIsFollowedByTheWholeMenu) {
  StandIn game(Build::A);
  PtySession session(game.program(), game.systemDir());
  for (const std::string_view key : {"3", "x", "4", "\x1b[A", "2", "8", "0", "5"}) {
    ASSERT_TRUE(session.sendKey(key)) << "key " << key;
  }
  ASSERT_TRUE(session.sendKey("Q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  const std::string again = text::success() + text::menu(true);
  EXPECT_EQ(session.transcript(),
            text::startup() + text::menu(true) + again + again + again + again + again);
}

}  // namespace
}  // namespace e2e
