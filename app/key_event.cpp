#include "app/key_event.hpp"

#include <optional>

#include "app/key_table.hpp"

namespace vn3 {

KeyEventInfo keyEventInfo(bool keyDown, std::uint16_t virtualKey, std::uint16_t scanCode,
                          char16_t character, std::uint32_t controlKeyState) {
  const auto has = [controlKeyState](std::uint32_t bits) { return (controlKeyState & bits) != 0; };
  KeyEventInfo info;
  info.keyDown = keyDown;
  info.virtualKey = virtualKey;
  info.scanCode = scanCode;
  info.character = character;
  info.enhanced = has(key_state::enhanced);
  info.alt = has(key_state::leftAlt | key_state::rightAlt);
  info.ctrl = has(key_state::leftCtrl | key_state::rightCtrl);
  info.shift = has(key_state::shift);
  return info;
}

std::vector<std::uint8_t> keyEventCodes(const KeyEventInfo& event, const CodePageEncoder& encode) {
  if (!event.keyDown) return {};

  if (event.character != 0) return encode(event.character);
  if (event.scanCode > 0xFF) return {};
  const Column column = columnFor({event.shift, event.ctrl, event.alt});
  const std::optional<KeyCodes> codes =
      scanCodeKeyCodes(static_cast<std::uint8_t>(event.scanCode), event.enhanced, column);
  if (!codes) return {};
  return std::vector<std::uint8_t>(codes->code.begin(), codes->code.begin() + codes->count);
}

namespace {

// Keys Wine's terminal console gives without their character, measured with
// Wine 8 and keys typed into a tmux pane: only a lone Esc (Alt+Esc carries
// it, and so do Enter, Tab, Backspace, Space, digits, letters, Ctrl+letters).
struct MissingCharacter {
  std::uint16_t virtualKey;
  std::uint16_t scanCode;
  char16_t character;
};
constexpr MissingCharacter kMissingCharacters[] = {
    {0x1B, 0x01, 0x1B},  // Esc
};

bool isCursorKey(std::uint16_t scanCode) {
  switch (scanCode) {
    case 0x47: case 0x48: case 0x49:  // Home, Up, Page Up
    case 0x4B: case 0x4D:             // Left, Right
    case 0x4F: case 0x50: case 0x51:  // End, Down, Page Down
    case 0x52: case 0x53:             // Insert, Delete
      return true;
    default:
      return false;
  }
}

}  // namespace

KeyEventInfo fromWineTerminal(KeyEventInfo event) {
  if (event.character != 0) return event;
  if (isCursorKey(event.scanCode)) {
    event.enhanced = true;
    return event;
  }
  if (event.alt || event.ctrl || event.shift || event.enhanced) return event;
  for (const MissingCharacter& key : kMissingCharacters) {
    if (key.virtualKey == event.virtualKey && key.scanCode == event.scanCode) {
      event.character = key.character;
    }
  }
  return event;
}

}  // namespace vn3
