#include "patch/apply_patch.hpp"

#include <fstream>
#include <optional>

#include "common/messages.hpp"
#include "common/platform.hpp"

namespace vn3 {

const PatchTarget exeTarget{"VN3Main.exe", msg::exeOpenFailed, msg::exeLocateFailed,
                            msg::exeWriteFailed};
const PatchTarget packageTarget{"..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt", msg::packageOpenFailed,
                                msg::packageLocateFailed, msg::packageWriteFailed};

Outcome applyPatch(const PatchTarget& target, std::span<const PatchSite> sites, StockBlocks* blocks,
                   const StockFile* stock) {
  // Unbuffered, so a block is read as exactly its bytes and each site goes
  // straight to the file. in|out opens an existing file for update: never
  // created, never truncated.
  std::fstream file;
  file.rdbuf()->pubsetbuf(nullptr, 0);
  file.open(hostPath(target.path), std::ios::in | std::ios::out | std::ios::binary);
  if (!file.is_open()) return {std::string(target.openFailed)};
  std::optional<std::vector<std::uint8_t>> stockBytes;
  if (blocks && !sites.empty()) {
    const std::string_view path = stock->path;
    const bool restore = sites.front().bytes.empty();
    StockBlocks::Prepared prepared = blocks->prepare(*stock, file, sites.front().offset);
    const Capture capture = prepared.capture;
    if (capture == Capture::Differs) return {msg::fillIn(msg::packageBlockDiffers, {path})};
    if (capture == Capture::FileUnreadable) return {msg::fillIn(msg::stockDataUnreadable, {path})};
    // A restore writes back what the package held, so it loses nothing.
    if (!restore && capture == Capture::Unreadable) return {std::string(target.locateFailed)};
    if (!restore && capture == Capture::NotSaved)
      return {msg::fillIn(msg::saveStockFailed, {path})};
    if (restore && !prepared.bytes) return {msg::fillIn(msg::missingStockData, {path})};
    stockBytes = std::move(prepared.bytes);
  }
  for (const PatchSite& site : sites) {
    std::span<const std::uint8_t> bytes = site.bytes;
    if (bytes.empty() && stockBytes) bytes = *stockBytes;
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
