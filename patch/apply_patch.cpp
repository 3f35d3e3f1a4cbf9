#include "patch/apply_patch.hpp"

#include <fstream>

#include "common/messages.hpp"
#include "common/platform.hpp"

namespace vn3 {

const PatchTarget exeTarget{"VN3Main.exe", msg::exeOpenFailed, msg::exeLocateFailed,
                            msg::exeWriteFailed};
const PatchTarget packageTarget{"..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt", msg::packageOpenFailed,
                                msg::packageLocateFailed, msg::packageWriteFailed};

Outcome applyPatch(const PatchTarget& target, std::span<const PatchSite> sites) {
  // in|out opens an existing file for update: never created, never truncated.
  std::fstream file(hostPath(target.path), std::ios::in | std::ios::out | std::ios::binary);
  if (!file.is_open()) return {std::string(target.openFailed)};
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
