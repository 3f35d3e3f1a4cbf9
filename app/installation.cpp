#include "app/installation.hpp"

#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/apply_patch.hpp"

namespace vn3 {

ExeCheck checkExecutable() {
  const FileStatus status = queryFileStatus(hostPath(exeTarget.path));
  if (!status.found) return {std::nullopt, msg::exeMissing, 0};
  if (!status.regular) return {std::nullopt, msg::exeNotRegular, status.size};
  const std::optional<GameBuild> build = buildOfExeSize(status.size);
  return {build, build ? std::string_view() : msg::exeWrongVersion, status.size};
}

std::string_view checkPackage(GameBuild build) {
  const FileStatus status = queryFileStatus(hostPath(packageTarget.path));
  if (!status.found || !status.regular) return msg::packageInaccessible;
  if (status.size != packageSizeOf(build)) return msg::packageWrongVersion;
  return {};
}

}  // namespace vn3
