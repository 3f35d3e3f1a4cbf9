#pragma once
// vn3patch-extract: makes the stock data files from the player's own
// unmodified package, so that the restore actions can put the original bytes
// back.
#include <filesystem>

namespace vn3 {

// Reads both stock blocks from `package` and writes each one that holds the
// stock bytes into the payload folder of the working directory, creating
// it; prints what it did. Returns the exit status: 0 when both files were
// written, 1 otherwise. Never writes to the package.
int extractStockData(const std::filesystem::path& package);

}  // namespace vn3
