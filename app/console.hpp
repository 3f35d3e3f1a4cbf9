#pragma once
// The console's keyboard, as the platform gives it. One implementation per
// platform, picked by the build.
#include <optional>

#include "app/key_table.hpp"

namespace vn3 {

// Waits for the next key press on the console itself (never standard input)
// with the console in raw input only while waiting, and gives its one or two
// codes; a layer that gets more codes from one key at once gives them out
// over the following calls. Keys without a code are skipped. Nothing when no
// console can be read: there is none, or it reports end of input or an error.
std::optional<KeyCodes> readConsoleKey();

}  // namespace vn3
