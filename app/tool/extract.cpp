#include "app/extract.hpp"

#include <fstream>
#include <optional>
#include <string>

#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"

namespace vn3 {

const std::array<PackageStockBlock, 2> packageStockBlocks = {{
    {trailStock, trailStockFile, msg::extractTrailWhat},
    {glintStock, glintStockFile, msg::extractGlintWhat},
}};

int extractStockData(const std::filesystem::path& package) {
  const std::string packageName = displayPath(package);
  const FileStatus status = queryFileStatus(package);
  if (!status.found || !status.regular) {
    printLine(msg::fillIn(msg::extractNoPackage, {packageName}));
    return 1;
  }
  const std::optional<GameBuild> build = buildOfPackageSize(status.size);
  if (!build) {
    printLine(msg::fillIn(msg::extractWrongSize, {packageName, std::to_string(status.size)}));
    return 1;
  }

  std::ifstream in(package, std::ios::binary);
  // The folder is made only for a block worth writing, so a refused
  // package leaves nothing behind.
  std::optional<bool> folderReady;
  int written = 0;
  for (const PackageStockBlock& block : packageStockBlocks) {
    const std::uint32_t offset = block.list.offsets[static_cast<std::size_t>(*build)][0];
    const auto bytes = readBlockAt(in, offset, block.file.size);
    if (!bytes) {
      printLine(msg::fillIn(msg::extractReadFailed, {packageName}));
      continue;
    }
    if (!isAcceptableStock(*bytes, block.file)) {
      printLine(msg::fillIn(msg::extractNotStock, {block.what, packageName}));
      continue;
    }
    if (!folderReady) {
      folderReady = createDirectory(hostPath(stockFolder)) != CreateDirResult::Failed;
      if (!*folderReady) printLine(msg::fillIn(msg::extractFolderFailed, {stockFolder}));
    }
    if (!*folderReady) continue;
    // A file there already is replaced: the backup is taken to be right.
    if (!saveStockFile(block.file, *bytes, IfAccepted::Replace)) {
      printLine(msg::fillIn(msg::extractWriteFailed, {block.file.path}));
      continue;
    }
    printLine(msg::fillIn(msg::extractWrote,
                          {block.file.path, std::to_string(bytes->size()), block.what}));
    ++written;
  }
  return written == 2 ? 0 : 1;
}

}  // namespace vn3
