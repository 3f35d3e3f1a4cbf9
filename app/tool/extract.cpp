// vn3patch-tool extract: the stock data files from the player's own
// unmodified package, so that the restore actions can put the original
// bytes back. Never writes to the package.
#include <fstream>
#include <map>
#include <string>

#include "app/installation.hpp"
#include "app/tool/tool.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"

namespace vn3 {

bool reportCapture(Capture capture, const Effect& effect, std::string_view packageName,
                   bool quietIfNotStock) {
  const std::string_view path = effect.stock->path, what = effect.stockWhat;
  const std::string size = std::to_string(effect.stock->size);
  const std::map<Capture, std::string> lines = {
      {Capture::Saved, msg::fillIn(msg::extractWrote, {path, size, what})},
      {Capture::Kept, msg::fillIn(msg::extractKept, {path, what})},
      {Capture::Differs, msg::fillIn(msg::extractRefusedOther, {what, path})},
      {Capture::FileUnreadable, msg::fillIn(msg::stockDataUnreadable, {path})},
      {Capture::NotStock,
       quietIfNotStock ? "" : msg::fillIn(msg::extractNotStock, {what, packageName})},
      {Capture::Unreadable, msg::fillIn(msg::extractReadFailed, {packageName})},
      {Capture::NotSaved, msg::fillIn(msg::extractWriteFailed, {path})},
  };
  if (!lines.at(capture).empty()) printLine(lines.at(capture));
  return capture == Capture::Saved || capture == Capture::Kept;
}

int extractStockData(std::optional<std::string_view> typed) {
  // The files go into payload\ of the working directory, where the patcher
  // looks: only the game's System folder will do.
  const ExeCheck exe = checkExecutableAloud();
  if (!exe.build) return 1;
  if (!checkPackage(*exe.build).empty()) {
    printLine(msg::extractNeedsInstallation);
    return 1;
  }
  const std::filesystem::path package =
      typed ? std::filesystem::path(std::string(*typed)) : hostPath(packageTarget.path);
  const std::string_view packageName = typed ? *typed : packageTarget.path;
  const FileStatus status = queryFileStatus(package);
  if (!status.found || !status.regular) {
    printLine(msg::fillIn(msg::extractNoPackage, {packageName}));
    return 1;
  }
  // Either build's package will do: their stock blocks are the same.
  const std::optional<GameBuild> build = buildOfPackageSize(status.size);
  if (!build) {
    printLine(msg::fillIn(msg::extractWrongSize, {packageName, std::to_string(status.size)}));
    return 1;
  }

  // Both blocks are read before anything is written.
  std::ifstream in(package, std::ios::binary);
  std::vector<std::pair<const Effect*, std::optional<Bytes>>> blocks;
  for (const Effect& effect : effects) {
    if (!effect.stock) continue;
    blocks.emplace_back(&effect,
                        readBlockAt(in, effect.offsetsFor(*build).front(), effect.stock->size));
    if (!blocks.back().second) {
      reportCapture(Capture::Unreadable, effect, packageName, false);
      return 1;
    }
  }
  bool held = true;
  for (const auto& [effect, block] : blocks) {
    held = reportCapture(captureStockBlock(block, *effect->stock), *effect, packageName, false) &&
           held;
  }
  return held ? 0 : 1;
}

}  // namespace vn3
