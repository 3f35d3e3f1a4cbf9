// vn3patch-tool extract as a player runs it: from the System folder of an
// unmodified installation, it copies the two stock blocks out of the package
// into payload/ there, and the patcher then restores the package byte for
// byte. It only ever reads the package.
#include <filesystem>
#include <fstream>
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

void plantStock(GameFile& package, Build build) {
  package.overwrite(stock::trailOffset(build), stock::trail());
  package.overwrite(stock::glintOffset(build), stock::glint());
}

struct Extraction {
  std::optional<ExitStatus> status;
  std::string output;
  std::string errors;
};

Extraction extract(const StandIn& game, const fs::path& workDir,
                   std::vector<std::string> arguments = {}) {
  Launch launch;
  launch.arguments = std::move(arguments);
  launch.arguments.insert(launch.arguments.begin(), "extract");
  PtySession run(game.tool(), workDir, Console::None, launch);
  Extraction result;
  result.status = run.waitExit();
  result.output = run.transcript();
  result.errors = run.errorOutput();
  return result;
}

// The regular files in `folder`, by name, with their content.
std::map<std::string, Bytes> filesIn(const fs::path& folder) {
  std::map<std::string, Bytes> files;
  if (!fs::is_directory(folder)) return files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in),
                                               std::istreambuf_iterator<char>()};
  }
  return files;
}

const std::map<std::string, Bytes> extractedFiles() {
  return {{"trail_stock.bin", stock::trail()}, {"glint_stock.bin", stock::glint()}};
}

std::string wroteBoth() {
  const auto wrote = [](const char* file, std::size_t size, std::string_view what) {
    return line(
        msg::fillIn(msg::extractWrote, {text::stockFile(file), std::to_string(size), what}));
  };
  return wrote("trail_stock.bin", stock::trailSize, msg::extractTrailWhat) +
         wrote("glint_stock.bin", stock::glintSize, msg::extractGlintWhat);
}

std::string refusedBoth(std::string_view package) {
  const auto refused = [package](std::string_view what) {
    return line(msg::fillIn(msg::extractNotStock, {what, package}));
  };
  return refused(msg::extractTrailWhat) + refused(msg::extractGlintWhat);
}

class ExtractThenRestore : public ::testing::TestWithParam<Build> {};

// Both effects turned off, then restored from the extracted files: the
// package ends as it began.
TEST_P(ExtractThenRestore, PackageEndsByteIdentical) {
  const Build build = GetParam();
  StandIn game(build);
  plantStock(game.package, build);
  const Extraction run = extract(game, game.systemDir());
  EXPECT_EQ(run.status, ExitStatus::exited(0));
  EXPECT_EQ(run.output, wroteBoth());
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(filesIn(game.payloadDir()), extractedFiles());
  ASSERT_TRUE(game.package.matches());

  PtySession session(game.program(), game.systemDir());
  for (const char* key : {"5", "7", "8", "9"}) ASSERT_TRUE(session.sendKey(key));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  const std::string again = text::success() + text::menu(true);
  EXPECT_EQ(session.transcript(),
            text::startup() + text::menu(true) + again + again + again + again);
  EXPECT_TRUE(game.package.matches());
  EXPECT_TRUE(game.exe.matches());
}

INSTANTIATE_TEST_SUITE_P(Extract, ExtractThenRestore, ::testing::Values(Build::A, Build::B),
                         [](const auto& test) { return std::string(buildName(test.param)); });

struct ExtractCase {
  const char* name;
  bool stockInPackage;  // the installed package still holds the stock blocks
  bool backupNamed;     // a backup copy holding them is named as the argument
  std::vector<std::string> moreArguments;
  int status;
  std::string output;
  std::map<std::string, Bytes> payload = {};  // before the run and after it
};

void PrintTo(const ExtractCase& c, std::ostream* os) { *os << c.name; }

class ExtractorRun : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractorRun, WritesOnlyWhatItReportsAndNeverThePackage) {
  const ExtractCase& c = GetParam();
  const Build build = Build::B;
  StandIn game(build);
  if (c.stockInPackage) plantStock(game.package, build);
  GameFile backup(game.systemDir() / "vn3patch-backup" / "Core_FXBANK.ibt", 0xBAC);
  std::vector<std::string> arguments;
  if (c.backupNamed) {
    fs::create_directories(backup.path().parent_path());
    fs::copy_file(game.exe.path(), backup.path().parent_path() / "VN3Main.exe");
    backup.create(packageSize(build));
    plantStock(backup, build);
    arguments.push_back("Core_FXBANK.ibt");
  }
  arguments.insert(arguments.end(), c.moreArguments.begin(), c.moreArguments.end());
  for (const auto& [name, bytes] : c.payload) game.writeStock(name, bytes);

  // Run in the backup folder, beside the copy of VN3Main.exe, when its package is named.
  const fs::path workDir = c.backupNamed ? backup.path().parent_path() : game.systemDir();
  const Extraction run = extract(game, workDir, arguments);
  EXPECT_EQ(run.status, ExitStatus::exited(c.status));
  EXPECT_EQ(run.output, c.output);
  EXPECT_EQ(filesIn(workDir / "payload"), c.payload);
  EXPECT_EQ(fs::exists(workDir / "payload"), !c.payload.empty()) << "a refusal leaves no folder";
  EXPECT_EQ(run.errors, "");
  EXPECT_TRUE(game.package.matches());
  EXPECT_TRUE(backup.matches());
  EXPECT_TRUE(game.exe.matches());
}

const std::string trail = "payload\\trail_stock.bin", glint = "payload\\glint_stock.bin";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Extract, ExtractorRun,
    ::testing::Values(
        // The stand-in's own bytes are no stock block, as after patching.
        ExtractCase{"PatchedPackageIsRefused", false, false, {}, 1,
                    refusedBoth("..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt")},
        ExtractCase{"BackupCopyNamed", false, true, {}, 1, line(msg::extractNeedsInstallation)},
        // Even with stock bytes at hand, nothing is extracted.
        ExtractCase{"TooManyArguments", true, true, {"extra"}, 2,
                    line(msg::toolUsage) + line(msg::toolCommands)},
        ExtractCase{"AcceptedFilesNeverReplaced", true, false, {}, 1,
                    line(msg::fillIn(msg::extractRefusedOther, {msg::extractTrailWhat, trail})) +
                        line(msg::fillIn(msg::extractKept, {glint, msg::extractGlintWhat})),
                    {{"trail_stock.bin", stock::block(stock::trailLead, stock::trailSize, 5)},
                     {"glint_stock.bin", stock::glint()}}}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

}  // namespace
}  // namespace e2e
