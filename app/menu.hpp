#pragma once
#include <array>
#include <optional>
#include <string_view>

#include "app/session.hpp"
#include "patch/apply_patch.hpp"
#include "patch/patch_sites.hpp"

namespace vn3 {

// What one menu key means.
struct MenuAction {
  std::string_view text;  // the item as the menu prints it
  bool needsPackage;      // offered only while the package is available
  bool endsGroup;         // a blank line follows the item
  const SiteList* sites;  // what the action writes; none for action 1's dialogue
};

// The actions in menu order: key 1 first, key 9 last.
extern const std::array<MenuAction, 9> menuActions;

// What a key code asks of the menu: 0 to quit, 1 to 9 for an action, nothing
// for a key the menu ignores. A package's action counts only while the
// package is available.
std::optional<int> menuChoice(int code, bool packageOffered);

// Shows the menu and runs the chosen actions until the user quits.
void runMenuLoop(Session& session);

// Menu action 1: lists the known side effects, offers a colour of the
// player's own, then installs the single-colour highlight shader.
void activateFrobHighlight(Session& session);

// Prints an action's one outcome: its failure, or "-- Patch Applied --".
void reportOutcome(const Outcome& outcome);

}  // namespace vn3
