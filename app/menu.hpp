#pragma once
#include <optional>

#include "app/session.hpp"
#include "patch/apply_patch.hpp"

namespace vn3 {

// What a key code asks of the menu: 0 to quit, 1 to 9 for an action, nothing
// for a key the menu ignores. Keys 5 to 9 count only while the package is
// available.
std::optional<int> menuChoice(int code, bool packageOffered);

// Shows the menu and runs the chosen actions until the user quits.
void runMenuLoop(Session& session);

// Prints an action's one outcome: its failure, or "-- Patch Applied --".
void reportOutcome(const Outcome& outcome);

}  // namespace vn3
