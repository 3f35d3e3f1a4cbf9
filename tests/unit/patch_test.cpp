#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/game_build.hpp"
#include "patch/apply_patch.hpp"
#include "patch/patch_sites.hpp"
#include "payload/payload_blocks.hpp"
#include "test_support.hpp"

namespace vn3 {
namespace {

using test::TempDir;

// The site table as the game's two builds need it, typed out independently
// of the code.
struct ExpectedList {
  const SiteList* list;
  const PatchTarget* target;
  std::vector<std::uint32_t> offsetsA;
  std::vector<std::uint32_t> offsetsB;
  std::size_t length;
  std::uint8_t firstByte;  // of what is written; zeros and stock come later
};

const std::vector<ExpectedList>& expectedTable() {
  static const std::vector<ExpectedList> table = {
      {&frobOn,
       &exeTarget,
       {0x546344, 0x546354, 0x546364},
       {0x54A33C, 0x54A34C, 0x54A35C},
       1,
       0x5A},
      {&frobOff,
       &exeTarget,
       {0x546344, 0x546354, 0x546364},
       {0x54A33C, 0x54A34C, 0x54A35C},
       1,
       0x4D},
      {&lootPctOff, &exeTarget, {0x57CEE1}, {0x5814B9}, 1, 0x00},
      {&lootPctOn, &exeTarget, {0x57CEE1}, {0x5814B9}, 1, 0x20},
      {&trailOff, &packageTarget, {0x11B040}, {0x11B840}, 464, 0x00},
      {&trailSubtle, &packageTarget, {0x11B040}, {0x11B840}, 464, 0x00},
      {&trailStock, &packageTarget, {0x11B040}, {0x11B840}, 464, 0x00},
      {&glintOff, &packageTarget, {0x2C5040}, {0x31D840}, 2752, 0x00},
      {&glintStock, &packageTarget, {0x2C5040}, {0x31D840}, 2752, 0x01},
  };
  return table;
}

std::vector<std::uint32_t> offsetsOf(const std::vector<PatchSite>& sites) {
  std::vector<std::uint32_t> offsets;
  for (const auto& site : sites) offsets.push_back(site.offset);
  return offsets;
}

TEST(SiteTable, MatchesTheGameBuilds) {
  ASSERT_EQ(siteLists.size(), expectedTable().size());
  for (std::size_t i = 0; i < siteLists.size(); ++i) {
    const ExpectedList& want = expectedTable()[i];
    SCOPED_TRACE("menu key " + std::to_string(i + 1));
    EXPECT_EQ(siteLists[i], want.list);
    EXPECT_EQ(want.list->menuKey, static_cast<int>(i + 1));
    EXPECT_EQ(&want.list->effect.target, want.target);
    EXPECT_EQ(offsetsOf(sitesFor(*want.list, GameBuild::BuildA)), want.offsetsA);
    EXPECT_EQ(offsetsOf(sitesFor(*want.list, GameBuild::BuildB)), want.offsetsB);
  }
}

TEST(SiteTable, EverySiteLiesInsideTheAcceptedFileSize) {
  for (std::size_t i = 0; i < expectedTable().size(); ++i) {
    const ExpectedList& want = expectedTable()[i];
    SCOPED_TRACE("menu key " + std::to_string(i + 1));
    for (GameBuild build : {GameBuild::BuildA, GameBuild::BuildB}) {
      const std::uint64_t exeSize = build == GameBuild::BuildA ? buildAExeSize : buildBExeSize;
      const std::uint64_t size =
          &want.list->effect.target == &exeTarget ? exeSize : packageSizeOf(build);
      for (const PatchSite& site : sitesFor(*want.list, build)) {
        EXPECT_LE(site.offset + want.length, size);
      }
    }
  }
}

TEST(SiteTable, BuiltInBytesHaveTheListsLengthAndFirstByte) {
  for (std::size_t i = 0; i < expectedTable().size(); ++i) {
    const ExpectedList& want = expectedTable()[i];
    SCOPED_TRACE("menu key " + std::to_string(i + 1));
    EXPECT_EQ(want.list->effect.length, want.length);
    if (want.list->bytes.empty()) continue;  // a restore
    ASSERT_EQ(want.list->bytes.size(), want.length);
    EXPECT_EQ(want.list->bytes[0], want.firstByte);
  }
  EXPECT_TRUE(std::ranges::all_of(glintOff.bytes, [](std::uint8_t b) { return b == 0; }));
  EXPECT_TRUE(trailStock.bytes.empty() && glintStock.bytes.empty());
  EXPECT_EQ(trailStock.effect.stock, &trailStockFile);
  EXPECT_EQ(glintStock.effect.stock, &glintStockFile);
}

// The replacement images are one 16-byte unit repeated 29 times.
TEST(PayloadBlocks, ReplacementImagesRepeatTheirUnit) {
  const std::vector<std::uint8_t> offUnit = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                             0x01, 0x00, 0x00, 0x00, 0x55, 0x55, 0x55, 0x55};
  const std::vector<std::uint8_t> subtleUnit = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                0x8A, 0x52, 0x82, 0x10, 0x55, 0xD5, 0xB5, 0x2D};
  for (std::size_t i = 0; i < trailBlockSize; ++i) {
    ASSERT_EQ(trailOffBlock[i], offUnit[i % 16]) << "trailOffBlock byte " << i;
    ASSERT_EQ(trailSubtleBlock[i], subtleUnit[i % 16]) << "trailSubtleBlock byte " << i;
  }
}

class ApplyPatchTest : public ::testing::Test {
 protected:
  // A target whose messages name it, so each outcome can be told apart.
  PatchTarget targetAt(const std::filesystem::path& path) {
    path_ = path.string();
    return PatchTarget{path_, "open failed", "locate failed", "write failed"};
  }

  TempDir dir_;
  std::string path_;
};

TEST_F(ApplyPatchTest, WritesOnlyTheSiteBytes) {
  const auto original = test::patternBytes(4096);
  test::writeFile(dir_ / "file", original);
  const std::uint8_t z[] = {'Z'};
  const std::uint8_t block[] = {1, 2, 3, 4, 5};
  const PatchSite sites[] = {{0, z}, {100, block}, {4091, block}};

  EXPECT_EQ(applyPatch(targetAt(dir_ / "file"), sites), Outcome{});
  auto expected = original;
  expected[0] = 'Z';
  std::copy(std::begin(block), std::end(block), expected.begin() + 100);
  std::copy(std::begin(block), std::end(block), expected.begin() + 4091);
  EXPECT_EQ(test::readFile(dir_ / "file"), expected);
}

TEST_F(ApplyPatchTest, MissingFileIsReportedAndNeverCreated) {
  const std::uint8_t z[] = {'Z'};
  const PatchSite sites[] = {{0, z}};
  EXPECT_EQ(applyPatch(targetAt(dir_ / "absent"), sites).failure, "open failed");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "absent"));
}

TEST_F(ApplyPatchTest, FolderCannotBeOpened) {
  std::filesystem::create_directory(dir_ / "folder");
  const std::uint8_t z[] = {'Z'};
  const PatchSite sites[] = {{0, z}};
  EXPECT_EQ(applyPatch(targetAt(dir_ / "folder"), sites).failure, "open failed");
}

}  // namespace
}  // namespace vn3
