#pragma once
// Makes the stock data files from the player's own unmodified package, so
// that the restore actions can put the original bytes back.
#include <cstdint>
#include <filesystem>
#include <optional>

#include "common/game_build.hpp"

namespace vn3 {

// The build whose package has exactly `size` bytes.
std::optional<GameBuild> buildOfPackageSize(std::uint64_t size);

// Reads both stock blocks from `package` and writes each one that holds the
// stock bytes into `payloadDir`, creating it; prints what it did. Returns the
// exit status: 0 when both files were written, 1 otherwise. Never writes to
// the package.
int extractStockData(const std::filesystem::path& package, const std::filesystem::path& payloadDir);

}  // namespace vn3
