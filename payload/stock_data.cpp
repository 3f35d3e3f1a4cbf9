#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "common/platform.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

bool isAcceptableStock(std::span<const std::uint8_t> bytes, std::size_t size,
                       std::span<const std::uint8_t> lead) {
  return bytes.size() == size && lead.size() <= size &&
         std::equal(lead.begin(), lead.end(), bytes.begin());
}

std::optional<std::vector<std::uint8_t>> readStockBlock(const std::filesystem::path& path,
                                                        std::size_t size,
                                                        std::span<const std::uint8_t> lead) {
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

StockBlocks loadStockBlocks(const std::filesystem::path& payloadDir) {
  const std::filesystem::path trail = payloadDir / trailStockFile;
  const std::filesystem::path glint = payloadDir / glintStockFile;
  return {{trail, readStockBlock(trail, trailBlockSize, trailStockLead)},
          {glint, readStockBlock(glint, glintBlockSize, glintStockLead)}};
}

bool saveStockFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(std::random_device{}());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace vn3
