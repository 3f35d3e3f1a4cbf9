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
    const auto read = checkStockFile(dir / c.name, trailStockFile).bytes;
    ASSERT_EQ(read.has_value(), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(*read, *c.content);
    }
  }
}

}  // namespace
}  // namespace vn3
