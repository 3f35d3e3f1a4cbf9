#pragma once
// The byte blocks written into the graphics package. The two replacement
// images are built into the program; the two stock blocks are copies of the
// player's own unmodified package, kept in files in the game's folder,
// because they are the game's data and cannot ship with it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
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

// A stock file: where it lives, and the exact size and leading bytes a block
// must have to be accepted as stock.
struct StockFile {
  // Relative to the working directory (the game's System folder), with the
  // game's backslashes, as messages print it.
  std::string_view path;
  std::size_t size;
  std::span<const std::uint8_t, 16> lead;
};

inline constexpr std::string_view stockFolder = "payload";
inline constexpr StockFile trailStockFile{"payload\\trail_stock.bin", trailBlockSize,
                                          trailStockLead};
inline constexpr StockFile glintStockFile{"payload\\glint_stock.bin", glintBlockSize,
                                          glintStockLead};

// Reads `length` bytes at `offset`; nothing if they cannot all be read. The
// stream is left cleared for the next read either way.
std::optional<std::vector<std::uint8_t>> readBlockAt(std::istream& in, std::uint64_t offset,
                                                     std::size_t length);

// All `size` bytes of the file at `path`; nothing if they cannot be read, or
// if the file has grown past them since its size was taken.
std::optional<std::vector<std::uint8_t>> readFileOfSize(const std::filesystem::path& path,
                                                        std::size_t size);

// What a stock file on disk is: accepted, or why not. Unreadable: it is, or
// may be, there and cannot be read, so it must not be replaced either.
enum class StockFileState { Accepted, Missing, NotRegular, WrongSize, Unreadable, NotStock };

struct StockFileCheck {
  StockFileState state = StockFileState::Missing;
  std::uint64_t size = 0;                          // when found
  std::optional<std::vector<std::uint8_t>> bytes;  // when accepted
};

StockFileCheck checkStockFile(const std::filesystem::path& path, const StockFile& file);

// What a block at a stock file's site is: the accepted file's bytes, stock
// by its lead alone when there is no accepted file, or neither.
enum class BlockState { Stock, StockByLead, Differs, NotStock };
BlockState judgeBlock(std::span<const std::uint8_t> block, const StockFileCheck& check,
                      const StockFile& file);

// What became of a block at a stock file's site. Differs: the accepted file
// holds other bytes; Unreadable: the block could not be read.
enum class Capture { Saved, Kept, Differs, FileUnreadable, NotStock, Unreadable, NotSaved };

// Saves a stock `block` as `file`, creating the payload folder, through a
// new file flushed to the disk and renamed over the name, which so holds the
// whole block or what was there before. Never replaces an accepted or
// unreadable file. Prints nothing.
Capture captureStockBlock(const std::optional<std::vector<std::uint8_t>>& block,
                          const StockFile& file);

// The temporary files of saves that were killed before their rename, with
// the game's backslashes, as messages print them.
std::vector<std::string> stockLeftovers();

// The stock blocks for the patcher's run. An accepted file's bytes serve
// one action; a stock block read from the package serves until the run
// ends, since the package's own block is then the only sure copy.
class StockBlocks {
 public:
  struct Prepared {
    Capture capture;
    std::optional<std::vector<std::uint8_t>> bytes;  // what a restore writes
  };
  // Before the package's block at `offset` is written: captures it unless an
  // accepted file is there; Differs when that file, or this run's block,
  // differs from a stock block in the package.
  Prepared prepare(const StockFile& file, std::istream& package, std::uint64_t offset);

 private:
  std::map<const StockFile*, std::vector<std::uint8_t>> taken_;
};

}  // namespace vn3
