// vn3patch-tool backup: both game files copied into vn3patch-backup\ with
// their SHA-256 sums. The backup is made whole in a temporary folder beside
// it and renamed last, so it is all there or not there; the game files are
// only read.
#include <span>
#include <system_error>

#include "app/extract.hpp"
#include "app/installation.hpp"
#include "app/tool.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/patch_sites.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

namespace {

std::span<const std::uint8_t> asBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Copies both game files into `folder` (`folderName` in messages), each
// through a file flushed to the disk and read back against its sum, then
// writes SHA256SUMS. Returns the failure's message, or nothing; `report`
// gets a line per copy, and `package` the package's bytes.
std::string copyInto(const std::filesystem::path& folder, std::string_view folderName,
                     std::vector<std::string>& report, Bytes& package) {
  std::string sums;
  for (const BackupFile& file : backupFiles) {
    std::optional<Bytes> bytes = readWholeFile(hostPath(file.target->path));
    if (!bytes) return msg::fillIn(msg::backupReadFailed, {file.target->path});
    const std::optional<std::string> sum = sumOf(*bytes);
    if (!sum) return std::string(msg::backupHashFailed);
    const std::filesystem::path copy = folder / std::string(file.name);
    const std::string copyName = std::string(folderName).append("\\").append(file.name);
    if (!writeNewFileDurably(copy, *bytes)) return msg::fillIn(msg::backupWriteFailed, {copyName});
    const std::optional<Bytes> back = readWholeFile(copy);
    if (!back || sumOf(*back) != sum) return msg::fillIn(msg::backupCheckFailed, {copyName});
    sums.append(*sum).append("  ").append(file.name).append("\n");
    report.push_back(msg::fillIn(
        msg::backupCopied, {file.target->path, file.copy, std::to_string(bytes->size()), *sum}));
    if (file.target == &packageTarget) package = std::move(*bytes);
  }
  if (!writeNewFileDurably(folder / "SHA256SUMS", asBytes(sums))) {
    return msg::fillIn(msg::backupWriteFailed, {std::string(folderName).append("\\SHA256SUMS")});
  }
  return {};
}

// Saves the package's stock blocks as the main program would before an
// overwrite, each that no accepted stock file holds yet. A failure is
// reported; the backup stands.
void keepStockBlocks(const Bytes& package, GameBuild build) {
  // A package that changed size since the check holds no block where the
  // table says.
  if (package.size() != packageSizeOf(build)) return;
  for (const PackageStockBlock& block : packageStockBlocks) {
    const std::span<const std::uint8_t> bytes =
        std::span(package).subspan(sitesFor(block.list, build).front().offset, block.file.size);
    if (!isAcceptableStock(bytes, block.file) ||
        readStockBlock(hostPath(block.file.path), block.file)) {
      continue;
    }
    if (saveStockFile(block.file, bytes, IfAccepted::Keep)) {
      printLine(msg::fillIn(msg::extractWrote,
                            {block.file.path, std::to_string(bytes.size()), block.what}));
    } else {
      printLine(msg::fillIn(msg::extractWriteFailed, {block.file.path}));
    }
  }
}

}  // namespace

int makeBackup() {
  const ExeCheck exe = checkExecutable();
  if (!exe.build) {
    printLine(exe.error);
    return 1;
  }
  if (const std::string_view warning = checkPackage(*exe.build); !warning.empty()) {
    printLine(warning);
    printLine(msg::backupNeedsPackage);
    return 1;
  }
  const std::filesystem::path target = hostPath(backupFolder);
  if (queryFileStatus(target).found) {
    printLine(msg::backupExists);
    return 1;
  }

  // A name no other running instance uses.
  const std::string temporaryName =
      std::string(backupFolder).append(".").append(std::to_string(processId())).append(".tmp");
  const std::filesystem::path temporary = hostPath(temporaryName);
  std::error_code ec;
  // A leftover of a backup killed in an earlier process with the same id.
  std::filesystem::remove_all(temporary, ec);
  if (createDirectory(temporary) != CreateDirResult::Created) {
    // Not made here, so not removed either.
    printLine(msg::fillIn(msg::backupWriteFailed, {temporaryName}));
    return 1;
  }
  std::vector<std::string> report;
  Bytes package;
  std::string failure = copyInto(temporary, temporaryName, report, package);
  if (failure.empty() && !renameFolderDurably(temporary, target)) {
    failure = msg::fillIn(msg::backupWriteFailed, {backupFolder});
  }
  if (!failure.empty()) {
    std::filesystem::remove_all(temporary, ec);
    printLine(failure);
    return 1;
  }

  for (const std::string& line : report) printLine(line);
  printLine(msg::backupComplete);
  printCopiesNotStock(*exe.build);
  keepStockBlocks(package, *exe.build);
  return 0;
}

}  // namespace vn3
