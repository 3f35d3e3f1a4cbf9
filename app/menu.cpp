#include "app/menu.hpp"

#include "app/console/console.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "patch/frob_highlight.hpp"

namespace vn3 {

// clang-format off
const std::array<MenuAction, 9> menuActions = {{
    // text              package  group ends  writes
    {msg::menuItem[1],   false,   false,      nullptr},
    {msg::menuItem[2],   false,   true,       &frobOff},
    {msg::menuItem[3],   false,   false,      &lootPctOff},
    {msg::menuItem[4],   false,   true,       &lootPctOn},
    {msg::menuItem[5],   true,    false,      &trailOff},
    {msg::menuItem[6],   true,    false,      &trailSubtle},
    {msg::menuItem[7],   true,    true,       &trailStock},
    {msg::menuItem[8],   true,    false,      &glintOff},
    {msg::menuItem[9],   true,    true,       &glintStock},
}};
// clang-format on

std::optional<int> menuChoice(int code, bool packageOffered) {
  // No console (-1) quits too: nothing could ever be chosen, and waiting
  // would hang.
  if (code == 0 || code == -1 || code == 'Q' || code == 'q' || code == 27) return 0;
  if (code < '1' || code > '9') return std::nullopt;
  const int choice = code - '0';
  if (menuActions[static_cast<std::size_t>(choice - 1)].needsPackage && !packageOffered) {
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
  const MenuAction& action = menuActions[static_cast<std::size_t>(choice - 1)];
  if (action.sites) {
    reportOutcome(runSiteList(*action.sites, session.currentBuild, session.stock));
  } else {
    activateFrobHighlight(session);
  }
}

// Prints the menu and reads keys until one is accepted; 0 means quit.
int showMenu(bool packageAvailable) {
  printLine();
  for (const MenuAction& action : menuActions) {
    if (action.needsPackage && !packageAvailable) continue;
    printLine({"\t", action.text});
    if (action.endsGroup) printLine();
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
