#include <algorithm>
#include <fstream>
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

std::optional<std::vector<std::uint8_t>> readFileOfSize(const std::filesystem::path& path,
                                                        std::size_t size) {
  std::ifstream in(path, std::ios::binary);
  auto bytes = readBlockAt(in, 0, size);
  // A file that grew since its size was taken is refused, not cut short.
  if (!bytes || in.peek() != std::ifstream::traits_type::eof()) return std::nullopt;
  return bytes;
}

StockFileCheck checkStockFile(const std::filesystem::path& path, const StockFile& file) {
  const FileStatus status = queryFileStatus(path);
  if (!status.found) return {StockFileState::Missing, 0, std::nullopt};
  if (!status.regular) return {StockFileState::NotRegular, status.size, std::nullopt};
  if (status.size != file.size) return {StockFileState::WrongSize, status.size, std::nullopt};

  auto bytes = readFileOfSize(path, file.size);
  if (!bytes) return {StockFileState::Unreadable, status.size, std::nullopt};
  if (!isAcceptableStock(*bytes, file))
    return {StockFileState::NotStock, status.size, std::nullopt};
  return {StockFileState::Accepted, status.size, std::move(bytes)};
}

std::optional<std::vector<std::uint8_t>> readStockBlock(const std::filesystem::path& path,
                                                        const StockFile& file) {
  return checkStockFile(path, file).bytes;
}

bool saveStockFile(const StockFile& file, std::span<const std::uint8_t> bytes,
                   IfAccepted ifAccepted) {
  if (createDirectory(hostPath(stockFolder)) == CreateDirResult::Failed) return false;
  const std::filesystem::path path = hostPath(file.path);
  // A name no other instance, nor an earlier save of this one, can be using.
  static std::uint32_t saves = 0;
  // Appended piece by piece: GCC 12 misreports chained string additions (-Wrestrict).
  std::string suffix = ".";
  suffix.append(std::to_string(processId())).append("-").append(std::to_string(++saves));
  std::filesystem::path temporary = path;
  temporary += suffix.append(".tmp");
  std::error_code ec;
  // The name holds this process's id: a file there is a leftover of a save
  // killed in an earlier process that had the same id.
  std::filesystem::remove(temporary, ec);
  bool saved = writeNewFileDurably(temporary, bytes);
  // Another instance, or the extractor, may have saved it meanwhile.
  const bool keep = saved && ifAccepted == IfAccepted::Keep && readStockBlock(path, file);
  if (!keep) saved = saved && replaceFileDurably(temporary, path);
  if (keep || !saved) std::filesystem::remove(temporary, ec);
  return saved;
}

StockBlock::Kept StockBlock::keepBeforeOverwrite(std::istream& package, std::uint64_t offset) {
  // Made or replaced since the last action, by the extractor or another instance.
  if (auto saved = readStockBlock(hostPath(file_.path), file_)) {
    bytes_ = std::move(saved);
    return Kept::Safe;
  }
  auto found = readBlockAt(package, offset, file_.size);
  if (!found) return Kept::Unreadable;
  if (!isAcceptableStock(*found, file_)) return Kept::Safe;  // nothing stock to lose
  bytes_ = std::move(found);
  return saveStockFile(file_, *bytes_, IfAccepted::Keep) ? Kept::Safe : Kept::Unsaved;
}

}  // namespace vn3
