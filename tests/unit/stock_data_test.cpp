#include <gtest/gtest.h>

#include "payload/payload_blocks.hpp"
#include "test_support.hpp"

namespace vn3 {
namespace {

std::vector<std::uint8_t> stockLike(std::size_t size, std::span<const std::uint8_t, 16> lead) {
  auto bytes = test::patternBytes(size, 7);
  std::copy(lead.begin(), lead.end(), bytes.begin());
  return bytes;
}

TEST(StockData, OnlyAnExactCopyShapedFileIsAccepted) {
  test::TempDir dir;
  const auto good = stockLike(trailBlockSize, trailStockLead);
  auto badLead = good;
  badLead[15] ^= 0x01;
  auto longer = good;
  longer.push_back(0);
  const auto shorter = std::vector<std::uint8_t>(good.begin(), good.end() - 1);
  std::filesystem::create_directory(dir / "folder.bin");

  struct Case {
    const char* name;
    const std::vector<std::uint8_t>* content;  // nothing: no file written
    bool accepted;
  };
  const Case cases[] = {
      {"good.bin", &good, true},       {"bad-lead.bin", &badLead, false},
      {"longer.bin", &longer, false},  {"shorter.bin", &shorter, false},
      {"missing.bin", nullptr, false}, {"folder.bin", nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.content) test::writeFile(dir / c.name, *c.content);
    const auto read = readStockBlock(dir / c.name, trailStockFile);
    ASSERT_EQ(read.has_value(), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(*read, *c.content);
    }
  }
}

TEST(StockData, EachBlockIsLookedForUnderItsOwnName) {
  test::TempDir dir;
  const auto glint = stockLike(glintBlockSize, glintStockLead);
  test::writeFile(dir / "glint_stock.bin", glint);
  // A trail file with the glint's bytes is the wrong size and lead for a trail.
  test::writeFile(dir / "trail_stock.bin", glint);

  const StockBlocks stock = loadStockBlocks(dir.path());
  EXPECT_EQ(stock.trail.path, dir / "trail_stock.bin");
  EXPECT_FALSE(stock.trail.bytes.has_value());
  EXPECT_EQ(stock.glint.path, dir / "glint_stock.bin");
  ASSERT_TRUE(stock.glint.bytes.has_value());
  EXPECT_EQ(*stock.glint.bytes, glint);
}

}  // namespace
}  // namespace vn3
