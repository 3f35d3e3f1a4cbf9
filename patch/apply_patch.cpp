#include "patch/apply_patch.hpp"

#include <fstream>

#include "common/messages.hpp"
#include "common/platform.hpp"

namespace vn3 {

const PatchTarget exeTarget{"VN3Main.exe", msg::exeOpenFailed, msg::exeLocateFailed,
                            msg::exeWriteFailed};
const PatchTarget packageTarget{"..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt", msg::packageOpenFailed,
                                msg::packageLocateFailed, msg::packageWriteFailed};

Outcome missingStock(const StockBlock& block) {
  return {msg::fillIn(msg::missingStockData, {block.file().path})};
}

Outcome applyPatch(const PatchTarget& target, std::span<const PatchSite> sites, StockBlock* stock) {
  // Unbuffered, so a kept block is read as exactly its bytes and each site
  // goes straight to the file. in|out opens an existing file for update:
  // never created, never truncated.
  std::fstream file;
  file.rdbuf()->pubsetbuf(nullptr, 0);
  file.open(hostPath(target.path), std::ios::in | std::ios::out | std::ios::binary);
  if (!file.is_open()) return {std::string(target.openFailed)};
  if (stock && !sites.empty()) {
    const StockBlock::Kept kept = stock->keepBeforeOverwrite(file, sites.front().offset);
    // A restore writes the stock bytes themselves, so it loses nothing.
    const bool restore = sites.front().bytes.empty();
    if (!restore && kept == StockBlock::Kept::Unreadable) return {std::string(target.locateFailed)};
    if (!restore && kept == StockBlock::Kept::Unsaved) {
      return {msg::fillIn(msg::saveStockFailed, {stock->file().path})};
    }
  }
  for (const PatchSite& site : sites) {
    std::span<const std::uint8_t> bytes = site.bytes;
    if (bytes.empty() && stock) {
      if (!stock->bytes()) return missingStock(*stock);
      bytes = *stock->bytes();
    }
    file.seekp(static_cast<std::streamoff>(site.offset));
    if (!file) return {std::string(target.locateFailed)};
    // Each site is flushed before the next is positioned, and a write that
    // fails here is reported rather than left to pass as success.
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.flush();
    if (!file) return {std::string(target.writeFailed)};
  }
  file.close();
  if (file.fail()) return {std::string(target.writeFailed)};
  return {};
}

}  // namespace vn3
