#include <gtest/gtest.h>

#include "app/tool/tool.hpp"
#include "common/game_build.hpp"
#include "payload/payload_blocks.hpp"
#include "test_support.hpp"

namespace vn3 {
namespace {

struct BuildLayout {
  GameBuild build;
  std::uint64_t packageSize;
  std::uint32_t trailAt;
  std::uint32_t glintAt;
};

const BuildLayout layouts[] = {
    {GameBuild::BuildA, 0x7CE000, 0x11B040, 0x2C5040},
    {GameBuild::BuildB, 0x826800, 0x11B840, 0x31D840},
};

std::vector<std::uint8_t> block(std::size_t size, std::span<const std::uint8_t, 16> lead,
                                std::uint32_t seed) {
  auto bytes = test::patternBytes(size, seed);
  std::copy(lead.begin(), lead.end(), bytes.begin());
  return bytes;
}

class StockExtractTest : public ::testing::Test {
 protected:
  // An installation of the layout's build whose package holds `trail` and
  // `glint` at their offsets.
  void makePackage(const BuildLayout& layout, const std::vector<std::uint8_t>& trail,
                   const std::vector<std::uint8_t>& glint) {
    auto bytes = test::patternBytes(layout.packageSize, 3);
    std::copy(trail.begin(), trail.end(), bytes.begin() + layout.trailAt);
    std::copy(glint.begin(), glint.end(), bytes.begin() + layout.glintAt);
    std::filesystem::create_directories(package().parent_path());
    test::writeFile(package(), bytes);
    test::writeFile(dir_ / "System" / "VN3Main.exe", {});
    std::filesystem::resize_file(dir_ / "System" / "VN3Main.exe",
                                 layout.build == GameBuild::BuildA ? buildAExeSize : buildBExeSize);
  }
  std::filesystem::path package() const { return dir_ / "CONTENT/VN3/Maps/Core_FXBANK.ibt"; }
  std::filesystem::path payload() const { return dir_ / "System" / "payload"; }
  std::size_t payloadEntries() const {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(payload())) ++n;
    return n;
  }

  test::TempDir dir_;
  // The extractor writes into the working directory's payload folder.
  bool made_ = std::filesystem::create_directory(dir_ / "System");
  test::WorkIn here_{dir_ / "System"};
};

TEST_F(StockExtractTest, StockPackageOfEitherBuildGivesBothFiles) {
  for (const BuildLayout& layout : layouts) {
    SCOPED_TRACE(layout.build == GameBuild::BuildA ? "BuildA" : "BuildB");
    const auto trail = block(trailBlockSize, trailStockLead, 11);
    const auto glint = block(glintBlockSize, glintStockLead, 12);
    makePackage(layout, trail, glint);
    std::filesystem::remove_all(payload());
    const auto before = test::readFile(package());

    test::CaptureStdout out;
    EXPECT_EQ(extractStockData(std::nullopt), 0);
    EXPECT_EQ(test::readFile(payload() / "trail_stock.bin"), trail);
    EXPECT_EQ(test::readFile(payload() / "glint_stock.bin"), glint);
    EXPECT_EQ(payloadEntries(), 2u) << "no temporary file may be left";
    EXPECT_EQ(test::readFile(package()), before);
    // Named as the player finds it from the System folder, on every system.
    EXPECT_NE(out.text().find("Wrote 'payload\\trail_stock.bin' (464 bytes"), std::string::npos);
    // The files pass the same check the patcher makes at start.
    EXPECT_TRUE(checkStockFile(payload() / "glint_stock.bin", glintStockFile).bytes);
  }
}

TEST_F(StockExtractTest, PatchedBlockIsRefusedAndTheOtherStillWritten) {
  const auto trail = block(trailBlockSize, trailStockLead, 21);
  makePackage(layouts[0], trail, std::vector<std::uint8_t>(glintBlockSize, 0));
  test::CaptureStdout out;
  EXPECT_EQ(extractStockData(std::nullopt), 1);
  EXPECT_EQ(test::readFile(payload() / "trail_stock.bin"), trail);
  EXPECT_FALSE(std::filesystem::exists(payload() / "glint_stock.bin"));
  EXPECT_NE(out.text().find("backup of the package made before any patching"), std::string::npos);
}

TEST_F(StockExtractTest, ExistingFileIsReplacedWhole) {
  std::filesystem::create_directory(payload());
  test::writeFile(payload() / "trail_stock.bin", std::vector<std::uint8_t>(9000, 0xAA));
  const auto trail = block(trailBlockSize, trailStockLead, 31);
  const auto glint = block(glintBlockSize, glintStockLead, 32);
  makePackage(layouts[1], trail, glint);
  test::CaptureStdout out;
  EXPECT_EQ(extractStockData(std::nullopt), 0);
  EXPECT_EQ(test::readFile(payload() / "trail_stock.bin"), trail);
}

TEST_F(StockExtractTest, UnusablePackageWritesNothing) {
  struct Case {
    const char* what;
    std::uint64_t size;  // 0: no package at all
    const char* says;
  };
  const Case cases[] = {
      {"missing", 0, "Error: cannot read the package"},
      {"one byte short", 0x7CE000 - 1, "neither supported build"},
      {"exe size", 0x628000, "neither supported build"},
  };
  makePackage(layouts[0], {}, {});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir_ / "other.ibt");
    if (c.size) test::writeFile(dir_ / "other.ibt", std::vector<std::uint8_t>(c.size, 0));
    test::CaptureStdout out;
    EXPECT_EQ(extractStockData("../other.ibt"), 1);
    EXPECT_NE(out.text().find(c.says), std::string::npos) << out.text();
    EXPECT_FALSE(std::filesystem::exists(payload()));
  }
}

}  // namespace
}  // namespace vn3
