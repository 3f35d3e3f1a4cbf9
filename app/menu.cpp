#include "app/menu.hpp"

#include "app/console/console.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "patch/frob_highlight.hpp"

namespace vn3 {

namespace {

bool needsPackage(const SiteList& list) { return &list.effect.target == &packageTarget; }

}  // namespace

std::optional<int> menuChoice(int code, bool packageOffered) {
  // No console (-1) quits too: nothing could ever be chosen, and waiting
  // would hang.
  if (code == 0 || code == -1 || code == 'Q' || code == 'q' || code == 27) return 0;
  if (code < '1' || code > '9') return std::nullopt;
  const int choice = code - '0';
  if (needsPackage(*siteLists[static_cast<std::size_t>(choice - 1)]) && !packageOffered) {
    return std::nullopt;
  }
  return choice;
}

void activateFrobHighlight(Session& session) {
  printLine();
  printLine();
  printLine(msg::issuesTitle);
  printLine(msg::issueStealthGlow);
  printLine(msg::issueCrystals);
  printLine();
  printPrompt(msg::customColourQuestion);
  // The answer is a key from the console; numbers come from standard input.
  if (const int key = readKey(); key == 'y' || key == 'Y') {
    printLine();
    printPrompt(msg::colourPrompt);
    // Typed on the terminal, the numbers are echoed and edited as a line.
    const LineInput line;
    const auto [red, green, blue] = session.numbers.readColour(shaderColour(session.shaderImage));
    setShaderColour(session.shaderImage, red, green, blue);
    // The rest of a paste is no menu choice.
    dropTypedAhead();
  }
  reportOutcome(installFrobHighlight(session.shaderImage, session.currentBuild));
}

namespace {

void runAction(int choice, Session& session) {
  const SiteList& list = *siteLists[static_cast<std::size_t>(choice - 1)];
  // Key 1 writes its list through its dialogue.
  if (&list == &frobOn) {
    activateFrobHighlight(session);
  } else {
    reportOutcome(runSiteList(list, session.currentBuild, session.stock));
  }
}

// Prints the menu and reads keys until one is accepted; 0 means quit.
int showMenu(bool packageAvailable) {
  printLine();
  for (std::size_t i = 0; i < siteLists.size(); ++i) {
    const SiteList& list = *siteLists[i];
    if (needsPackage(list) && !packageAvailable) continue;
    printLine({"\t", msg::menuItem[list.menuKey]});
    // A blank line after each effect's items.
    if (endsEffect(i)) printLine();
  }
  printLine({"\t", msg::menuItem[0]});
  printLine();
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
