// vn3patch: the banner, the installation check and the notices, then the menu.
#include "app/console/console.hpp"
#include "app/menu.hpp"
#include "app/session.hpp"
#include "common/console_out.hpp"
#include "common/game_build.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/apply_patch.hpp"

namespace vn3 {

namespace {

// Prints why a check failed; false, for the check to return.
bool failCheck(std::string_view message) {
  printLine();
  printLine(message);
  return false;
}

// Settles `currentBuild` from the executable's size; false after printing
// why the installation is not supported.
bool checkExecutable(GameBuild& currentBuild) {
  const FileStatus status = queryFileStatus(hostPath(exeTarget.path));
  if (!status.found) return failCheck(msg::exeMissing);
  if (!status.regular) return failCheck(msg::exeNotRegular);
  if (status.size != buildAExeSize && status.size != buildBExeSize) {
    return failCheck(msg::exeWrongVersion);
  }
  currentBuild = status.size == buildAExeSize ? GameBuild::BuildA : GameBuild::BuildB;
  return true;
}

// Whether the graphics package matches `currentBuild`; false after printing
// a warning.
bool checkPackage(GameBuild currentBuild) {
  const FileStatus status = queryFileStatus(hostPath(packageTarget.path));
  if (!status.found || !status.regular) return failCheck(msg::packageInaccessible);
  if (status.size != packageSizeOf(currentBuild)) return failCheck(msg::packageWrongVersion);
  return true;
}

}  // namespace

// Start-up, then the menu until the player quits. Command-line arguments are
// ignored.
int runPatcher() {
  failWritesPastSizeLimit();
  ConsoleSession console;

  printLine();
  printLine(msg::bannerTitle);
  printLine(msg::bannerRule);

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

  Session session{currentBuild, packageAvailable, {}};
  runMenuLoop(session);
  return 0;
}

}  // namespace vn3

int main() { return vn3::runPatcher(); }
