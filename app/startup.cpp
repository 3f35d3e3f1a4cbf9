// vn3patch: the banner, the installation check and the notices, then the menu.
#include "app/console/console.hpp"
#include "app/installation.hpp"
#include "app/menu.hpp"
#include "app/session.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"

namespace vn3 {

// Start-up, then the menu until the player quits. Command-line arguments are
// ignored.
int runPatcher() {
  failWritesPastSizeLimit();
  ConsoleSession console;

  printLine();
  printLine(msg::bannerTitle);
  printLine(msg::bannerRule);

  const ExeCheck exe = checkExecutable();
  if (!exe.build) {
    printLine();
    printLine(exe.error);
    printLine();
    printLine();
    printLine(msg::pressAnyKey);
    readKey();
    return 1;
  }
  const std::string_view packageWarning = checkPackage(*exe.build);
  if (!packageWarning.empty()) {
    printLine();
    printLine(packageWarning);
  }

  printLine();
  printLine(msg::backupNotice);
  printLine();
  printLine({msg::fileIndent, msg::backupExe});
  printLine({msg::fileIndent, msg::backupPackage});
  printLine();
  printLine(msg::otherPatchesNotice);
  printLine(msg::ownRiskNotice);
  printLine();

  Session session{*exe.build, packageWarning.empty(), {}};
  runMenuLoop(session);
  return 0;
}

}  // namespace vn3

int main() { return vn3::runPatcher(); }
