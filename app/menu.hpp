#pragma once
#include <optional>
#include <string_view>

#include "app/session.hpp"
#include "patch/apply_patch.hpp"
#include "patch/patch_sites.hpp"

namespace vn3 {

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
