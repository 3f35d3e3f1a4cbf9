#include "app/startup.hpp"

#include "app/console.hpp"
#include "app/menu.hpp"
#include "app/read_key.hpp"
#include "common/console_out.hpp"
#include "common/game_build.hpp"
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

bool checkExecutable() {
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

bool checkPackage() {
  const FileStatus status = queryFileStatus(hostPath(packageTarget.path));
  std::string_view message;
  if (!status.found || !status.regular) {
    message = msg::packageInaccessible;
  } else if (status.size == packageSizeOf(currentBuild)) {
    return true;
  } else {
    message = msg::packageWrongVersion;
  }
  packageAvailable = false;
  printCheckMessage(message);
  return false;
}

int runPatcher() {
  ConsoleSession console;
  loadStockBlocks(executableDirectory() / "payload");

  printLine();
  printLine(msg::bannerTitle);
  printLine(msg::bannerRule);

  if (!checkExecutable()) {
    printLine();
    printLine();
    printLine(msg::pressAnyKey);
    readKey();
    return 1;
  }
  checkPackage();

  printLine();
  printLine(msg::backupNotice);
  printLine();
  printLine({msg::fileIndent, msg::backupExe});
  printLine({msg::fileIndent, msg::backupPackage});
  printLine();
  printLine(msg::otherPatchesNotice);
  printLine(msg::ownRiskNotice);
  printLine();

  runMenuLoop();
  return 0;
}

}  // namespace vn3
