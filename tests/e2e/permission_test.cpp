// Game files and folders the player's account may not write. Root opens
// read-only files regardless, so when the tests run as root the program is
// started as uid and gid 65534; as any other user it runs as that user and
// the permissions alone do it.

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "pty_session.hpp"
#include "standin.hpp"
#include "transcripts.hpp"

namespace e2e {
namespace {

namespace msg = vn3::msg;
namespace fs = std::filesystem;

constexpr auto readOnlyFile =
    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr auto readOnlyFolder =
    readOnlyFile | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
constexpr auto openFolder = fs::perms::all;

// Everything below the System folder except the (large) executable, which
// GameFile checks: names, kinds and the content of small files.
std::map<std::string, std::string> snapshot(const StandIn& game) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(game.systemDir())) {
    const std::string name = fs::relative(entry.path(), game.systemDir()).string();
    if (name == "VN3Main.exe") continue;
    if (entry.is_directory()) {
      entries[name] = "<folder>";
    } else {
      std::ifstream in(entry.path(), std::ios::binary);
      entries[name] = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
  }
  return entries;
}

struct Denied {
  const char* name;
  Build build;
  std::function<void(StandIn&)> deny;
  char key;
  std::string_view error;
};

void PrintTo(const Denied& c, std::ostream* os) { *os << c.name; }

class NotWritable : public ::testing::TestWithParam<Denied> {};

// The open or the folder creation fails, the action says so once, and
// nothing in the installation changes.
TEST_P(NotWritable, ReportsItAndChangesNothing) {
  const Denied& c = GetParam();
  StandIn game(c.build);
  if (const std::string why = game.openToOthers(); !why.empty()) GTEST_SKIP() << why;
  c.deny(game);
  const auto before = snapshot(game);

  Launch launch;
  launch.unprivileged = true;
  EXPECT_EQ(runActionAndQuit(game.program(), game.systemDir(), c.key, launch),
            text::oneAction(c.key, text::error(c.error)));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
  EXPECT_EQ(snapshot(game), before);
}

void makeShaders(StandIn& game, fs::perms folder, bool readOnlyFirstFile) {
  const fs::path shaders = game.systemDir() / "Shaders";
  fs::create_directory(shaders);
  if (readOnlyFirstFile) {
    std::ofstream(shaders / "RovizeraDiff.pso", std::ios::binary) << "an older shader";
    fs::permissions(shaders / "RovizeraDiff.pso", readOnlyFile);
  }
  fs::permissions(shaders, folder);
}

INSTANTIATE_TEST_SUITE_P(
    Permissions, NotWritable,
    ::testing::Values(Denied{"ReadOnlyExecutable", Build::A,
                             [](StandIn& g) { fs::permissions(g.exe.path(), readOnlyFile); }, '3',
                             msg::exeOpenFailed},
                      Denied{"ReadOnlyPackage", Build::B,
                             [](StandIn& g) { fs::permissions(g.package.path(), readOnlyFile); },
                             '5', msg::packageOpenFailed},
                      // No "Shaders" yet, and the working folder does not take a new one.
                      Denied{"WorkingFolderNotWritable", Build::A,
                             [](StandIn& g) { fs::permissions(g.systemDir(), readOnlyFolder); },
                             '1', msg::shaderFolderFailed},
                      // The folder takes new files, but the first shader is read-only.
                      Denied{"ReadOnlyShaderFile", Build::B,
                             [](StandIn& g) { makeShaders(g, openFolder, true); }, '1',
                             msg::shaderSaveFailed},
                      Denied{"ShadersFolderNotWritable", Build::A,
                             [](StandIn& g) { makeShaders(g, readOnlyFolder, false); }, '1',
                             msg::shaderSaveFailed}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace e2e
