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
#include <optional>
#include <span>
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

// The player's stock block at one package site, for the whole run: the bytes
// a restore writes. Its file is the truth and is looked for at every action;
// a stock block found in the package is saved to the file before anything
// overwrites it, so there is always a copy.
class StockBlock {
 public:
  explicit StockBlock(const StockFile& file) : file_(file) {}

  const StockFile& file() const { return file_; }
  // Nothing when neither the file nor the package has had them this run.
  const std::optional<std::vector<std::uint8_t>>& bytes() const { return bytes_; }

  // Whether the block may be overwritten: nothing stock is lost (Safe); it
  // could not be read, so nobody knows (Unreadable); or it is stock and
  // could not be saved, so it is the only copy (Unsaved).
  enum class Kept { Safe, Unreadable, Unsaved };

  // Called with the package open, before the block at `offset` is
  // overwritten. Takes the stock file's bytes if it is there and accepted;
  // otherwise keeps the block in the package if it is stock and saves it.
  Kept keepBeforeOverwrite(std::istream& package, std::uint64_t offset);

 private:
  const StockFile& file_;
  std::optional<std::vector<std::uint8_t>> bytes_;
};

struct StockBlocks {
  StockBlock trail{trailStockFile};
  StockBlock glint{glintStockFile};
};

bool isAcceptableStock(std::span<const std::uint8_t> bytes, const StockFile& file);

// Reads `length` bytes at `offset`; nothing if they cannot all be read. The
// stream is left cleared for the next read either way.
std::optional<std::vector<std::uint8_t>> readBlockAt(std::istream& in, std::uint64_t offset,
                                                     std::size_t length);

// All `size` bytes of the file at `path`; nothing if they cannot be read, or
// if the file has grown past them since its size was taken.
std::optional<std::vector<std::uint8_t>> readFileOfSize(const std::filesystem::path& path,
                                                        std::size_t size);

// What a stock file on disk is: accepted, or why not.
enum class StockFileState { Accepted, Missing, NotRegular, WrongSize, Unreadable, NotStock };

struct StockFileCheck {
  StockFileState state = StockFileState::Missing;
  std::uint64_t size = 0;                          // when found
  std::optional<std::vector<std::uint8_t>> bytes;  // when accepted
};

StockFileCheck checkStockFile(const std::filesystem::path& path, const StockFile& file);

// Reads one block of `file` from `path`; nothing if it is missing, not a
// regular file, unreadable or not acceptable.
std::optional<std::vector<std::uint8_t>> readStockBlock(const std::filesystem::path& path,
                                                        const StockFile& file);

// What saving does with an accepted file already at the name.
enum class IfAccepted { Keep, Replace };

// Saves `bytes` as `file`, creating the payload folder: a new file flushed to
// the disk, then renamed over the name, so that the name holds either the
// whole block or what was there before. With Keep, an accepted file found at
// the name just before the rename stays and counts as saved.
bool saveStockFile(const StockFile& file, std::span<const std::uint8_t> bytes,
                   IfAccepted ifAccepted);

}  // namespace vn3
