#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "common/platform.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

bool isAcceptableStock(std::span<const std::uint8_t> bytes, const StockFile& file) {
  return bytes.size() == file.size && file.lead.size() <= file.size &&
         std::equal(file.lead.begin(), file.lead.end(), bytes.begin());
}

std::optional<std::vector<std::uint8_t>> readBlockAt(std::istream& in, std::uint64_t offset,
                                                     std::size_t length) {
  std::vector<std::uint8_t> bytes(length);
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
  if (in) return bytes;
  in.clear();
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> readStockBlock(const std::filesystem::path& path,
                                                        const StockFile& file) {
  const FileStatus status = queryFileStatus(path);
  if (!status.found || !status.regular || status.size != file.size) return std::nullopt;

  std::ifstream in(path, std::ios::binary);
  auto bytes = readBlockAt(in, 0, file.size);
  // A file that grew since the status query is refused, not cut short.
  if (!bytes || in.peek() != std::ifstream::traits_type::eof()) return std::nullopt;
  if (!isAcceptableStock(*bytes, file)) return std::nullopt;
  return bytes;
}

StockBlocks loadStockBlocks(const std::filesystem::path& payloadDir) {
  const auto lookFor = [&payloadDir](const StockFile& file) -> StockBlock {
    const std::filesystem::path path = payloadDir / file.name;
    return {file, path, readStockBlock(path, file)};
  };
  return {lookFor(trailStockFile), lookFor(glintStockFile)};
}

bool saveStockFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(std::random_device{}());
  std::error_code ec;
  if (writeRegularFile(temporary, bytes)) {
    std::filesystem::rename(temporary, path, ec);
    if (!ec) return true;
  }
  std::filesystem::remove(temporary, ec);
  return false;
}

}  // namespace vn3
