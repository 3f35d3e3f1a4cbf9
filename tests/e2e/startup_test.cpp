// Start-up as the player sees it: the banner, the installation checks, the
// notices and the first menu, or the error and the pause before exit 1.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "pty_session.hpp"
#include "standin.hpp"
#include "transcripts.hpp"

namespace e2e {
namespace {

namespace msg = vn3::msg;

// Typed out in full rather than composed, so that a slip in a message text
// or in the layout is caught here even where the other tests would agree
// with it.
constexpr std::string_view goldenStartupBuildA =
    "\n"
    "Vantor3 v1.0 patcher v0.5\n"
    "------------------------\n"
    "\n"
    "IMPORTANT: Make a backups of following files before using this application:\n"
    "\n"
    "           \tVN3Main.exe\n"
    "           \tCONTENT\\VN3\\Maps\\Core_FXBANK.ibt\n"
    "\n"
    "           This application may or may not work together with other patches.\n"
    "           Use this application at your own risk.\n"
    "\n"
    "\n"
    "\t1. Activate VN1/2 style frob highlight\n"
    "\t2. Restore VN3 frob highlight\n"
    "\n"
    "\t3. Disable loot percentage\n"
    "\t4. Restore loot percentage\n"
    "\n"
    "\t5. Disable arrow trails\n"
    "\t6. Replace arrow trails with subtle trails\n"
    "\t7. Restore arrow trails\n"
    "\n"
    "\t8. Disable loot glint\n"
    "\t9. Restore loot glint\n"
    "\n"
    "\tQ. Quit\n"
    "\n"
    "Pick one, vesker> ";

constexpr std::string_view goldenExeMissing =
    "\n"
    "Vantor3 v1.0 patcher v0.5\n"
    "------------------------\n"
    "\n"
    "Error: run this application from the Vantor3\\System folder\n"
    "\n"
    "\n"
    "<press any key>\n";

constexpr std::string_view goldenWrongPackageThenLootOff =
    "\n"
    "Vantor3 v1.0 patcher v0.5\n"
    "------------------------\n"
    "\n"
    "Warning: wrong version of..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt, some options will not be "
    "available\n"
    "\n"
    "IMPORTANT: Make a backups of following files before using this application:\n"
    "\n"
    "           \tVN3Main.exe\n"
    "           \tCONTENT\\VN3\\Maps\\Core_FXBANK.ibt\n"
    "\n"
    "           This application may or may not work together with other patches.\n"
    "           Use this application at your own risk.\n"
    "\n"
    "\n"
    "\t1. Activate VN1/2 style frob highlight\n"
    "\t2. Restore VN3 frob highlight\n"
    "\n"
    "\t3. Disable loot percentage\n"
    "\t4. Restore loot percentage\n"
    "\n"
    "\tQ. Quit\n"
    "\n"
    "Pick one, vesker> "
    "\n"
    "\n"
    "-- Patch Applied --\n"
    "\n"
    "\n"
    "\t1. Activate VN1/2 style frob highlight\n"
    "\t2. Restore VN3 frob highlight\n"
    "\n"
    "\t3. Disable loot percentage\n"
    "\t4. Restore loot percentage\n"
    "\n"
    "\tQ. Quit\n"
    "\n"
    "Pick one, vesker> ";

TEST(GoldenTranscript, GoodInstallationShowsBannerNoticesAndFullMenu) {
  StandIn game(Build::A);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.expect("vesker> "));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), goldenStartupBuildA);
}

TEST(GoldenTranscript, MissingExecutablePausesThenExitsWithOne) {
  StandIn game;
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.expect("<press any key>\n"));
  ASSERT_TRUE(session.sendKey("x"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(1));
  EXPECT_EQ(session.transcript(), goldenExeMissing);
}

TEST(GoldenTranscript, WrongPackageHidesItsItemsAndActionOutputFollowsPrompt) {
  StandIn game(Build::B, Build::A);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey("3"));
  ASSERT_TRUE(session.expect("-- Patch Applied --"));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), goldenWrongPackageThenLootOff);
}

// ---- Installations the program accepts ------------------------------------

struct AcceptedCase {
  const char* name;
  Build exeBuild;
  std::function<void(StandIn&)> arrangePackage;
  std::string_view warning;  // empty: the package is usable
};

void PrintTo(const AcceptedCase& c, std::ostream* os) { *os << c.name; }

class AcceptedInstallation : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedInstallation, ShowsNoticesAndMenuThenQuitsWithZero) {
  const AcceptedCase& c = GetParam();
  StandIn game;
  game.exe.create(exeSize(c.exeBuild));
  c.arrangePackage(game);

  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.expect(msg::menuPrompt));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), text::startup(c.warning) + text::menu(c.warning.empty()));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

INSTANTIATE_TEST_SUITE_P(
    Startup, AcceptedInstallation,
    ::testing::Values(
        AcceptedCase{
            "BuildA", Build::A, [](StandIn& g) { g.package.create(packageSize(Build::A)); }, {}},
        AcceptedCase{
            "BuildB", Build::B, [](StandIn& g) { g.package.create(packageSize(Build::B)); }, {}},
        AcceptedCase{"PackageMissing", Build::A, [](StandIn&) {}, msg::packageInaccessible},
        AcceptedCase{"PackageIsDirectory", Build::B, [](StandIn& g) { g.package.makeDirectory(); },
                     msg::packageInaccessible},
        AcceptedCase{"BuildAWithBuildBPackage", Build::A,
                     [](StandIn& g) { g.package.create(packageSize(Build::B)); },
                     msg::packageWrongVersion},
        AcceptedCase{"BuildBWithBuildAPackage", Build::B,
                     [](StandIn& g) { g.package.create(packageSize(Build::A)); },
                     msg::packageWrongVersion},
        AcceptedCase{"PackageOneByteShort", Build::A,
                     [](StandIn& g) { g.package.create(packageSize(Build::A) - 1); },
                     msg::packageWrongVersion},
        AcceptedCase{"PackageEmpty", Build::B, [](StandIn& g) { g.package.create(0); },
                     msg::packageWrongVersion}),
    [](const auto& test) { return std::string(test.param.name); });

// ---- Installations the program refuses -----------------------------------

struct RefusedCase {
  const char* name;
  std::function<void(StandIn&)> arrange;
  std::string_view error;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedInstallation : public ::testing::TestWithParam<RefusedCase> {};

// The package is always unusable here too: its warning must not appear,
// because the package is not looked at once the executable is refused.
TEST_P(RefusedInstallation, PrintsErrorAndPausesThenExitsWithOne) {
  const RefusedCase& c = GetParam();
  StandIn game;
  c.arrange(game);

  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.expect(msg::pressAnyKey));
  ASSERT_TRUE(session.sendKey("x"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(1));
  EXPECT_EQ(session.transcript(), text::exeCheckFailed(c.error));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

INSTANTIATE_TEST_SUITE_P(
    Startup, RefusedInstallation,
    ::testing::Values(
        RefusedCase{"ExecutableMissing", [](StandIn&) {}, msg::exeMissing},
        RefusedCase{"ExecutableMissingPackageGood",
                    [](StandIn& g) { g.package.create(packageSize(Build::A)); }, msg::exeMissing},
        RefusedCase{"ExecutableIsDirectory",
                    [](StandIn& g) {
                      g.exe.makeDirectory();
                      g.package.makeDirectory();
                    },
                    msg::exeNotRegular},
        RefusedCase{"ExecutableOneByteLongerThanBuildA",
                    [](StandIn& g) { g.exe.create(exeSize(Build::A) + 1); }, msg::exeWrongVersion},
        RefusedCase{"ExecutableOneByteShorterThanBuildB",
                    [](StandIn& g) {
                      g.exe.create(exeSize(Build::B) - 1);
                      g.package.create(packageSize(Build::A));
                    },
                    msg::exeWrongVersion},
        RefusedCase{"ExecutableOfPackageSize",
                    [](StandIn& g) { g.exe.create(packageSize(Build::A)); }, msg::exeWrongVersion},
        RefusedCase{"ExecutableEmpty", [](StandIn& g) { g.exe.create(0); }, msg::exeWrongVersion}),
    [](const auto& test) { return std::string(test.param.name); });

// ---- The pause before exit 1 ----------------------------------------------

struct PauseKey {
  const char* name;
  std::string_view bytes;
};

void PrintTo(const PauseKey& k, std::ostream* os) { *os << k.name; }

class PauseAfterRefusal : public ::testing::TestWithParam<PauseKey> {};

// Any key ends the pause, also those that would quit the menu, and the exit
// status stays 1 whatever the key was.
TEST_P(PauseAfterRefusal, AnyKeyEndsItWithStatusOne) {
  StandIn game;
  game.exe.create(exeSize(Build::B) + 0x1000);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.expect(msg::pressAnyKey));
  ASSERT_TRUE(session.sendKey(GetParam().bytes));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(1));
  EXPECT_EQ(session.transcript(), text::exeCheckFailed(msg::exeWrongVersion));
}

INSTANTIATE_TEST_SUITE_P(
    Startup, PauseAfterRefusal,
    ::testing::Values(PauseKey{"Letter", "a"}, PauseKey{"LowerQ", "q"}, PauseKey{"UpperQ", "Q"},
                      PauseKey{"Digit", "3"}, PauseKey{"Enter", "\r"}, PauseKey{"Space", " "},
                      PauseKey{"CtrlC", "\x03"}, PauseKey{"Esc", "\x1b"}, PauseKey{"F1", "\x1bOP"},
                      PauseKey{"PageDown", "\x1b[6~"}, PauseKey{"UpArrow", "\x1b[A"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace e2e
