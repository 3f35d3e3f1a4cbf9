#include "app/console/key_event.hpp"

#include <optional>

#include "app/console/key_table.hpp"

namespace vn3 {

KeyEventInfo keyEventInfo(bool keyDown, std::uint16_t virtualKey, std::uint16_t scanCode,
                          char16_t character, std::uint32_t controlKeyState) {
  const auto has = [controlKeyState](std::uint32_t bits) { return (controlKeyState & bits) != 0; };
  return {.keyDown = keyDown,
          .virtualKey = virtualKey,
          .scanCode = scanCode,
          .character = character,
          .enhanced = has(key_state::enhanced),
          .alt = has(key_state::leftAlt | key_state::rightAlt),
          .ctrl = has(key_state::leftCtrl | key_state::rightCtrl),
          .shift = has(key_state::shift)};
}

std::vector<std::uint8_t> keyEventCodes(const KeyEventInfo& event, const CodePageEncoder& encode) {
  if (!event.keyDown) return {};

  if (event.character != 0) return encode(event.character);
  const Column column = columnFor({event.shift, event.ctrl, event.alt});
  const std::optional<KeyCodes> codes = scanCodeKeyCodes(event.scanCode, event.enhanced, column);
  return codes ? codes->bytes() : std::vector<std::uint8_t>{};
}

KeyEventInfo fromWineTerminal(KeyEventInfo event) {
  if (event.character != 0) return event;
  if (isCursorBlockScanCode(event.scanCode)) event.enhanced = true;
  // Measured with Wine 8 and keys typed into a tmux pane, only a lone Esc
  // lacks its character (Alt+Esc carries it, and so do Enter, Tab, Backspace,
  // Space, digits, letters, Ctrl+letters).
  const bool modified = event.alt || event.ctrl || event.shift || event.enhanced;
  if (!modified && event.virtualKey == 0x1B && event.scanCode == 0x01) event.character = 0x1B;
  return event;
}

}  // namespace vn3
