#pragma once
// vn3patch-tool extract: makes the stock data files from the player's own
// unmodified package, so that the restore actions can put the original bytes
// back.
#include <array>
#include <filesystem>
#include <string_view>

#include "patch/patch_sites.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

// The package's two stock blocks: where each lies, its file, and what it is
// in messages.
struct PackageStockBlock {
  const SiteList& list;
  const StockFile& file;
  std::string_view what;
};
extern const std::array<PackageStockBlock, 2> packageStockBlocks;

// Reads both stock blocks from `package` and writes each one that holds the
// stock bytes into the payload folder of the working directory, creating
// it; prints what it did. Returns the exit status: 0 when both files were
// written, 1 otherwise. Never writes to the package.
int extractStockData(const std::filesystem::path& package);

}  // namespace vn3
