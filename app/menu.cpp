#include "app/menu.hpp"


#include "app/read_key.hpp"
#include "common/console_out.hpp"
#include "common/game_build.hpp"
#include "common/messages.hpp"
#include "patch/frob_highlight.hpp"
#include "patch/patch_sites.hpp"

namespace vn3 {

namespace {

void printItem(int key) {
  printLine({"\t", msg::menuItem[key]});
}

void runAction(int choice) {
  if (choice == 1) {
    activateFrobHighlight();
  } else {
    runSiteList(*siteTable[static_cast<std::size_t>(choice - 1)]);
  }
}

}  // namespace

std::optional<int> menuChoice(int code, bool packageOffered) {
  // No console (-1) quits too: nothing could ever be chosen, and waiting
  // would hang.
  if (code == 0 || code == -1) return 0;
  if (code == 'Q' || code == 'q' || code == 27) return 0;
  if (code >= '1' && code <= '4') return code - '0';
  if (packageOffered && code >= '5' && code <= '9') return code - '0';
  return std::nullopt;
}

int showMenu() {
  printLine();
  printItem(1);
  printItem(2);
  printLine();
  printItem(3);
  printItem(4);
  printLine();
  if (packageAvailable) {
    printItem(5);
    printItem(6);
    printItem(7);
    printLine();
    printItem(8);
    printItem(9);
    printLine();
  }
  printItem(0);
  printLine();
  printPrompt(msg::menuPrompt);
  for (;;) {
    if (const std::optional<int> choice = menuChoice(readKey(), packageAvailable)) return *choice;
  }
}

void runMenuLoop() {
  for (int choice = showMenu(); choice >= 1 && choice <= 9; choice = showMenu()) {
    runAction(choice);
  }
}

}  // namespace vn3
