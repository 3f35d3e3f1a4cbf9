#pragma once
// What one Windows console key event gives to readKey, kept apart from the
// console so it can be tested anywhere. The Windows console layer copies each
// event into a KeyEventInfo; nothing here needs the Windows headers.
#include <cstdint>
#include <functional>
#include <vector>

namespace vn3 {

struct KeyEventInfo {
  bool keyDown = true;
  std::uint16_t scanCode = 0;
  char16_t character = 0;         // the UTF-16 character the key carries, or 0
  bool enhanced = false;          // ENHANCED_KEY: a grey key, not the keypad's
  bool alt = false;               // either Alt key
  bool ctrl = false;              // either Ctrl key
  bool shift = false;
};

// The bytes of one character in the console's input code page.
using CodePageEncoder = std::function<std::vector<std::uint8_t>(char16_t)>;

// Every code the event gives, in order: a key-down that carries a character
// gives its code-page bytes; one that carries none gives the console table's
// codes for its scan code (see scanCodeKeyCodes). One key-down event gives
// one key's codes, whatever repeat count the console puts on it, as _getch()
// does: a folded count must not run an action twice. Key releases and keys
// without a code give nothing.
std::vector<std::uint8_t> keyEventCodes(const KeyEventInfo& event, const CodePageEncoder& encode);

// Wine's terminal console never sets ENHANCED_KEY: like any terminal it cannot
// tell the grey cursor keys from the keypad's. Taking them as the grey keys
// makes them give what the POSIX build gives for the same keys.
KeyEventInfo withCursorKeysAsGrey(KeyEventInfo event);

}  // namespace vn3
