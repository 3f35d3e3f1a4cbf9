#include <algorithm>
#include <fstream>
#include <string>
#include <system_error>

#include "common/path_match.hpp"
#include "common/platform.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

namespace {

using Bytes = std::vector<std::uint8_t>;

bool isAcceptableStock(std::span<const std::uint8_t> bytes, const StockFile& file) {
  return bytes.size() == file.size && file.lead.size() <= file.size &&
         std::equal(file.lead.begin(), file.lead.end(), bytes.begin());
}

// What is at the stock file's name now, judged against `block`.
std::optional<Capture> heldAlready(const StockFile& file, const Bytes& block) {
  const StockFileCheck check = checkStockFile(hostPath(file.path), file);
  if (check.state == StockFileState::Unreadable) return Capture::FileUnreadable;
  if (check.bytes) return *check.bytes == block ? Capture::Kept : Capture::Differs;
  return std::nullopt;
}

Capture saveStockFile(const StockFile& file, const Bytes& block) {
  if (createDirectory(hostPath(stockFolder)) == CreateDirResult::Failed) return Capture::NotSaved;
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
  std::optional<Capture> saved;
  if (!writeNewFileDurably(temporary, block)) saved = Capture::NotSaved;
  // Another instance, or the tool, may have saved one meanwhile.
  if (!saved) saved = heldAlready(file, block);
  if (!saved) saved = replaceFileDurably(temporary, path) ? Capture::Saved : Capture::NotSaved;
  if (saved != Capture::Saved) std::filesystem::remove(temporary, ec);
  return *saved;
}

}  // namespace

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
  if (!status.found) {
    return {status.absent ? StockFileState::Missing : StockFileState::Unreadable, 0, std::nullopt};
  }
  if (!status.regular) return {StockFileState::NotRegular, status.size, std::nullopt};
  if (status.size != file.size) return {StockFileState::WrongSize, status.size, std::nullopt};

  auto bytes = readFileOfSize(path, file.size);
  if (!bytes) return {StockFileState::Unreadable, status.size, std::nullopt};
  if (!isAcceptableStock(*bytes, file))
    return {StockFileState::NotStock, status.size, std::nullopt};
  return {StockFileState::Accepted, status.size, std::move(bytes)};
}

BlockState judgeBlock(std::span<const std::uint8_t> block, const StockFileCheck& check,
                      const StockFile& file) {
  if (check.bytes)
    return std::ranges::equal(block, *check.bytes) ? BlockState::Stock : BlockState::Differs;
  return isAcceptableStock(block, file) ? BlockState::StockByLead : BlockState::NotStock;
}

Capture captureStockBlock(const std::optional<Bytes>& block, const StockFile& file) {
  if (!block) return Capture::Unreadable;
  if (!isAcceptableStock(*block, file)) return Capture::NotStock;
  if (const std::optional<Capture> held = heldAlready(file, *block)) return *held;
  return saveStockFile(file, *block);
}

std::vector<std::string> stockLeftovers() {
  std::vector<std::string> found;
  for (const std::string& name :
       entriesMatching(hostPath(stockFolder), R"((trail|glint)_stock\.bin\.[0-9]+-[0-9]+\.tmp)")) {
    found.push_back(std::string(stockFolder).append("\\").append(name));
  }
  return found;
}

StockBlocks::Prepared StockBlocks::prepare(const StockFile& file, std::istream& package,
                                           std::uint64_t offset) {
  StockFileCheck check = checkStockFile(hostPath(file.path), file);
  if (check.state == StockFileState::Unreadable) return {Capture::FileUnreadable, std::nullopt};
  std::optional<Bytes> block = readBlockAt(package, offset, file.size);
  const bool blockStock = block && isAcceptableStock(*block, file);
  const bool accepted = check.bytes.has_value();
  if (const auto taken = taken_.find(&file); !accepted && taken != taken_.end()) {
    check.bytes = taken->second;
  }
  // Which of the two is the game's cannot be known, so both are kept.
  if (blockStock && check.bytes && *block != *check.bytes) return {Capture::Differs, std::nullopt};
  if (blockStock) taken_[&file] = *block;
  if (accepted) return {Capture::Kept, std::move(check.bytes)};
  // No accepted file: the package's block, or the one this run took from it
  // earlier, is saved before anything overwrites or relies on it.
  std::optional<Bytes> keep = check.bytes ? std::move(check.bytes) : std::move(block);
  const Capture captured = captureStockBlock(keep, file);
  const bool held =
      captured == Capture::Saved || captured == Capture::Kept || captured == Capture::NotSaved;
  return {captured, held ? std::move(keep) : std::nullopt};
}

}  // namespace vn3
