#include "app/menu.hpp"

#include "app/console/console.hpp"
#include "app/frob_dialogue.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/patch_sites.hpp"

namespace vn3 {

std::optional<int> menuChoice(int code, bool packageOffered) {
  // No console (-1) quits too: nothing could ever be chosen, and waiting
  // would hang.
  if (code == 0 || code == -1 || code == 'Q' || code == 'q' || code == 27) return 0;
  if (code >= '1' && code <= '4') return code - '0';
  if (packageOffered && code >= '5' && code <= '9') return code - '0';
  return std::nullopt;
}

namespace {

// The menu's items in groups, each followed by a blank line.
constexpr std::string_view itemGroups[] = {"12", "34", "567", "89", "0"};

// Saves a stock block the action has just kept, unless an accepted file is
// there already (another instance may have saved it meanwhile). Silent: the
// block serves this run either way.
void saveKeptBlock(const StockBlock& block) {
  if (createDirectory(block.path.parent_path()) == CreateDirResult::Failed) return;
  if (readStockBlock(block.path, block.file)) return;
  saveStockFile(block.path, *block.bytes);
}

void runAction(int choice, Session& session) {
  if (choice == 1) {
    activateFrobHighlight(session);
    return;
  }
  const SiteList& list = *siteTable[static_cast<std::size_t>(choice - 1)];
  // Only the list's own stock block can be newly kept by its action.
  StockBlock* const stock = list.stock ? &(session.stock.*list.stock) : nullptr;
  const bool heldBefore = stock && stock->bytes;
  reportOutcome(runSiteList(list, session.currentBuild, session.stock));
  if (session.savesStock && stock && !heldBefore && stock->bytes) saveKeptBlock(*stock);
}

// Prints the menu and reads keys until one is accepted; 0 means quit.
int showMenu(bool packageAvailable) {
  printLine();
  for (const std::string_view group : itemGroups) {
    if (group[0] >= '5' && !packageAvailable) continue;  // the package's items
    for (const char key : group) printLine({"\t", msg::menuItem[key - '0']});
    printLine();
  }
  printPrompt(msg::menuPrompt);
  for (;;) {
    if (const std::optional<int> choice = menuChoice(readKey(), packageAvailable)) return *choice;
  }
}

}  // namespace

void runMenuLoop(Session& session) {
  while (const int choice = showMenu(session.packageAvailable)) runAction(choice, session);
}

void reportOutcome(const Outcome& outcome) {
  if (outcome.succeeded()) {
    reportSuccess(msg::patchApplied);
  } else {
    reportError(outcome.failure);
  }
}

}  // namespace vn3
