// Writes the file system refuses: a file-size limit below a patch site, set
// as `ulimit -f` sets it, makes the write fail as a full disk or a quota
// would. The action must say so, never "-- Patch Applied --", keep what
// reached the file before, and the program go on.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "pty_session.hpp"
#include "standin.hpp"
#include "stock_blocks.hpp"
#include "transcripts.hpp"

namespace e2e {
namespace {

namespace msg = vn3::msg;
namespace fs = std::filesystem;

const char* const shaderNames[] = {"RovizeraDiff", "RovizeraNormal", "Rovizera"};

Bytes readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What action 1 leaves in "Shaders".
enum class Shaders {
  Absent,      // the action never got that far, or was not action 1
  FirstShort,  // the first file cut short by the limit, the others never made
  AllWhole,    // all three written in full before the executable failed
};

::testing::AssertionResult shadersAre(const StandIn& game, Shaders expected) {
  const fs::path folder = game.systemDir() / "Shaders";
  if (expected == Shaders::Absent) {
    if (!fs::exists(folder)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << folder << " was created";
  }
  const Bytes first = readAll(folder / "RovizeraDiff.pso");
  if (expected == Shaders::FirstShort) {
    if (first.size() < 84 && !fs::exists(folder / "RovizeraNormal.pso") &&
        !fs::exists(folder / "Rovizera.pso")) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "RovizeraDiff.pso is " << first.size() << " bytes, or a later file was written";
  }
  for (const char* name : shaderNames) {
    const Bytes bytes = readAll(folder / (std::string(name) + ".pso"));
    if (bytes.size() != 84 || bytes != first) {
      return ::testing::AssertionFailure() << name << ".pso is not the whole 84-byte shader";
    }
  }
  return ::testing::AssertionSuccess();
}

struct WriteFailure {
  const char* name;
  Build build;
  char key;
  std::uint64_t limit;
  std::string_view error;
  std::function<void(StandIn&)> reached;  // what is written before the failure
  Shaders shaders;
};

void PrintTo(const WriteFailure& c, std::ostream* os) { *os << c.name; }

class WriteBeyondLimit : public ::testing::TestWithParam<WriteFailure> {};

TEST_P(WriteBeyondLimit, ReportsTheFailureAndKeepsWhatWasWritten) {
  const WriteFailure& c = GetParam();
  StandIn game(c.build);
  if (c.reached) c.reached(game);

  Launch launch;
  launch.fileSizeLimit = c.limit;
  EXPECT_EQ(runActionAndQuit(game.program(), game.systemDir(), c.key, launch),
            text::oneAction(c.key, text::error(c.error)));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
  EXPECT_TRUE(shadersAre(game, c.shaders));
}

INSTANTIATE_TEST_SUITE_P(
    Patch, WriteBeyondLimit,
    ::testing::Values(
        WriteFailure{"LootPercentageBeyondLimit", Build::A, '3', 0x100000, msg::exeWriteFailed,
                     nullptr, Shaders::Absent},
        // The limit lies between the first and second frob sites: the first
        // stays written, nothing after it is tried.
        WriteFailure{"FrobOffSecondSiteBeyondLimit", Build::B, '2', 0x54A340, msg::exeWriteFailed,
                     [](StandIn& g) { g.exe.expectWrite(0x54A33C, Bytes{'M'}); }, Shaders::Absent},
        WriteFailure{"TrailsOffBeyondLimit", Build::A, '5', 0x100000, msg::packageWriteFailed,
                     nullptr, Shaders::Absent},
        // The block straddles the limit: a short write, its first 1000 bytes
        // land, and the rest is refused.
        WriteFailure{"GlintOffCutShort", Build::B, '8', stock::glintOffset(Build::B) + 1000,
                     msg::packageWriteFailed,
                     [](StandIn& g) {
                       g.package.expectWrite(stock::glintOffset(Build::B), Bytes(1000, 0x00));
                     },
                     Shaders::Absent},
        // The shader image is 84 bytes; its first file fails, and the
        // executable is then never opened.
        WriteFailure{"ShaderFileBeyondLimit", Build::A, '1', 10, msg::shaderSaveFailed, nullptr,
                     Shaders::FirstShort},
        // The shaders fit; the executable's frob sites do not.
        WriteFailure{"FrobOnExecutableBeyondLimit", Build::B, '1', 0x1000, msg::exeWriteFailed,
                     nullptr, Shaders::AllWhole}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace e2e
