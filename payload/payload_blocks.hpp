#pragma once
// The byte blocks written into the graphics package. The two replacement
// images are built into the program; the two stock blocks are copies of the
// player's own unmodified package, read at start from files beside the
// program, because they are the game's data and cannot ship with it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <span>
#include <vector>

namespace vn3 {

inline constexpr std::size_t trailBlockSize = 0x1D0;  // 464
inline constexpr std::size_t glintBlockSize = 0xAC0;  // 2752

extern const std::array<std::uint8_t, trailBlockSize> trailOffBlock;
extern const std::array<std::uint8_t, trailBlockSize> trailSubtleBlock;

// The bytes every stock block begins with; a file that does not is refused.
inline constexpr std::array<std::uint8_t, 16> trailStockLead = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x21, 0xF0, 0x31, 0x43, 0x08, 0x55, 0xD5, 0xB5, 0x2D};
inline constexpr std::array<std::uint8_t, 16> glintStockLead = {
    0x01, 0x00, 0x00, 0x00, 0x55, 0x55, 0x55, 0x55, 0x01, 0x00, 0x00, 0x00, 0x55, 0x55, 0x55, 0x55};

// A stock file: its name in the payload folder, and the exact size and
// leading bytes a block must have to be accepted as stock.
struct StockFile {
  const char* name;
  std::size_t size;
  std::span<const std::uint8_t, 16> lead;
};

inline constexpr StockFile trailStockFile{"trail_stock.bin", trailBlockSize, trailStockLead};
inline constexpr StockFile glintStockFile{"glint_stock.bin", glintBlockSize, glintStockLead};

// A stock block as found at start: where it was looked for and, if the file
// there was acceptable, its bytes.
struct StockBlock {
  const StockFile& file;
  std::filesystem::path path;
  std::optional<std::vector<std::uint8_t>> bytes;
  bool looked = false;  // read from the package once this run
};

struct StockBlocks {
  StockBlock trail;
  StockBlock glint;
};

bool isAcceptableStock(std::span<const std::uint8_t> bytes, const StockFile& file);

// Reads `length` bytes at `offset`; nothing if they cannot all be read. The
// stream is left cleared for the next read either way.
std::optional<std::vector<std::uint8_t>> readBlockAt(std::istream& in, std::uint64_t offset,
                                                     std::size_t length);

// Reads one block of `file` from `path`; nothing if it is missing, not a
// regular file, unreadable or not acceptable.
std::optional<std::vector<std::uint8_t>> readStockBlock(const std::filesystem::path& path,
                                                        const StockFile& file);

StockBlocks loadStockBlocks(const std::filesystem::path& payloadDir);

// Writes `bytes` to `path` through a temporary file and a rename, so that a
// file of that name is either the whole block or what was there before.
bool saveStockFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace vn3
