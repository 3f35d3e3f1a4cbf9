// vn3patch-tool [status | backup | extract [PACKAGE] | --help | --version]:
// the patcher's companion, run from the game's System folder like vn3patch.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/console/console.hpp"
#include "app/tool/tool.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"

namespace vn3 {

namespace {

void printUsage() {
  printLine(msg::toolUsage);
  printLine(msg::toolCommands);
}

// Runs the command the arguments name; returns the exit status, 2 for
// arguments it does not know.
int runTool(std::span<const std::string_view> arguments) {
  const std::string_view command = arguments.empty() ? "status" : arguments.front();
  const std::size_t count = arguments.size();
  if (command == "status" && count <= 1) return showStatus();
  if (command == "backup" && count == 1) return makeBackup();
  if (command == "extract" && count <= 2) {
    return extractStockData(count == 2 ? std::optional(arguments[1]) : std::nullopt);
  }
  if (command == "--help" && count == 1) {
    printUsage();
    return 0;
  }
  if (command == "--version" && count == 1) {
    printLine(msg::fillIn(msg::toolVersion, {VN3_VERSION}));
    return 0;
  }
  printUsage();
  return 2;
}

}  // namespace

}  // namespace vn3

int main(int argc, char** argv) {
  vn3::failWritesPastSizeLimit();
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const int status = vn3::runTool(arguments);
  // Double-clicked, the console's window would close before the player has
  // read a line.
  if (arguments.empty() && vn3::consoleOfItsOwn()) {
    vn3::printLine();
    vn3::printLine(vn3::msg::pressAnyKey);
    vn3::readKey();
  }
  return status;
}
