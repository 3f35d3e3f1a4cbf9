#include "patch/apply_patch.hpp"

#include <fstream>
#include <vector>

#include "common/messages.hpp"
#include "common/platform.hpp"

namespace vn3 {

const PatchTarget exeTarget{"VN3Main.exe", msg::exeOpenFailed, msg::exeLocateFailed,
                            msg::exeWriteFailed};
const PatchTarget packageTarget{"..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt", msg::packageOpenFailed,
                                msg::packageLocateFailed, msg::packageWriteFailed};

namespace {

// Reads the block at the first site, once a run, and keeps it if it is stock.
void keepStockBlock(std::fstream& file, std::uint32_t offset, const KeepStock& keep) {
  if (keep.block.bytes || keep.block.looked) return;
  keep.block.looked = true;
  auto found = readBlockAt(file, offset, keep.block.file->size);
  if (found && isAcceptableStock(*found, *keep.block.file)) keep.block.bytes = std::move(found);
}

}  // namespace

Outcome missingStock(const StockBlock& block) {
  return {msg::fillIn(msg::missingStockData, {displayPath(block.path)})};
}

Outcome applyPatch(const PatchTarget& target, std::span<const PatchSite> sites,
                   const KeepStock* keep) {
  // Unbuffered, so a kept block is read as exactly its bytes and each site
  // goes straight to the file. in|out opens an existing file for update:
  // never created, never truncated.
  std::fstream file;
  file.rdbuf()->pubsetbuf(nullptr, 0);
  file.open(hostPath(target.path), std::ios::in | std::ios::out | std::ios::binary);
  if (!file.is_open()) return {std::string(target.openFailed)};
  std::vector<PatchSite> restored;
  if (keep && !sites.empty()) {
    keepStockBlock(file, sites.front().offset, *keep);
    if (keep->restore) {
      if (!keep->block.bytes) return missingStock(keep->block);
      for (const PatchSite& site : sites) restored.push_back({site.offset, *keep->block.bytes});
      sites = restored;
    }
  }
  for (const PatchSite& site : sites) {
    file.seekp(static_cast<std::streamoff>(site.offset));
    if (!file) return {std::string(target.locateFailed)};
    // Each site is flushed before the next is positioned, and a write that
    // fails here is reported rather than left to pass as success.
    file.write(reinterpret_cast<const char*>(site.bytes.data()),
               static_cast<std::streamsize>(site.bytes.size()));
    file.flush();
    if (!file) return {std::string(target.writeFailed)};
  }
  file.close();
  if (file.fail()) return {std::string(target.writeFailed)};
  return {};
}

}  // namespace vn3
