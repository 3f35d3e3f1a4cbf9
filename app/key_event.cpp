#include "app/key_event.hpp"

#include <optional>

#include "app/key_table.hpp"

namespace vn3 {

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

KeyEventInfo withCursorKeysAsGrey(KeyEventInfo event) {
  switch (event.scanCode) {
    case 0x47: case 0x48: case 0x49:  // Home, Up, Page Up
    case 0x4B: case 0x4D:             // Left, Right
    case 0x4F: case 0x50: case 0x51:  // End, Down, Page Down
    case 0x52: case 0x53:             // Insert, Delete
      if (event.character == 0) event.enhanced = true;
      break;
    default:
      break;
  }
  return event;
}

}  // namespace vn3
