#include <algorithm>
#include <fstream>

#include "common/platform.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

StockBlock trailStockBlock;
StockBlock glintStockBlock;

bool isAcceptableStock(std::span<const std::uint8_t> bytes, std::size_t size,
                       std::span<const std::uint8_t, 16> lead) {
  return bytes.size() == size && std::equal(lead.begin(), lead.end(), bytes.begin());
}

std::optional<std::vector<std::uint8_t>> readStockBlock(const std::filesystem::path& path,
                                                        std::size_t size,
                                                        std::span<const std::uint8_t, 16> lead) {
  const FileStatus status = queryFileStatus(path);
  if (!status.found || !status.regular || status.size != size) return std::nullopt;

  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes(size);
  // A file that grew since the status query is refused, not cut short.
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  if (!in || in.peek() != std::ifstream::traits_type::eof()) return std::nullopt;
  if (!isAcceptableStock(bytes, size, lead)) return std::nullopt;
  return bytes;
}

void loadStockBlocks(const std::filesystem::path& payloadDir) {
  trailStockBlock.path = payloadDir / trailStockFile;
  trailStockBlock.bytes = readStockBlock(trailStockBlock.path, trailBlockSize, trailStockLead);
  glintStockBlock.path = payloadDir / glintStockFile;
  glintStockBlock.bytes = readStockBlock(glintStockBlock.path, glintBlockSize, glintStockLead);
}

}  // namespace vn3
