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

// Before an overwrite: the file wins when accepted; otherwise a stock block
// in the package is kept and saved, and an unsaved one stops the overwrite.
TEST(StockBlock, KeepsTheFileOrSavesThePackagesStockBlockFirst) {
  const auto inFile = stockLike(trailBlockSize, trailStockLead);
  auto inPackage = inFile;
  inPackage.back() ^= 0xFF;
  const std::vector<std::uint8_t> patched(trailBlockSize, 0);
  struct Case {
    const char* name;
    const std::vector<std::uint8_t>* file;  // in payload/ at start; nothing: none
    const std::vector<std::uint8_t>& package;
    bool payloadIsAFile;
    bool ready;
    const std::vector<std::uint8_t>* kept;  // also the file afterwards; nothing: neither
  };
  const std::vector<std::uint8_t> refused(10, 0);
  const Case cases[] = {
      {"accepted file", &inFile, inPackage, false, true, &inFile},
      {"no file, stock package", nullptr, inPackage, false, true, &inPackage},
      {"refused file replaced", &refused, inPackage, false, true, &inPackage},
      {"no file, patched package", nullptr, patched, false, true, nullptr},
      {"payload cannot be made", nullptr, inPackage, true, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const test::WorkIn here(dir.path());
    if (c.payloadIsAFile) test::writeFile("payload", {});
    if (c.file) {
      std::filesystem::create_directory("payload");
      test::writeFile("payload/trail_stock.bin", *c.file);
    }
    std::string bytes(64, 'x');
    bytes.append(c.package.begin(), c.package.end());
    std::istringstream package(bytes);

    StockBlock block(trailStockFile);
    EXPECT_EQ(block.keepBeforeOverwrite(package, 64), c.ready);
    if (c.kept) {
      EXPECT_EQ(block.bytes(), *c.kept);
      EXPECT_EQ(test::readFile("payload/trail_stock.bin"), *c.kept);
    } else if (c.ready) {
      EXPECT_FALSE(block.bytes().has_value());
      EXPECT_FALSE(std::filesystem::exists("payload"));
    }
    if (std::filesystem::is_directory("payload")) {
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator("payload"), {}), 1)
          << "no temporary file may be left";
    }
  }
}

}  // namespace
}  // namespace vn3
