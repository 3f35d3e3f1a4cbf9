// vn3patch-tool status and backup in the stand-in. Status names the menu item
// whose effect each line finds, and writes nothing; a backup is whole and
// passes sha256sum -c, or is not there at all.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
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
using text::line;

constexpr std::uint64_t frobSites[] = {0x54A33C, 0x54A34C, 0x54A35C};  // build B

// What the tool prints in the System folder, without a console; it must
// end with `status` and print nothing on standard error.
std::string runTool(const StandIn& game, std::vector<std::string> arguments, int status,
                    Launch launch = {}) {
  launch.arguments = std::move(arguments);
  PtySession run(game.tool(), game.systemDir(), Console::None, launch);
  EXPECT_EQ(run.waitExit(), ExitStatus::exited(status));
  EXPECT_EQ(run.errorOutput(), "");
  return run.transcript();
}

Bytes contentOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every entry below `root`: folders by a "/" after the name, files with their content.
std::map<std::string, Bytes> tree(const fs::path& root) {
  std::map<std::string, Bytes> entries;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
    entries[e.path().string() + (e.is_directory() ? "/" : "")] =
        e.is_directory() ? Bytes() : contentOf(e.path());
  }
  return entries;
}

// Build B with the stock blocks in the package, the frob sites all 0x80 and
// the pattern's byte at the loot-percentage site.
void prepare(StandIn& game) {
  game.package.overwrite(stock::trailOffset(Build::B), stock::trail());
  game.package.overwrite(stock::glintOffset(Build::B), stock::glint());
  for (const std::uint64_t site : frobSites) game.exe.overwrite(site, Bytes{0x80});
}

std::string after(std::string_view state, int key) {
  return msg::fillIn(state, {msg::menuItem[key]});
}

// The status lines, as for a prepared stand-in until a row changes them.
struct Status {
  std::string only;  // start-up's error instead of all the lines
  std::string package = msg::fillIn(msg::statusPackage, {"B", "8546304"});
  std::string frob{msg::stateUnknown}, shaders{msg::shadersMissing}, loot{msg::stateUnknown};
  std::string trails = after(msg::stateStockByLead, 7), glint = after(msg::stateStockByLead, 9);
  std::string trailFile{msg::stockMissing}, glintFile{msg::stockMissing};
  std::string backup{msg::backupNone}, leftovers;

  std::string text() const {
    if (!only.empty()) return line(only);
    const auto state = [](std::string_view effect, std::string_view value) {
      return line(msg::fillIn(effect, {value}));
    };
    return line(msg::fillIn(msg::statusGame, {"B", "6455296"})) + line(package) +
           state(msg::statusFrob, msg::fillIn(msg::stateWithShaders, {frob, shaders})) +
           state(msg::statusLootPct, loot) + state(msg::statusTrails, trails) +
           state(msg::statusGlint, glint) +
           line(msg::fillIn(msg::statusStockData, {"payload\\trail_stock.bin", trailFile})) +
           line(msg::fillIn(msg::statusStockData, {"payload\\glint_stock.bin", glintFile})) +
           state(msg::statusBackup, backup) + leftovers;
  }
};

// A line that differs from the prepared stand-in's, and what it says.
struct Change {
  Change(std::string Status::*of, std::string_view says) : line(of), text(says) {}
  std::string Status::*line;
  std::string text;
};
// The first overwrite of a block saves it as the stock file.
const Change trailSaved{&Status::trailFile, msg::stockAccepted};
const Change glintSaved{&Status::glintFile, msg::stockAccepted};

struct StatusCase {
  const char* name;
  char key;  // the menu action run first, if any
  std::function<void(StandIn&)> byHand;
  std::vector<Change> changes;
  bool unprivileged = false;  // status run as another user
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class ToolStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ToolStatus, NamesWhatEachEffectIsAndWritesNothing) {
  const StatusCase& c = GetParam();
  StandIn game(Build::B);
  prepare(game);
  if (c.key != 0) runActionAndQuit(game.program(), game.systemDir(), c.key);
  if (c.byHand) c.byHand(game);
  Status expected;
  for (const Change& change : c.changes) expected.*change.line = change.text;

  const auto before = tree(game.root());
  EXPECT_EQ(runTool(game, {}, expected.only.empty() ? 0 : 1, {{}, {}, c.unprivileged, {}}),
            expected.text());
  EXPECT_EQ(tree(game.root()), before) << "status wrote";
}

const std::string glintFile = "glint_stock.bin";
const std::string trail = "payload\\trail_stock.bin", glint = "payload\\glint_stock.bin";
std::string unread(std::string_view path) { return msg::fillIn(msg::stateUnreadable, {path}); }

// The trail block is its stock file's; the glint block is stock by its lead
// but not the stock file's; the shaders are someone else's.
void stockFilesAndForeignShaders(StandIn& g) {
  g.writeStock("trail_stock.bin", stock::trail());
  g.writeStock(glintFile, stock::block(stock::glintLead, stock::glintSize, 7));
  fs::create_directory(g.systemDir() / "Shaders");
  for (const char* name : {"RovizeraDiff.pso", "RovizeraNormal.pso", "Rovizera.pso"}) {
    std::ofstream(g.systemDir() / "Shaders" / name) << std::string(84, 'x');
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tool, ToolStatus, ::testing::Values(
    StatusCase{"AsPrepared", 0, {}, {}},
    StatusCase{"Action1", '1', {}, {{&Status::frob, after(msg::stateFrobOn, 1)},
               {&Status::shaders, msg::fillIn(msg::shadersColour, {"0.1", "0.1", "0.1"})}}},
    StatusCase{"Action2", '2', {}, {{&Status::frob, after(msg::stateStock, 2)}}},
    StatusCase{"Action3", '3', {}, {{&Status::loot, after(msg::stateLootHidden, 3)}}},
    StatusCase{"Action4", '4', {}, {{&Status::loot, after(msg::stateLootShown, 4)}}},
    StatusCase{"Action5", '5', {}, {{&Status::trails, after(msg::stateOff, 5)}, trailSaved}},
    StatusCase{"Action6", '6', {}, {{&Status::trails, after(msg::stateSubtle, 6)}, trailSaved}},
    StatusCase{"Action7", '7', {}, {{&Status::trails, after(msg::stateStock, 7)}, trailSaved}},
    StatusCase{"Action8", '8', {}, {{&Status::glint, after(msg::stateOff, 8)}, glintSaved}},
    StatusCase{"Action9", '9', {}, {{&Status::glint, after(msg::stateStock, 9)}, glintSaved}},
    StatusCase{"OneFrobSiteByHand", '2',
               [](StandIn& g) { g.exe.overwrite(frobSites[1], Bytes{'Z'}); },
               {{&Status::frob, msg::stateMixed}}},
    StatusCase{"StockFilesAndForeignShaders", 0, stockFilesAndForeignShaders,
               {{&Status::trails, after(msg::stateStock, 7)}, trailSaved, glintSaved,
                {&Status::glint,
                 msg::fillIn(msg::stateDiffersFromStock, {text::stockFile(glintFile)})},
                {&Status::shaders, msg::shadersForeign}}},
    StatusCase{"RefusedStockFile", 0, [](StandIn& g) { g.writeStock(glintFile, Bytes(10, 1)); },
                {{&Status::glintFile, msg::fillIn(msg::stockRefused,
                                 {msg::fillIn(msg::stockWrongSize, {"10", "2752"})})}}},
    StatusCase{"NoPackage", 0, [](StandIn& g) { g.package.remove(); },
               {{&Status::package, msg::packageInaccessible},
                {&Status::trails, msg::stateNotChecked}, {&Status::glint, msg::stateNotChecked}}},
    StatusCase{"NoGame", 0, [](StandIn& g) { g.exe.remove(); },
               {{&Status::only, msg::exeMissing}}},
    // Backup and stock files closed to others (root's umask 077); a killed backup, pid > pid_max.
    StatusCase{"BackupOfRootAndLeftoverAsAnotherUser", 0, [](StandIn& g) {
                 EXPECT_EQ(g.openToOthers(), "");
                 runTool(g, {"backup"}, 0);
                 for (const char* f : {"vn3patch-backup", "payload"})
                   fs::permissions(g.systemDir() / f, fs::perms::owner_all);
                 fs::create_directory(g.systemDir() / "vn3patch-backup.9999999.tmp"); },
               {{&Status::trails, unread(trail)}, {&Status::trailFile, unread(trail)},
                {&Status::glint, unread(glint)}, {&Status::glintFile, unread(glint)},
                {&Status::backup, unread("vn3patch-backup")}, {&Status::leftovers,
                 line(msg::fillIn(msg::statusLeftover, {"vn3patch-backup.9999999.tmp"}))}}, true},
    StatusCase{"DanglingBackupLink", 0, [](StandIn& g) {
                 fs::create_symlink(g.root() / "unmounted", g.systemDir() / "vn3patch-backup"); },
               {{&Status::backup, unread("vn3patch-backup")}}}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

// A backup of a patched installation: whole, checked by sha256sum, refused a
// second time, then reported by status as it is and once damaged.
TEST(ToolBackup, IsWholeCheckedAndReported) {
  StandIn game(Build::B);
  prepare(game);
  runActionAndQuit(game.program(), game.systemDir(), '3');
  const std::string made = runTool(game, {"backup"}, 0);

  const fs::path folder = game.systemDir() / "vn3patch-backup";
  EXPECT_EQ(contentOf(folder / "VN3Main.exe"), contentOf(game.exe.path()));
  EXPECT_EQ(contentOf(folder / "Core_FXBANK.ibt"), contentOf(game.package.path()));
  const std::string check = "cd '" + folder.string() + "' && sha256sum --quiet -c SHA256SUMS";
  EXPECT_EQ(std::system(check.c_str()), 0);
  // The sums, which sha256sum has just checked, as the lines name them.
  std::ifstream sums(folder / "SHA256SUMS");
  std::string exeSum, packageSum, name;
  sums >> exeSum >> name >> packageSum >> name;
  const auto held = [](std::string_view effect, std::string_view state) {
    return line(std::string(msg::listIndent) + msg::fillIn(effect, {state}));
  };
  const std::string copiesNotStock = line(msg::backupNotStock) +
                                     held(msg::statusFrob, msg::stateUnknown) +
                                     held(msg::statusLootPct, after(msg::stateLootHidden, 3));
  const auto wrote = [](std::string_view file, std::string_view size, std::string_view what) {
    return line(msg::fillIn(msg::extractWrote, {text::stockFile(file), size, what}));
  };
  EXPECT_EQ(made,
            line(msg::fillIn(msg::backupCopied,
                             {"VN3Main.exe", "vn3patch-backup\\VN3Main.exe", "6455296", exeSum})) +
                line(msg::fillIn(msg::backupCopied,
                                 {"..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt",
                                  "vn3patch-backup\\Core_FXBANK.ibt", "8546304", packageSum})) +
                line(msg::backupComplete) + copiesNotStock +
                wrote("trail_stock.bin", "464", msg::extractTrailWhat) +
                wrote(glintFile, "2752", msg::extractGlintWhat));

  const auto before = tree(game.root());
  EXPECT_EQ(runTool(game, {"backup"}, 1), line(msg::backupExists));
  EXPECT_EQ(tree(game.root()), before);

  Status status;
  status.loot = after(msg::stateLootHidden, 3);
  status.trails = after(msg::stateStock, 7);
  status.glint = after(msg::stateStock, 9);
  status.trailFile = status.glintFile = msg::stockAccepted;
  status.backup = msg::backupMatches;
  EXPECT_EQ(runTool(game, {"status"}, 0), status.text() + copiesNotStock);

  std::fstream(folder / "Core_FXBANK.ibt", std::ios::in | std::ios::out).seekp(0x1234).put('!');
  status.backup = msg::fillIn(msg::backupDamaged, {"vn3patch-backup\\Core_FXBANK.ibt"});
  EXPECT_EQ(runTool(game, {"status"}, 0), status.text());
  // A second line for a name: sha256sum -c fails it, whichever line matches.
  std::ofstream(folder / "SHA256SUMS", std::ios::app) << exeSum << "  VN3Main.exe\n";
  status.backup = msg::fillIn(msg::backupDamaged, {"vn3patch-backup\\SHA256SUMS"});
  EXPECT_EQ(runTool(game, {"status"}, 0), status.text());
}

// Whatever write fails, it says so and leaves nothing of the backup: in a
// System folder that takes no new entry, run as another user, and under a
// file-size limit.
TEST(ToolBackup, FailureLeavesNothingBehind) {
  // The run as another user last, as it may skip.
  for (const bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only System folder" : "file-size limit");
    StandIn game(Build::B);
    Launch launch;
    if (readOnly) {
      if (const std::string why = game.openToOthers(); !why.empty()) GTEST_SKIP() << why;
      launch.unprivileged = true;
      fs::permissions(game.systemDir(), fs::perms::owner_write, fs::perm_options::remove);
    } else {
      launch.fileSizeLimit = 1 << 20;
    }
    const auto before = tree(game.systemDir());
    const std::string output = runTool(game, {"backup"}, 1, launch);
    EXPECT_TRUE(output.starts_with("Error: failed to write 'vn3patch-backup")) << output;
    EXPECT_EQ(tree(game.systemDir()), before);
  }
}

// An entry at vn3patch-backup, a link to a drive not mounted or a folder made while strace holds
// the backup just after it made its temporary folder, and VN3Main.exe grown meanwhile: it stops.
TEST(ToolBackup, StopsForAnEntryAtItsNameOrAGameFileThatChanged) {
  for (const std::string way : {"link", "entry", "grown"}) {
    StandIn game(Build::B);
    const fs::path folder = game.systemDir() / "vn3patch-backup";
    if (way == "link") fs::create_symlink(game.root() / "unmounted", folder);
    Launch launch;
    // LeakSanitizer, where it is built in, cannot run under ptrace.
    launch.arguments = {"ASAN_OPTIONS=detect_leaks=0",
                        "strace",
                        "-qqo/dev/stdout",
                        "-etrace=mkdir",
                        "-einject=mkdir:delay_exit=1000000",
                        game.tool().string(),
                        "backup"};
    PtySession run("/usr/bin/env", game.systemDir(), Console::None, launch);
    ASSERT_TRUE(way == "link" || run.expect("mkdir(")) << way;
    if (way == "entry") fs::create_directory(folder);
    if (way == "grown") fs::resize_file(game.exe.path(), exeSize(Build::B) + 1);
    EXPECT_EQ(run.waitExit(milliseconds(20000)), ExitStatus::exited(1)) << way;
    EXPECT_TRUE(run.transcript().ends_with(
        line(way == "grown" ? msg::fillIn(msg::backupChanged, {"VN3Main.exe"})
                            : std::string(msg::backupExists))))
        << run.transcript();
    EXPECT_EQ(tree(game.systemDir()).size(), way == "grown" ? 1u : 2u) << way;
  }
}

}  // namespace
}  // namespace e2e
