#pragma once
// The codes a Windows console's _getch() gives for keys that carry no
// character: a prefix (0 or 0xE0) and a second code, chosen by modifier column.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vn3 {

struct KeyCodes {
  std::array<std::uint8_t, 2> code{};
  std::uint8_t count = 0;  // 1 for a character, 2 for a prefix and second code
  std::vector<std::uint8_t> bytes() const { return {code.begin(), code.begin() + count}; }
};

constexpr KeyCodes singleCode(std::uint8_t c) { return KeyCodes{{c, 0}, 1}; }

// clang-format off
enum class SpecialKey : std::uint8_t {
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  Home, Up, PageUp, Left, Right, End, Down, PageDown, Insert, Delete,
  Tab,      // only reaches the table with a modifier (Shift+Tab)
  NullKey,  // Ctrl+2
};
// clang-format on

struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// Windows picks one column by priority: Alt, then Ctrl, then Shift.
enum class Column : std::uint8_t { Plain, Shift, Ctrl, Alt };
Column columnFor(Modifiers mods);

// The pair for a key in a column; nothing where the console gives no code.
std::optional<KeyCodes> specialKeyCodes(SpecialKey key, Column column);

// The codes for a Windows console key event that carries no character, by its
// scan code: `enhanced` (ENHANCED_KEY) picks the grey keys' table, which also
// holds one-code characters (keypad Enter and /), over the main table of
// prefix-and-second-code pairs. Nothing where there is no entry.
std::optional<KeyCodes> scanCodeKeyCodes(std::uint16_t scanCode, bool enhanced, Column column);

// Whether the scan code is in the cursor block, which grey keys share with the keypad.
bool isCursorBlockScanCode(std::uint16_t scanCode);

}  // namespace vn3
