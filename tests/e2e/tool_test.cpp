// vn3patch-tool status and backup in the stand-in. Status names the menu item
// whose effect each line finds, and writes nothing; a backup is whole and
// passes sha256sum -c, or is not there at all.
#include <unistd.h>

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

struct ToolRun {
  std::optional<ExitStatus> status;
  std::string output;
};

ToolRun runTool(const StandIn& game, std::vector<std::string> arguments, Launch launch = {}) {
  launch.arguments = std::move(arguments);
  PtySession run(StandIn::tool(), game.systemDir(), Console::None, launch);
  ToolRun result{run.waitExit(), run.transcript()};
  EXPECT_EQ(run.errorOutput(), "");
  return result;
}

Bytes contentOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every entry below `root`, folders marked with a "/", files with their content.
std::map<std::string, Bytes> tree(const fs::path& root) {
  std::map<std::string, Bytes> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).string();
    if (entry.is_directory()) {
      entries[name + "/"] = {};
    } else {
      entries[name] = contentOf(entry.path());
    }
  }
  return entries;
}

// Build B with the stock blocks in the package, the frob sites all 0x80 and
// the pattern's byte at the loot-percentage site.
StandIn& prepare(StandIn& game) {
  game.package.overwrite(stock::trailOffset(Build::B), stock::trail());
  game.package.overwrite(stock::glintOffset(Build::B), stock::glint());
  for (const std::uint64_t site : frobSites) game.exe.overwrite(site, Bytes{0x80});
  return game;
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
  std::string backup{msg::backupNone};

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
           state(msg::statusBackup, backup);
  }
};

struct StatusCase {
  const char* name;
  char key;  // the menu action run first, if any
  std::function<void(StandIn&)> byHand;
  std::function<void(Status&)> expect;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

// An effect's line changed to `state`; with `saved`, its block's stock file
// is accepted too.
std::function<void(Status&)> set(std::string Status::*effect, std::string state,
                                 bool saved = false) {
  return [=](Status& s) {
    s.*effect = state;
    if (saved) (effect == &Status::trails ? s.trailFile : s.glintFile) = msg::stockAccepted;
  };
}

class ToolStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ToolStatus, NamesWhatEachEffectIsAndWritesNothing) {
  const StatusCase& c = GetParam();
  StandIn game(Build::B);
  prepare(game);
  if (c.key != 0) runActionAndQuit(game.program(), game.systemDir(), c.key);
  if (c.byHand) c.byHand(game);
  Status expected;
  c.expect(expected);

  const auto before = tree(game.root());
  const ToolRun run = runTool(game, {});
  EXPECT_EQ(run.status, ExitStatus::exited(expected.only.empty() ? 0 : 1));
  EXPECT_EQ(run.output, expected.text());
  EXPECT_EQ(tree(game.root()), before) << "status wrote";
}

const std::string glintFile = "glint_stock.bin";

INSTANTIATE_TEST_SUITE_P(
    Tool, ToolStatus,
    ::testing::Values(
        StatusCase{"AsPrepared", 0, {}, [](Status&) {}},
        StatusCase{"Action1",
                   '1',
                   {},
                   [](Status& s) {
                     s.frob = after(msg::stateFrobOn, 1);
                     s.shaders = msg::fillIn(msg::shadersColour, {"0.1", "0.1", "0.1"});
                   }},
        StatusCase{"Action2", '2', {}, set(&Status::frob, after(msg::stateStock, 2))},
        StatusCase{"Action3", '3', {}, set(&Status::loot, after(msg::stateLootHidden, 3))},
        StatusCase{"Action4", '4', {}, set(&Status::loot, after(msg::stateLootShown, 4))},
        // The first overwrite of a block saves it as the stock file.
        StatusCase{"Action5", '5', {}, set(&Status::trails, after(msg::stateOff, 5), true)},
        StatusCase{"Action6", '6', {}, set(&Status::trails, after(msg::stateSubtle, 6), true)},
        StatusCase{"Action7", '7', {}, set(&Status::trails, after(msg::stateStock, 7), true)},
        StatusCase{"Action8", '8', {}, set(&Status::glint, after(msg::stateOff, 8), true)},
        StatusCase{"Action9", '9', {}, set(&Status::glint, after(msg::stateStock, 9), true)},
        StatusCase{"OneFrobSiteByHand", '2',
                   [](StandIn& g) { g.exe.overwrite(frobSites[1], Bytes{'Z'}); },
                   [](Status& s) { s.frob = msg::stateMixed; }},
        // The trail block equals its stock file; the glint block is stock by its
        // lead but not the stock file's; shaders of someone else's.
        StatusCase{"StockFilesAndForeignShaders", 0,
                   [](StandIn& g) {
                     g.writeStock("trail_stock.bin", stock::trail());
                     g.writeStock(glintFile, stock::block(stock::glintLead, stock::glintSize, 7));
                     fs::create_directory(g.systemDir() / "Shaders");
                     for (const char* name : {"RovizeraDiff", "RovizeraNormal", "Rovizera"}) {
                       std::ofstream(g.systemDir() / "Shaders" / (name + std::string(".pso")))
                           << std::string(84, 'x');
                     }
                   },
                   [](Status& s) {
                     s.trails = after(msg::stateStock, 7);
                     s.glint =
                         msg::fillIn(msg::stateDiffersFromStock, {"payload\\glint_stock.bin"});
                     s.trailFile = s.glintFile = msg::stockAccepted;
                     s.shaders = msg::shadersForeign;
                   }},
        StatusCase{"RefusedStockFile", 0, [](StandIn& g) { g.writeStock(glintFile, Bytes(10, 1)); },
                   [](Status& s) {
                     s.glintFile = msg::fillIn(msg::stockRefused,
                                               {msg::fillIn(msg::stockWrongSize, {"10", "2752"})});
                   }},
        StatusCase{"NoPackage", 0, [](StandIn& g) { g.package.remove(); },
                   [](Status& s) {
                     s.package = msg::packageInaccessible;
                     s.trails = s.glint = msg::stateNotChecked;
                   }},
        StatusCase{"NoGame", 0, [](StandIn& g) { g.exe.remove(); },
                   [](Status& s) { s.only = msg::exeMissing; }}),
    [](const auto& test) { return std::string(test.param.name); });

// A backup of a patched installation: whole, checked by sha256sum, refused a
// second time, then reported by status as it is and once damaged.
TEST(ToolBackup, IsWholeCheckedAndReported) {
  StandIn game(Build::B);
  prepare(game);
  runActionAndQuit(game.program(), game.systemDir(), '3');
  const ToolRun made = runTool(game, {"backup"});
  EXPECT_EQ(made.status, ExitStatus::exited(0));

  const fs::path folder = game.systemDir() / "vn3patch-backup";
  EXPECT_EQ(contentOf(folder / "VN3Main.exe"), contentOf(game.exe.path()));
  EXPECT_EQ(contentOf(folder / "Core_FXBANK.ibt"), contentOf(game.package.path()));
  const std::string check = "cd '" + folder.string() + "' && sha256sum --quiet -c SHA256SUMS";
  EXPECT_EQ(std::system(check.c_str()), 0);
  // The sums, which sha256sum has just checked, as the lines name them.
  std::ifstream sums(folder / "SHA256SUMS");
  std::string exeSum, packageSum, name;
  sums >> exeSum >> name >> packageSum >> name;
  const std::string copiesNotStock =
      line(msg::backupNotStock) +
      line(std::string(msg::listIndent) + msg::fillIn(msg::statusFrob, {msg::stateUnknown})) +
      line(std::string(msg::listIndent) +
           msg::fillIn(msg::statusLootPct, {after(msg::stateLootHidden, 3)}));
  EXPECT_EQ(made.output,
            line(msg::fillIn(msg::backupCopied,
                             {"VN3Main.exe", "vn3patch-backup\\VN3Main.exe", "6455296", exeSum})) +
                line(msg::fillIn(msg::backupCopied,
                                 {"..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt",
                                  "vn3patch-backup\\Core_FXBANK.ibt", "8546304", packageSum})) +
                line(msg::backupComplete) + copiesNotStock +
                line(msg::fillIn(msg::extractWrote,
                                 {"payload\\trail_stock.bin", "464", msg::extractTrailWhat})) +
                line(msg::fillIn(msg::extractWrote,
                                 {"payload\\glint_stock.bin", "2752", msg::extractGlintWhat})));

  const auto before = tree(game.root());
  const ToolRun again = runTool(game, {"backup"});
  EXPECT_EQ(again.status, ExitStatus::exited(1));
  EXPECT_EQ(again.output, line(msg::backupExists));
  EXPECT_EQ(tree(game.root()), before);

  Status status;
  status.loot = after(msg::stateLootHidden, 3);
  status.trailFile = status.glintFile = msg::stockAccepted;
  status.trails = after(msg::stateStock, 7);
  status.glint = after(msg::stateStock, 9);
  status.backup = msg::backupMatches;
  EXPECT_EQ(runTool(game, {"status"}).output, status.text() + copiesNotStock);

  std::fstream copy(folder / "Core_FXBANK.ibt", std::ios::in | std::ios::out | std::ios::binary);
  copy.seekp(0x1234);
  copy.put('!');
  copy.close();
  status.backup = msg::fillIn(msg::backupDamaged, {"vn3patch-backup\\Core_FXBANK.ibt"});
  EXPECT_EQ(runTool(game, {"status"}).output, status.text());
}

struct BackupFailure {
  const char* name;
  bool readOnly;  // a System folder that takes no new entry, run as another user
  std::optional<std::uint64_t> fileSizeLimit;
};

void PrintTo(const BackupFailure& c, std::ostream* os) { *os << c.name; }

class ToolBackupFails : public ::testing::TestWithParam<BackupFailure> {};

// Whatever write fails, it is reported and nothing of the backup is left.
TEST_P(ToolBackupFails, LeavesNoFolderBehind) {
  StandIn game(Build::B);
  game.openToOthers();
  Launch launch;
  launch.unprivileged = GetParam().readOnly;
  launch.fileSizeLimit = GetParam().fileSizeLimit;
  if (launch.unprivileged) {
    fs::permissions(game.systemDir(), fs::perms::owner_write, fs::perm_options::remove);
  }
  const auto before = tree(game.systemDir());
  const ToolRun run = runTool(game, {"backup"}, launch);
  EXPECT_EQ(run.status, ExitStatus::exited(1));
  EXPECT_TRUE(run.output.starts_with("Error: failed to write 'vn3patch-backup")) << run.output;
  EXPECT_EQ(tree(game.systemDir()), before);
}

INSTANTIATE_TEST_SUITE_P(Tool, ToolBackupFails,
                         ::testing::Values(BackupFailure{"ReadOnlySystemFolder", true, {}},
                                           BackupFailure{"FileSizeLimit", false, 1 << 20}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace e2e
