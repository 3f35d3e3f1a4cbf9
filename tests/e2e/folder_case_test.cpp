// An installation copied from a case-insensitive file system keeps whatever
// case its folders had. The program finds its files whatever their case,
// uses an existing folder rather than making a second one beside it, and
// still names the paths in its messages the game's way.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
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

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

struct Layout {
  const char* name;
  const char* exeName;      // in System
  const char* packagePath;  // below the installation's root
  const char* payloadName;  // the stock files' folder in System
  Build packageBuild;       // the executable is BuildA
  std::vector<const char*> keys;
  std::function<void(StandIn&)> expectWrites;
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.name; }

class OtherCase : public ::testing::TestWithParam<Layout> {};

TEST_P(OtherCase, FilesAreFoundAndPatchedInPlace) {
  const Layout& l = GetParam();
  StandIn game(Build::A, l.packageBuild);
  game.exe.moveTo(game.systemDir() / l.exeName);
  game.package.moveTo(game.root() / l.packagePath);
  fs::remove_all(game.root() / "CONTENT");
  game.copyProgram();
  game.writeStock("trail_stock.bin", stock::trail());
  game.writeStock("glint_stock.bin", stock::glint());
  fs::rename(game.payloadDir(), game.systemDir() / l.payloadName);
  l.expectWrites(game);

  PtySession session(game.program(), game.systemDir());
  for (const char* key : l.keys) ASSERT_TRUE(session.sendKey(key));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  const bool packageUsable = l.packageBuild == Build::A;
  std::string expected =
      text::startup(packageUsable ? "" : msg::packageWrongVersion) + text::menu(packageUsable);
  for (std::size_t i = 0; i < l.keys.size(); ++i) {
    expected += text::success() + text::menu(packageUsable);
  }
  EXPECT_EQ(session.transcript(), expected);
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
  // Written where they were found: nothing made in the game's own case.
  const std::string topFolder = fs::path(l.packagePath).begin()->string();
  EXPECT_EQ(namesIn(game.root()), (std::set<std::string>{topFolder, "System", "bin"}));
  EXPECT_EQ(namesIn(game.systemDir()), (std::set<std::string>{l.exeName, l.payloadName}));
}

INSTANTIATE_TEST_SUITE_P(
    FolderCase, OtherCase,
    ::testing::Values(Layout{"MixedCaseFolders",
                             "VN3Main.exe",
                             "Content/vn3/maps/core_fxbank.ibt",
                             "PayLoad",
                             Build::A,
                             {"5", "6", "7", "8", "9"},
                             [](StandIn& g) {
                               g.package.expectWrite(stock::trailOffset(Build::A), stock::trail());
                               g.package.expectWrite(stock::glintOffset(Build::A), stock::glint());
                             }},
                      // Found, so it is the wrong version rather than missing, and named
                      // as the game names it.
                      Layout{"LowerCaseExecutableUpperCasePackage",
                             "vn3main.exe",
                             "content/VN3/MAPS/CORE_FXBANK.IBT",
                             "payload",
                             Build::B,
                             {"3"},
                             [](StandIn& g) { g.exe.expectWrite(0x57CEE1, Bytes{0x00}); }}),
    [](const auto& test) { return std::string(test.param.name); });

// An existing "shaders" folder and a shader file in it, both in lower case,
// are written to; no "Shaders" or "RovizeraDiff.pso" appears beside them.
TEST(FolderCase, ExistingShaderFolderAndFileAreUsed) {
  StandIn game(Build::B);
  const fs::path shaders = game.systemDir() / "shaders";
  fs::create_directory(shaders);
  std::ofstream(shaders / "rovizeradiff.pso", std::ios::binary) << "an older shader";
  for (const std::uint64_t offset : {0x54A33Cu, 0x54A34Cu, 0x54A35Cu}) {
    game.exe.expectWrite(offset, Bytes{'Z'});
  }

  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey("n"));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true) + text::frobNotice() +
                                      text::success() + text::menu(true));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_EQ(namesIn(game.systemDir()), (std::set<std::string>{"VN3Main.exe", "shaders"}));
  EXPECT_EQ(namesIn(shaders),
            (std::set<std::string>{"rovizeradiff.pso", "RovizeraNormal.pso", "Rovizera.pso"}));
  for (const char* name : {"rovizeradiff.pso", "RovizeraNormal.pso", "Rovizera.pso"}) {
    EXPECT_EQ(fs::file_size(shaders / name), 84u) << name;
  }
}

}  // namespace
}  // namespace e2e
