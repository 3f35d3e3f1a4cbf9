#include "app/startup.hpp"

#include <filesystem>
#include <system_error>
#include <utility>

#include "app/console.hpp"
#include "app/menu.hpp"
#include "app/read_key.hpp"
#include "app/session.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/apply_patch.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

namespace {

void printCheckMessage(std::string_view text) {
  printLine();
  printLine(text);
}

}  // namespace

bool checkExecutable(GameBuild& currentBuild) {
  const FileStatus status = queryFileStatus(hostPath(exeTarget.path));
  std::string_view message;
  if (!status.found) {
    message = msg::exeMissing;
  } else if (!status.regular) {
    message = msg::exeNotRegular;
  } else if (status.size == buildAExeSize) {
    currentBuild = GameBuild::BuildA;
    return true;
  } else if (status.size == buildBExeSize) {
    return true;
  } else {
    message = msg::exeWrongVersion;
  }
  printCheckMessage(message);
  return false;
}

bool checkPackage(GameBuild currentBuild) {
  const FileStatus status = queryFileStatus(hostPath(packageTarget.path));
  std::string_view message;
  if (!status.found || !status.regular) {
    message = msg::packageInaccessible;
  } else if (status.size == packageSizeOf(currentBuild)) {
    return true;
  } else {
    message = msg::packageWrongVersion;
  }
  printCheckMessage(message);
  return false;
}

int runPatcher() {
  ConsoleSession console;
  StockBlocks stock = loadStockBlocks(executableDirectory() / "payload");

  printLine();
  printLine(msg::bannerTitle);
  printLine(msg::bannerRule);

  // Build B until the executable says otherwise.
  GameBuild currentBuild = GameBuild::BuildB;
  if (!checkExecutable(currentBuild)) {
    printLine();
    printLine();
    printLine(msg::pressAnyKey);
    readKey();
    return 1;
  }
  const bool packageAvailable = checkPackage(currentBuild);

  printLine();
  printLine(msg::backupNotice);
  printLine();
  printLine({msg::fileIndent, msg::backupExe});
  printLine({msg::fileIndent, msg::backupPackage});
  printLine();
  printLine(msg::otherPatchesNotice);
  printLine(msg::ownRiskNotice);
  printLine();

  std::error_code ec;
  const bool savesStock = std::filesystem::equivalent(executableDirectory(), ".", ec);
  Session session{currentBuild, packageAvailable, savesStock, std::move(stock)};
  runMenuLoop(session);
  return 0;
}

}  // namespace vn3
