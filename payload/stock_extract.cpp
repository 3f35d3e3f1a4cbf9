#include "payload/stock_extract.hpp"

#include <fstream>
#include <random>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/patch_sites.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

namespace {

struct BlockToExtract {
  const SiteList& list;  // where the block lies in each build
  const char* fileName;
  std::span<const std::uint8_t, 16> lead;
  std::string_view what;
};


std::optional<std::vector<std::uint8_t>> readAt(std::ifstream& in, std::uint32_t offset,
                                                std::size_t length) {
  std::vector<std::uint8_t> bytes(length);
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
  if (!in) return std::nullopt;
  return bytes;
}

// Writes through a temporary file and a rename, so that a file of this name
// is either the whole block or what was there before.
bool writeWhole(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(std::random_device{}());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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

std::string quoted(const std::filesystem::path& path) {
  std::string text = "'";
  text += displayPath(path);
  text += "'";
  return text;
}

}  // namespace

std::optional<GameBuild> buildOfPackageSize(std::uint64_t size) {
  if (size == buildAPackageSize) return GameBuild::BuildA;
  if (size == buildBPackageSize) return GameBuild::BuildB;
  return std::nullopt;
}

int extractStockData(const std::filesystem::path& package, const std::filesystem::path& payloadDir) {
  const FileStatus status = queryFileStatus(package);
  if (!status.found || !status.regular) {
    printLine({msg::extractNoPackage, quoted(package), msg::extractNoPackageHint});
    return 1;
  }
  const std::optional<GameBuild> build = buildOfPackageSize(status.size);
  if (!build) {
    printLine({msg::extractWrongSizeHead, quoted(package), " is ", std::to_string(status.size),
               msg::extractWrongSizeTail});
    return 1;
  }

  std::ifstream in(package, std::ios::binary);
  const BlockToExtract blocks[] = {
      {trailStock, trailStockFile, trailStockLead, msg::extractTrailWhat},
      {glintStock, glintStockFile, glintStockLead, msg::extractGlintWhat},
  };
  // The folder is made only for a block worth writing, so a refused
  // package leaves nothing behind.
  std::optional<bool> folderReady;
  int written = 0;
  for (const BlockToExtract& block : blocks) {
    const std::uint32_t offset = block.list.offsets[static_cast<std::size_t>(*build)][0];
    const auto bytes = readAt(in, offset, block.list.length);
    if (!bytes) {
      printLine({msg::extractReadFailed, quoted(package)});
      in.clear();
      continue;
    }
    if (!isAcceptableStock(*bytes, block.list.length, block.lead)) {
      printLine({msg::extractNotStockHead, block.what, msg::extractNotStockMiddle, quoted(package),
                 msg::extractNotStockTail});
      continue;
    }
    if (!folderReady) {
      folderReady = createDirectory(payloadDir) != CreateDirResult::Failed;
      if (!*folderReady) printLine({msg::extractFolderFailed, quoted(payloadDir)});
    }
    if (!*folderReady) continue;
    const std::filesystem::path target = payloadDir / block.fileName;
    if (!writeWhole(target, *bytes)) {
      printLine({msg::extractWriteFailed, quoted(target)});
      continue;
    }
    printLine({msg::extractWrote, quoted(target), " (", std::to_string(bytes->size()),
               " bytes of ", block.what, ")"});
    ++written;
  }
  return written == 2 ? 0 : 1;
}

}  // namespace vn3
