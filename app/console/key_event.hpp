#pragma once
// What one Windows console key event gives to readKey. Free of the Windows
// headers, so it can be tested anywhere.
#include <cstdint>
#include <functional>
#include <vector>

namespace vn3 {

struct KeyEventInfo {
  bool keyDown = true;
  std::uint16_t virtualKey = 0;
  std::uint16_t scanCode = 0;
  char16_t character = 0;  // the UTF-16 character the key carries, or 0
  bool enhanced = false;   // ENHANCED_KEY: a grey key, not the keypad's
  bool alt = false;        // either Alt key
  bool ctrl = false;       // either Ctrl key
  bool shift = false;
};

// The bits of a key event's control-key state that matter here, with the
// values the Windows headers give them.
namespace key_state {
inline constexpr std::uint32_t rightAlt = 0x0001;
inline constexpr std::uint32_t leftAlt = 0x0002;
inline constexpr std::uint32_t rightCtrl = 0x0004;
inline constexpr std::uint32_t leftCtrl = 0x0008;
inline constexpr std::uint32_t shift = 0x0010;
inline constexpr std::uint32_t enhanced = 0x0100;
}  // namespace key_state

// A key event from the fields of the console's record.
KeyEventInfo keyEventInfo(bool keyDown, std::uint16_t virtualKey, std::uint16_t scanCode,
                          char16_t character, std::uint32_t controlKeyState);

// The bytes of one character in the console's input code page.
using CodePageEncoder = std::function<std::vector<std::uint8_t>(char16_t)>;

// Every code the event gives, in order, as _getch() gives them: a key-down's
// character as code-page bytes, or without one its scanCodeKeyCodes entry.
// One key-down gives one key's codes whatever repeat count the console puts
// on it: a folded count must not run an action twice. Key releases and keys
// without a code give nothing.
std::vector<std::uint8_t> keyEventCodes(const KeyEventInfo& event, const CodePageEncoder& encode);

// An event of Wine's console on a terminal (Wine started from one) made what
// a Windows console gives for the same key. Like any terminal it cannot tell
// the grey cursor keys from the keypad's and never sets ENHANCED_KEY: they
// are taken as the grey ones, as the POSIX build takes them. A lone Esc gets
// back its missing character. Wine's windowed console needs none of this.
KeyEventInfo fromWineTerminal(KeyEventInfo event);

// Windows only: the bytes of `character` in the Windows code page
// `codePage`, as the Windows console has always given them (one for the 8-bit
// code pages, up to two for double-byte ones, up to three for UTF-8). A
// character the code page lacks becomes its default character; nothing if
// the code page is unknown.
std::vector<std::uint8_t> toCodePage(char16_t character, unsigned codePage);

}  // namespace vn3
