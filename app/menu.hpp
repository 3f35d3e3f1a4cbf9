#pragma once
#include <optional>

namespace vn3 {

// What a key code asks of the menu: 0 to quit, 1 to 9 for an action, nothing
// for a key the menu ignores. Keys 5 to 9 count only while the package is
// available.
std::optional<int> menuChoice(int code, bool packageOffered);

// Prints the menu and reads keys until one is accepted; 0 means quit.
int showMenu();

// Shows the menu and runs the chosen actions until the user quits.
void runMenuLoop();

}  // namespace vn3
