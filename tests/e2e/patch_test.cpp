// What the actions do to the game files, checked byte for byte over both
// whole files, and what they print.
#include <signal.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "pty_session.hpp"
#include "standin.hpp"
#include "stock_blocks.hpp"
#include "transcripts.hpp"

namespace e2e {
namespace {

namespace msg = vn3::msg;
namespace fs = std::filesystem;

using stock::glintSize;
using stock::trailSize;

// How the two built-in replacement blocks begin.
const Bytes trailOffLead = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0x01, 0x00, 0x00, 0x00, 0x55, 0x55, 0x55, 0x55};
const Bytes trailSubtleLead = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                               0x8A, 0x52, 0x82, 0x10, 0x55, 0xD5, 0xB5, 0x2D};

// The built-in replacement images are the program's own data files; the
// program is checked to write exactly those, and the files to begin as
// they must.
Bytes builtInBlock(const char* fileName, const Bytes& lead) {
  const fs::path path = fs::path(VN3_PAYLOAD_SOURCE_DIR) / fileName;
  std::ifstream in(path, std::ios::binary);
  Bytes block{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(block.size(), trailSize) << path;
  EXPECT_TRUE(block.size() >= lead.size() && std::equal(lead.begin(), lead.end(), block.begin()))
      << path << " does not begin with the replacement block's lead bytes";
  return block;
}

std::optional<Bytes> fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void installStock(StandIn& game) {
  game.copyProgram();
  game.writeStock("trail_stock.bin", stock::trail());
  game.writeStock("glint_stock.bin", stock::glint());
}

// ---- Each action on each build ----------------------------------------------

enum class Target { Exe, Package };

struct Action {
  char key;
  Target target;
  std::vector<std::uint64_t> offsetsA;
  std::vector<std::uint64_t> offsetsB;
  std::function<Bytes()> bytes;
};

const std::vector<Action>& actions() {
  // clang-format off
  static const std::vector<Action> table = {
      {'2', Target::Exe, {0x546344, 0x546354, 0x546364}, {0x54A33C, 0x54A34C, 0x54A35C},
       [] { return Bytes{'M'}; }},
      {'3', Target::Exe, {0x57CEE1}, {0x5814B9}, [] { return Bytes{0x00}; }},
      {'4', Target::Exe, {0x57CEE1}, {0x5814B9}, [] { return Bytes{0x20}; }},
      {'5', Target::Package, {0x11B040}, {0x11B840},
       [] { return builtInBlock("trail_off.bin", trailOffLead); }},
      {'6', Target::Package, {0x11B040}, {0x11B840},
       [] { return builtInBlock("trail_subtle.bin", trailSubtleLead); }},
      {'7', Target::Package, {0x11B040}, {0x11B840}, stock::trail},
      {'8', Target::Package, {0x2C5040}, {0x31D840}, [] { return Bytes(glintSize, 0x00); }},
      {'9', Target::Package, {0x2C5040}, {0x31D840}, stock::glint},
  };
  // clang-format on
  return table;
}

const Action& action(char key) {
  for (const Action& a : actions()) {
    if (a.key == key) return a;
  }
  throw std::logic_error("no such action");
}

// Tells the stand-in what the action must have written.
void expectAction(StandIn& game, Build build, char key) {
  const Action& a = action(key);
  GameFile& file = a.target == Target::Exe ? game.exe : game.package;
  const Bytes bytes = a.bytes();
  for (const std::uint64_t offset : build == Build::A ? a.offsetsA : a.offsetsB) {
    file.expectWrite(offset, bytes);
  }
}

class EachAction : public ::testing::TestWithParam<std::tuple<Build, char>> {};

// Only the site bytes change, sizes stay, and the outcome is printed
// between two complete menus.
TEST_P(EachAction, WritesExactlyItsSitesAndReportsSuccess) {
  const auto [build, key] = GetParam();
  StandIn game(build);
  installStock(game);
  expectAction(game, build, key);

  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey(std::string(1, key)));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(),
            text::startup() + text::menu(true) + text::success() + text::menu(true));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

INSTANTIATE_TEST_SUITE_P(Patch, EachAction,
                         ::testing::Combine(::testing::Values(Build::A, Build::B),
                                            ::testing::Values('2', '3', '4', '5', '6', '7', '8',
                                                              '9')),
                         [](const auto& test) {
                           return std::string(buildName(std::get<0>(test.param))) + "_Key" +
                                  std::get<1>(test.param);
                         });

class BothBuilds : public ::testing::TestWithParam<Build> {};

// Every action's partner undoes it: turned off, then on again, the files
// end as the stock bytes (as far as the stand-in's stock blocks go) and
// nothing else has moved.
TEST_P(BothBuilds, EachEffectOffThenOnEndsWithTheOnBytes) {
  const Build build = GetParam();
  StandIn game(build);
  installStock(game);
  expectAction(game, build, '4');  // after 3
  expectAction(game, build, '7');  // after 5 and 6
  expectAction(game, build, '9');  // after 8

  PtySession session(game.program(), game.systemDir());
  for (const char* key : {"3", "4", "5", "6", "7", "8", "9"}) ASSERT_TRUE(session.sendKey(key));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
  const std::string again = text::success() + text::menu(true);
  std::string expected = text::startup() + text::menu(true);
  for (int i = 0; i < 7; ++i) expected += again;
  EXPECT_EQ(session.transcript(), expected);
}

INSTANTIATE_TEST_SUITE_P(Patch, BothBuilds, ::testing::Values(Build::A, Build::B),
                         [](const auto& test) { return std::string(buildName(test.param)); });

// A package of the other build's size is refused, but the executable still
// decides the build: its actions use the BuildA offsets.
TEST(Patch, BuildAExecutableWithBuildBPackageUsesBuildAOffsets) {
  StandIn game(Build::A, Build::B);
  expectAction(game, Build::A, '2');
  expectAction(game, Build::A, '3');

  PtySession session(game.program(), game.systemDir());
  for (const char* key : {"2", "5", "8", "3"}) ASSERT_TRUE(session.sendKey(key));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), text::startup(msg::packageWrongVersion) + text::menu(false) +
                                      text::success() + text::menu(false) + text::success() +
                                      text::menu(false));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

// ---- Files that cannot be opened -------------------------------------------

struct OpenFailure {
  const char* name;
  Build build;
  std::function<void(StandIn&)> spoil;  // done after the menu is shown
  char key;
  std::string_view error;
};

void PrintTo(const OpenFailure& c, std::ostream* os) { *os << c.name; }

class FileGoneAfterStartup : public ::testing::TestWithParam<OpenFailure> {};

// The failure is reported once, nothing is written (nor any file made in
// place of the missing one), and the menu follows.
TEST_P(FileGoneAfterStartup, ReportsOpenFailureAndWritesNothing) {
  const OpenFailure& c = GetParam();
  StandIn game(c.build);
  installStock(game);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.expect(msg::menuPrompt));
  c.spoil(game);
  ASSERT_TRUE(session.sendKey(std::string(1, c.key)));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(),
            text::startup() + text::menu(true) + text::error(c.error) + text::menu(true));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

const auto removeExe = [](StandIn& g) { g.exe.remove(); };
const auto exeToDirectory = [](StandIn& g) { g.exe.makeDirectory(); };
const auto removePackage = [](StandIn& g) { g.package.remove(); };
const auto packageToDirectory = [](StandIn& g) { g.package.makeDirectory(); };

INSTANTIATE_TEST_SUITE_P(
    Patch, FileGoneAfterStartup,
    ::testing::Values(
        OpenFailure{"ExeRemovedKey2", Build::A, removeExe, '2', msg::exeOpenFailed},
        OpenFailure{"ExeRemovedKey3", Build::B, removeExe, '3', msg::exeOpenFailed},
        OpenFailure{"ExeRemovedKey4", Build::A, removeExe, '4', msg::exeOpenFailed},
        OpenFailure{"ExeBecameDirectoryKey3", Build::B, exeToDirectory, '3', msg::exeOpenFailed},
        OpenFailure{"PackageRemovedKey5", Build::A, removePackage, '5', msg::packageOpenFailed},
        OpenFailure{"PackageRemovedKey6", Build::B, removePackage, '6', msg::packageOpenFailed},
        OpenFailure{"PackageRemovedKey7", Build::A, removePackage, '7', msg::packageOpenFailed},
        OpenFailure{"PackageRemovedKey8", Build::B, removePackage, '8', msg::packageOpenFailed},
        OpenFailure{"PackageRemovedKey9", Build::A, removePackage, '9', msg::packageOpenFailed},
        OpenFailure{"PackageBecameDirectoryKey8", Build::A, packageToDirectory, '8',
                    msg::packageOpenFailed},
        OpenFailure{"PackageBecameDirectoryKey7", Build::B, packageToDirectory, '7',
                    msg::packageOpenFailed}),
    [](const auto& test) { return std::string(test.param.name); });

// Both open-failure messages, typed out in full.
TEST(Patch, OpenFailureMessagesGolden) {
  StandIn game(Build::B);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.expect("vesker> "));
  game.exe.remove();
  game.package.remove();
  ASSERT_TRUE(session.sendKey("2"));
  ASSERT_TRUE(session.expect(
      "\n"
      "Error: Failed to open 'VN3Main.exe', make sure the file is not read-only and not "
      "running\n"
      "\n"
      "\n\t1. "));
  ASSERT_TRUE(session.sendKey("5"));
  ASSERT_TRUE(session.expect(
      "vesker> \n"
      "Error: Failed to open '..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt', make sure the file is "
      "not read-only and not in use\n"
      "\n"
      "\n\t1. "));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
}

// ---- Stock blocks -----------------------------------------------------------

// Without stock files in the System folder's payload/, actions 7 and 9 say
// which file is missing and touch nothing. Stock files beside the program
// do not count: they belong with the game.
TEST(Stock, MissingFilesAreReportedWithTheirPathAndNothingIsWritten) {
  StandIn game(Build::B);
  game.copyProgram();
  fs::create_directories(game.program().parent_path() / "payload");
  const Bytes trail = stock::trail();
  std::ofstream(game.program().parent_path() / "payload" / "trail_stock.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(trail.data()),
             static_cast<std::streamsize>(trail.size()));

  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey("7"));
  ASSERT_TRUE(session.sendKey("9"));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true) +
                                      text::missingStock("trail_stock.bin") + text::menu(true) +
                                      text::missingStock("glint_stock.bin") + text::menu(true));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

// The stock block is looked for in the package itself first: with both
// missing, it is the package that is reported.
TEST(Stock, MissingPackageIsReportedBeforeMissingStock) {
  StandIn game(Build::A);
  game.copyProgram();
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.expect(msg::menuPrompt));
  game.package.remove();
  ASSERT_TRUE(session.sendKey("9"));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true) +
                                      text::error(msg::packageOpenFailed) + text::menu(true));
  EXPECT_TRUE(game.package.matches());
}

// A stock block in the package is saved to the System folder's payload/ before anything
// overwrites it, wherever the program itself lies; a block that cannot be saved is not
// overwritten, nor one unlike an accepted file. A restore without its block looks for the file
// again, or for the block this run took from the package. Build B.
enum class Glint { Stock, Off, OnFile, Patched };
enum class Where { System, Elsewhere, ReadOnlySystem };

struct KeptStock {
  const char* name;
  bool stockPackage;      // else the package's glint block is already patched
  Where where;            // where the program runs from
  const char* stockFile;  // at start: "accepted" files, "rejected" glint file, "payload file", none
  // Keys, a space between runs; w makes the accepted glint file, r removes it,
  // l leaves the temporary file of a killed save by a process with this one's id.
  const char* runs;
  // Of each action: + applied, - stock missing, ! not saved, d unlike file, c file unreadable.
  std::string outcomes;
  Glint glintAfter;  // what the package's glint block ends as
  Glint glintFile;   // the glint file afterwards (Patched: none)
  bool trailSaved;
};

void PrintTo(const KeptStock& c, std::ostream* os) { *os << c.name; }

class KeptStockRows : public ::testing::TestWithParam<KeptStock> {};

TEST_P(KeptStockRows, RestoresWorkAndOnlyTheGameFolderKeepsTheFiles) {
  const KeptStock& c = GetParam();
  StandIn game(Build::B);
  const Bytes onFile =
      stock::block(stock::glintLead, glintSize, 5);  // stock-like, not the package's
  const auto glintOf = [&](Glint g) {
    return g == Glint::Stock ? stock::glint() : g == Glint::OnFile ? onFile : Bytes(glintSize, 0);
  };
  game.package.overwrite(stock::trailOffset(Build::B), stock::trail());
  game.package.overwrite(stock::glintOffset(Build::B),
                         c.stockPackage ? stock::glint() : Bytes(glintSize, 0));
  game.copyProgram(c.where == Where::Elsewhere ? fs::path() : game.systemDir());
  const std::string atStart = c.stockFile ? c.stockFile : "";
  if (atStart == "payload file") {
    std::ofstream(game.payloadDir()) << "not a folder";
  } else if (!atStart.empty()) {
    game.writeStock("glint_stock.bin", atStart != "rejected" ? onFile : Bytes(100, 0x11));
  }
  if (atStart == "accepted")
    game.writeStock("trail_stock.bin", stock::block(stock::trailLead, trailSize, 5));
  const std::optional<Bytes> trailAtStart = fileBytes(game.payloadDir() / "trail_stock.bin");
  Launch launch;
  if (c.where == Where::ReadOnlySystem) {
    // The folders stay closed to the unprivileged user's writes.
    if (const std::string why = game.openToOthers(); !why.empty()) GTEST_SKIP() << why;
    fs::permissions(game.package.path(), fs::perms::others_write, fs::perm_options::add);
    launch.unprivileged = true;
    if (atStart == "closed") {  // root's file in a folder the player may write
      fs::permissions(game.payloadDir(), fs::perms::all);
      fs::permissions(game.payloadDir() / "glint_stock.bin", fs::perms::owner_read);
    }
  }

  std::size_t action = 0;
  std::istringstream runs(c.runs);
  for (std::string keys; runs >> keys;) {
    PtySession session(game.program(), game.systemDir(), Console::Terminal, launch);
    std::string expected = text::startup() + text::menu(true);
    for (const char key : keys) {
      if (key == 'w' || key == 'r') {
        ASSERT_TRUE(session.awaitKeyRead());
        if (key == 'w') game.writeStock("glint_stock.bin", onFile);
        if (key == 'r') fs::remove(game.payloadDir() / "glint_stock.bin");
        continue;
      }
      if (key == 'l') {
        ASSERT_TRUE(session.awaitKeyRead());
        fs::create_directories(game.payloadDir());
        const std::string pid = std::to_string(session.pid());
        std::ofstream(game.payloadDir() / ("glint_stock.bin." + pid + "-1.tmp")) << "killed";
        continue;
      }
      ASSERT_TRUE(session.sendKey(std::string(1, key)));
      const char* file = key < '8' ? "trail_stock.bin" : "glint_stock.bin";
      const char outcome = c.outcomes.at(action++);
      expected += (outcome == '+'   ? text::success()
                   : outcome == '-' ? text::missingStock(file)
                   : outcome == 'd'
                       ? text::error(msg::fillIn(msg::packageBlockDiffers, {text::stockFile(file)}))
                   : outcome == 'c'
                       ? text::error(msg::fillIn(msg::stockDataUnreadable, {text::stockFile(file)}))
                       : text::stockNotSaved(file)) +
                  text::menu(true);
    }
    ASSERT_TRUE(session.sendKey("q"));
    EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
    EXPECT_EQ(session.transcript(), expected);
  }
  game.package.expectWrite(stock::glintOffset(Build::B), glintOf(c.glintAfter));
  EXPECT_TRUE(game.package.matches());
  const auto saved = [&game](const char* file) { return fileBytes(game.payloadDir() / file); };
  if (c.glintFile == Glint::Patched) {
    EXPECT_FALSE(saved("glint_stock.bin"));
  } else {
    EXPECT_EQ(saved("glint_stock.bin"), glintOf(c.glintFile));
  }
  EXPECT_EQ(saved("trail_stock.bin"), c.trailSaved ? std::optional(stock::trail()) : trailAtStart);
  if (c.where == Where::Elsewhere) {
    EXPECT_FALSE(fs::exists(game.program().parent_path() / "payload"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stock, KeptStockRows,
    ::testing::Values(KeptStock{"OffThenRestore", true, Where::System, nullptr, "89", "++",
                                Glint::Stock, Glint::Stock, false},
                      KeptStock{"TrailsOffSubtleRestore", true, Where::System, nullptr, "567",
                                "+++", Glint::Stock, Glint::Patched, true},
                      KeptStock{"RestoreFirstWritesTheSameBytes", true, Where::System, nullptr, "9",
                                "+", Glint::Stock, Glint::Stock, false},
                      KeptStock{"SavedForTheNextRun", true, Where::System, nullptr, "8 9", "++",
                                Glint::Stock, Glint::Stock, false},
                      KeptStock{"PatchedPackageKeepsNothing", false, Where::System, nullptr, "9",
                                "-", Glint::Off, Glint::Patched, false},
                      KeptStock{"ElsewhereSavedInTheGameFolder", true, Where::Elsewhere, nullptr,
                                "898 9", "++++", Glint::Stock, Glint::Stock, false},
                      // A restore of the stock bytes writes them even so.
                      KeptStock{"ReadOnlyFolderNothingOverwritten", true, Where::ReadOnlySystem,
                                nullptr, "898 9", "!+!+", Glint::Stock, Glint::Patched, false},
                      KeptStock{"PayloadIsAFileNothingOverwritten", true, Where::System,
                                "payload file", "5", "!", Glint::Stock, Glint::Patched, false},
                      KeptStock{"FileMadeDuringTheRunIsUsed", false, Where::System, nullptr, "9w9",
                                "-+", Glint::OnFile, Glint::OnFile, false},
                      KeptStock{"LeftoverOfAKilledSaveIsNoObstacle", true, Where::System, nullptr,
                                "l89", "++", Glint::Stock, Glint::Stock, false},
                      KeptStock{"AcceptedFileLeftAlone", true, Where::System, "accepted", "5789",
                                "dddd", Glint::Stock, Glint::OnFile, false},
                      KeptStock{"FileTakenAwayIsNotWrittenBack", false, Where::System, nullptr,
                                "w8r9", "+-", Glint::Off, Glint::Patched, false},
                      KeptStock{"BlockTakenThisRunIsSavedAgain", true, Where::System, nullptr,
                                "8r9", "++", Glint::Stock, Glint::Stock, false},
                      KeptStock{"UnreadableFileNeverReplaced", true, Where::ReadOnlySystem,
                                "closed", "89", "cc", Glint::Stock, Glint::OnFile, false},
                      KeptStock{"RejectedFileReplaced", true, Where::System, "rejected", "89", "++",
                                Glint::Stock, Glint::Stock, false}),
    [](const auto& row) { return std::string(row.param.name); });

// A package cut short since start-up: the block to be overwritten cannot be
// read, so whether it is the only stock copy is unknown, and nothing is
// written (no zeros fill the gap up to the site).
TEST(Stock, UnreadableBlockIsNotOverwritten) {
  StandIn game(Build::B);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.awaitKeyRead());
  const std::uintmax_t cut = stock::trailOffset(Build::B);
  fs::resize_file(game.package.path(), cut);
  ASSERT_TRUE(session.sendKey("5"));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), text::oneAction('5', text::error(msg::packageLocateFailed)));
  EXPECT_EQ(fs::file_size(game.package.path()), cut);
}

// Killed at each file-system call of action 5 in turn, on a stock package
// without a stock file, the program never loses the block: it is whole in
// the package or in payload/, and a restart's 7 puts it back.
TEST(Stock, KilledAtAnyFileCallOfAnOverwriteTheBlockSurvives) {
  const Build build = Build::B;
  const std::string calls =
      "%file,read,write,pread64,pwrite64,readv,writev,lseek,fsync,fdatasync,close,fstat,ftruncate";
  // Found by a first run without a kill: each file call of the action, as
  // its name and its number among the calls of that name, which strace
  // counts on the terminal too.
  std::vector<std::pair<std::string, int>> killPoints;
  for (std::size_t run = 0; run <= killPoints.size(); ++run) {
    const bool recording = run == 0;
    const auto [call, count] = recording ? std::pair<std::string, int>() : killPoints[run - 1];
    SCOPED_TRACE(recording ? "no kill" : "killed at " + call + " #" + std::to_string(count));
    StandIn game(build);
    game.package.overwrite(stock::trailOffset(build), stock::trail());
    const fs::path log = game.root() / "calls.log";
    {
      PtySession session(game.program(), game.systemDir());
      ASSERT_TRUE(session.awaitKeyRead());
      const std::string kill = "inject=" + call + ":signal=SIGKILL:when=" + std::to_string(count);
      const Tracer tracer(
          session.pid(),
          recording ? std::vector<std::string>{"-y", "-o", log.string(), "-e", "trace=" + calls}
                    : std::vector<std::string>{"-o", "/dev/null", "-e", kill});
      if (!tracer.failure().empty()) GTEST_SKIP() << "strace cannot attach: " << tracer.failure();
      ASSERT_TRUE(session.sendKey("5"));
      const bool done = session.expect(text::success() + text::menu(true));
      const bool killed = session.waitExit(milliseconds(0)) == ExitStatus::killedBy(SIGKILL);
      ASSERT_TRUE(recording ? done && !killed : killed) << session.transcript();
    }
    if (recording) {
      std::ifstream in(log);
      std::map<std::string, int> seen;
      for (std::string line; std::getline(in, line);) {
        const std::size_t open = line.find('(');
        if (open == std::string::npos || !std::islower(static_cast<unsigned char>(line[0]))) {
          continue;
        }
        const std::string name = line.substr(0, open);
        ++seen[name];
        if (line.find("</dev/") == std::string::npos) killPoints.emplace_back(name, seen[name]);
      }
      ASSERT_FALSE(killPoints.empty()) << "no calls recorded";
      EXPECT_EQ(fileBytes(game.payloadDir() / "trail_stock.bin"), stock::trail());
    }
    Bytes inPackage(trailSize);
    std::ifstream package(game.package.path(), std::ios::binary);
    package.seekg(static_cast<std::streamoff>(stock::trailOffset(build)));
    package.read(reinterpret_cast<char*>(inPackage.data()), trailSize);
    EXPECT_TRUE(inPackage == stock::trail() ||
                fileBytes(game.payloadDir() / "trail_stock.bin") == stock::trail())
        << "the stock block is lost";
    PtySession again(game.program(), game.systemDir());
    ASSERT_TRUE(again.sendKey("7"));
    ASSERT_TRUE(again.sendKey("q"));
    EXPECT_EQ(again.waitExit(), ExitStatus::exited(0));
    EXPECT_EQ(again.transcript(), text::oneAction('7', text::success()));
    EXPECT_TRUE(game.package.matches());
  }
}

struct BadStock {
  const char* name;
  Bytes trail;
  Bytes glint;
  char refusedKey;  // the other of 7 and 9 is applied
};

void PrintTo(const BadStock& c, std::ostream* os) { *os << c.name; }

Bytes resized(Bytes bytes, std::size_t size) {
  bytes.resize(size, 0x11);
  return bytes;
}

Bytes withByte(Bytes bytes, std::size_t at, std::uint8_t value) {
  bytes.at(at) = value;
  return bytes;
}

class UnacceptableStock : public ::testing::TestWithParam<BadStock> {};

// A stock file of the wrong size or with the wrong lead bytes is treated as
// missing; the other, good one still works.
TEST_P(UnacceptableStock, IsRefusedWhileTheOtherWorks) {
  const BadStock& c = GetParam();
  const Build build = Build::A;
  StandIn game(build);
  game.copyProgram();
  game.writeStock("trail_stock.bin", c.trail);
  game.writeStock("glint_stock.bin", c.glint);
  const char appliedKey = c.refusedKey == '7' ? '9' : '7';
  expectAction(game, build, appliedKey);

  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey("7"));
  ASSERT_TRUE(session.sendKey("9"));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  const std::string refused =
      text::missingStock(c.refusedKey == '7' ? "trail_stock.bin" : "glint_stock.bin");
  const std::string first = c.refusedKey == '7' ? refused : text::success();
  const std::string second = c.refusedKey == '9' ? refused : text::success();
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true) + first + text::menu(true) +
                                      second + text::menu(true));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

INSTANTIATE_TEST_SUITE_P(
    Stock, UnacceptableStock,
    ::testing::Values(
        BadStock{"TrailOneByteShort", resized(stock::trail(), trailSize - 1), stock::glint(), '7'},
        BadStock{"TrailOneByteLong", resized(stock::trail(), trailSize + 1), stock::glint(), '7'},
        BadStock{"TrailWithGlintLead", stock::block(stock::glintLead, trailSize, 71),
                 stock::glint(), '7'},
        BadStock{"TrailLastLeadByteWrong", withByte(stock::trail(), 15, 0x2E), stock::glint(), '7'},
        BadStock{"GlintEmpty", stock::trail(), Bytes{}, '9'},
        BadStock{"GlintOfTrailSize", stock::trail(), stock::block(stock::glintLead, trailSize, 93),
                 '9'},
        BadStock{"GlintFirstLeadByteWrong", stock::trail(), withByte(stock::glint(), 0, 0x00),
                 '9'}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace e2e
