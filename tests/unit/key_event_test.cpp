// Windows console key events to readKey codes, checked against the console's
// documented _getch() codes.
#include "app/console/key_event.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vn3 {
namespace {

using Codes = std::vector<std::uint8_t>;

// Stands in for the console's code page: a few characters of code page 437,
// one double-byte character, and nothing for a character it cannot encode.
Codes fakeCodePage(char16_t c) {
  switch (c) {
    case u'\u00E9':
      return {0x82};  // é
    case u'\u65E5':
      return {0x93, 0xFA};  // 日, as code page 932 has it
    case u'\uFFFF':
      return {};
    default:
      return {static_cast<std::uint8_t>(c)};
  }
}

Codes codesOf(const KeyEventInfo& event) { return keyEventCodes(event, fakeCodePage); }

// Modifier sets, as the console reports them.
enum Mods : unsigned { None = 0, Shift = 1, Ctrl = 2, Alt = 4 };

KeyEventInfo key(std::uint16_t scan, unsigned mods = None, char16_t character = 0) {
  KeyEventInfo e;
  e.scanCode = scan;
  e.character = character;
  e.shift = (mods & Shift) != 0;
  e.ctrl = (mods & Ctrl) != 0;
  e.alt = (mods & Alt) != 0;
  return e;
}

KeyEventInfo grey(std::uint16_t scan, unsigned mods = None, char16_t character = 0) {
  KeyEventInfo e = key(scan, mods, character);
  e.enhanced = true;
  return e;
}

struct Case {
  const char* what;
  KeyEventInfo event;
  Codes codes;
};

void expectCodes(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(codesOf(c.event), c.codes) << c.what;
  }
}

TEST(KeyEventCodes, KeysThatCarryACharacterGiveItsCodePageBytes) {
  expectCodes({
      {"a", key(0x1E, None, u'a'), {0x61}},
      {"Shift+Q", key(0x10, Shift, u'Q'), {0x51}},
      {"Enter", key(0x1C, None, u'\r'), {0x0D}},
      {"Ctrl+C", key(0x2E, Ctrl, 3), {0x03}},
      {"Ctrl+Z", key(0x2C, Ctrl, 26), {0x1A}},
      {"Esc with its character", key(0x01, None, 27), {0x1B}},
      // A character wins over the Alt table: Alt+A gives "a", not 00 1E.
      {"Alt+A", key(0x1E, Alt, u'a'), {0x61}},
      {"Alt+Esc under Wine", key(0x01, Alt, 27), {0x1B}},
      {"keypad 8, NumLock on", key(0x48, None, u'8'), {0x38}},
      // Characters the terminal gives Wine arrive with no scan code.
      {"e acute", key(0, None, u'\u00E9'), {0x82}},
      {"double-byte character", key(0, None, u'\u65E5'), {0x93, 0xFA}},
      {"character the code page lacks", key(0, None, u'\uFFFF'), {}},
  });
}

TEST(KeyEventCodes, FunctionKeys) {
  expectCodes({
      {"F1", key(0x3B), {0x00, 0x3B}},
      {"Shift+F1", key(0x3B, Shift), {0x00, 0x54}},
      {"Ctrl+F1", key(0x3B, Ctrl), {0x00, 0x5E}},
      {"Alt+F1", key(0x3B, Alt), {0x00, 0x68}},
      {"F5", key(0x3F), {0x00, 0x3F}},
      {"F10", key(0x44), {0x00, 0x44}},
      {"Alt+F10", key(0x44, Alt), {0x00, 0x71}},
      {"F11", key(0x57), {0xE0, 0x85}},
      {"F12", key(0x58), {0xE0, 0x86}},
      {"Shift+F11", key(0x57, Shift), {0xE0, 0x87}},
      {"Ctrl+F12", key(0x58, Ctrl), {0xE0, 0x8A}},
      {"Alt+F11", key(0x57, Alt), {0xE0, 0x8B}},
      {"Alt+F12", key(0x58, Alt), {0xE0, 0x8C}},
      // One column by priority: Alt, then Ctrl, then Shift.
      {"Ctrl+Alt+F2", key(0x3C, Ctrl | Alt), {0x00, 0x69}},
      {"Shift+Ctrl+F5", key(0x3F, Shift | Ctrl), {0x00, 0x62}},
      {"Shift+Alt+F3", key(0x3D, Shift | Alt), {0x00, 0x6A}},
  });
}

TEST(KeyEventCodes, GreyCursorBlock) {
  expectCodes({
      {"Home", grey(0x47), {0xE0, 0x47}},
      {"Up", grey(0x48), {0xE0, 0x48}},
      {"Page Up", grey(0x49), {0xE0, 0x49}},
      {"Left", grey(0x4B), {0xE0, 0x4B}},
      {"Right", grey(0x4D), {0xE0, 0x4D}},
      {"End", grey(0x4F), {0xE0, 0x4F}},
      {"Down", grey(0x50), {0xE0, 0x50}},
      {"Page Down", grey(0x51), {0xE0, 0x51}},
      {"Insert", grey(0x52), {0xE0, 0x52}},
      {"Delete", grey(0x53), {0xE0, 0x53}},
      {"Shift+Page Down", grey(0x51, Shift), {0xE0, 0x51}},
      {"Ctrl+Page Down", grey(0x51, Ctrl), {0xE0, 0x76}},
      {"Ctrl+Page Up, the same as F12", grey(0x49, Ctrl), {0xE0, 0x86}},
      {"Ctrl+Up", grey(0x48, Ctrl), {0xE0, 0x8D}},
      {"Ctrl+Delete", grey(0x53, Ctrl), {0xE0, 0x93}},
      {"Alt+Home", grey(0x47, Alt), {0x00, 0x97}},
      {"Alt+Down", grey(0x50, Alt), {0x00, 0xA0}},
      {"Alt+Delete", grey(0x53, Alt), {0x00, 0xA3}},
      {"keypad Enter without character", grey(0x1C), {0x0D}},
      {"Alt+keypad Enter", grey(0x1C, Alt), {0x00, 0xA6}},
      {"Ctrl+keypad /", grey(0x35, Ctrl), {0x00, 0x95}},
      {"Alt+keypad /", grey(0x35, Alt), {0x00, 0xA4}},
  });
}

TEST(KeyEventCodes, KeypadWithNumLockOff) {
  expectCodes({
      {"keypad Home", key(0x47), {0x00, 0x47}},
      {"keypad Up", key(0x48), {0x00, 0x48}},
      {"keypad Page Down", key(0x51), {0x00, 0x51}},
      {"keypad Delete", key(0x53), {0x00, 0x53}},
      {"Ctrl+keypad Page Up", key(0x49, Ctrl), {0x00, 0x84}},
      {"Ctrl+keypad Left", key(0x4B, Ctrl), {0x00, 0x73}},
      {"Ctrl+keypad Insert", key(0x52, Ctrl), {0x00, 0x92}},
      // The digit comes only as the event's character.
      {"Shift+keypad Home without character", key(0x47, Shift), {}},
      {"keypad 5", key(0x4C), {}},
      {"Ctrl+keypad 5", key(0x4C, Ctrl), {}},
      {"Alt+keypad Up, Windows' Alt-code entry", key(0x48, Alt), {}},
  });
}

// Without a character, only the main table's pairs count: where it holds a
// character, the key is skipped.
TEST(KeyEventCodes, KeysWithoutCharacterGiveOnlyTheMainTablesPairs) {
  expectCodes({
      {"Esc", key(0x01), {}},
      {"Shift+Esc", key(0x01, Shift), {}},
      {"Alt+Esc", key(0x01, Alt), {0x00, 0x01}},
      {"Enter", key(0x1C), {}},
      {"Ctrl+Enter", key(0x1C, Ctrl), {}},
      {"Alt+Enter", key(0x1C, Alt), {0x00, 0x1C}},
      {"Ctrl+Backspace", key(0x0E, Ctrl), {}},
      {"Alt+Backspace", key(0x0E, Alt), {0x00, 0x0E}},
      {"Shift+Tab", key(0x0F, Shift), {0x00, 0x0F}},
      {"Ctrl+Tab", key(0x0F, Ctrl), {0x00, 0x94}},
      {"Ctrl+2, the null key", key(0x03, Ctrl), {0x00, 0x03}},
      {"Ctrl+Shift+2, Wine's Ctrl+@", key(0x03, Ctrl | Shift), {0x00, 0x03}},
      {"Ctrl+6", key(0x07, Ctrl), {}},
      {"Ctrl+-", key(0x0C, Ctrl), {}},
      {"Ctrl+[", key(0x1A, Ctrl), {}},
      {"Ctrl+]", key(0x1B, Ctrl), {}},
      {"Ctrl+\\", key(0x2B, Ctrl), {}},
      {"Alt+\\ has no code", key(0x2B, Alt), {}},
      {"Alt+[", key(0x1A, Alt), {0x00, 0x1A}},
      {"Alt+;", key(0x27, Alt), {0x00, 0x27}},
      {"Alt+/", key(0x35, Alt), {0x00, 0x35}},
      {"Alt+=", key(0x0D, Alt), {0x00, 0x83}},
      {"Alt+-", key(0x0C, Alt), {0x00, 0x82}},
      {"Space", key(0x39), {}},
      {"Ctrl+Space", key(0x39, Ctrl), {}},
  });
}

// Letters by their place on the keyboard: the Alt table's codes are the keys'
// scan codes; without a character the other columns give nothing.
TEST(KeyEventCodes, LettersWithoutCharacter) {
  const std::uint8_t altCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                     0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                     0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  for (int i = 0; i < 26; ++i) {
    const std::uint16_t scan = altCodes[i];
    const auto letter = static_cast<std::uint8_t>('a' + i);
    SCOPED_TRACE(std::string(1, static_cast<char>(letter)));
    EXPECT_EQ(codesOf(key(scan, Alt)), (Codes{0x00, altCodes[i]}));
    EXPECT_EQ(codesOf(key(scan)), Codes{});
    EXPECT_EQ(codesOf(key(scan, Shift)), Codes{});
    EXPECT_EQ(codesOf(key(scan, Ctrl)), Codes{});
  }
}

TEST(KeyEventCodes, DigitRowWithAlt) {
  // Scan codes 2 to 11 are the keys 1 to 9 and 0.
  for (std::uint16_t scan = 0x02; scan <= 0x0B; ++scan) {
    EXPECT_EQ(codesOf(key(scan, Alt)), (Codes{0x00, static_cast<std::uint8_t>(0x76 + scan)}))
        << "scan " << scan;
  }
}

TEST(KeyEventCodes, EventsThatGiveNothing) {
  KeyEventInfo releasedA = key(0x1E, None, u'a');
  releasedA.keyDown = false;
  KeyEventInfo releasedF1 = key(0x3B);
  releasedF1.keyDown = false;
  expectCodes({
      {"release of a", releasedA, {}},
      {"release of F1", releasedF1, {}},
      {"Shift alone", key(0x2A, Shift), {}},
      {"right Shift alone", key(0x36, Shift), {}},
      {"Ctrl alone", key(0x1D, Ctrl), {}},
      {"right Ctrl alone", grey(0x1D, Ctrl), {}},
      {"Alt alone", key(0x38, Alt), {}},
      {"right Alt alone", grey(0x38, Alt), {}},
      {"Caps Lock", key(0x3A), {}},
      {"Num Lock", grey(0x45), {}},
      {"Windows key", grey(0x5B), {}},
      {"keypad * without character", key(0x37), {}},
      // A terminal sequence Wine does not know arrives as key 0.
      {"unknown key", key(0x00), {}},
      {"scan code past the tables", key(0x59), {}},
      {"scan code past one byte", key(0x13B), {}},
      {"grey key that is no cursor key", grey(0x3B), {}},
  });
}

// Records measured in Wine 8's consoles: virtual key, scan code, character,
// control-key state. The windowed console reports keys as Windows does; the
// one on a terminal never sets ENHANCED_KEY and loses Esc's character.
KeyEventInfo windowed(std::uint16_t vk, std::uint16_t scan, char16_t c, std::uint32_t state) {
  return keyEventInfo(true, vk, scan, c, state);
}
KeyEventInfo terminal(std::uint16_t vk, std::uint16_t scan, char16_t c, std::uint32_t state) {
  return fromWineTerminal(windowed(vk, scan, c, state));
}

TEST(KeyEventCodes, RecordsOfWinesConsoles) {
  expectCodes({
      {"windowed: Up", windowed(0x26, 0x48, 0, 0x0100), {0xE0, 0x48}},
      {"windowed: keypad Up", windowed(0x26, 0x48, 0, 0), {0x00, 0x48}},
      {"windowed: Alt+Up", windowed(0x26, 0x48, 0, 0x0102), {0x00, 0x98}},
      {"windowed: Alt+keypad Up", windowed(0x26, 0x48, 0, 0x0002), {}},
      {"windowed: Page Down", windowed(0x22, 0x51, 0, 0x0100), {0xE0, 0x51}},
      {"windowed: keypad Page Down", windowed(0x22, 0x51, 0, 0), {0x00, 0x51}},
      {"windowed: Ctrl+Page Down", windowed(0x22, 0x51, 0, 0x0108), {0xE0, 0x76}},
      {"windowed: Shift+Page Down", windowed(0x22, 0x51, 0, 0x0110), {0xE0, 0x51}},
      {"windowed: F11", windowed(0x7A, 0x57, 0, 0), {0xE0, 0x85}},
      {"windowed: Alt+F1", windowed(0x70, 0x3B, 0, 0x0002), {0x00, 0x68}},
      {"windowed: Ctrl+C", windowed(0x43, 0x2E, 0x03, 0x0008), {0x03}},
      {"windowed: Alt+A", windowed(0x41, 0x1E, u'a', 0x0002), {'a'}},
      {"windowed: Shift+Tab", windowed(0x09, 0x0F, 0x09, 0x0010), {0x09}},
      {"windowed: Ctrl+2", windowed(0x32, 0x03, 0, 0x0008), {0x00, 0x03}},
      {"windowed: keypad 5", windowed(0x0C, 0x4C, 0, 0), {}},
      {"windowed: Shift+keypad 5", windowed(0x0C, 0x4C, 0, 0x0010), {}},
      {"windowed: Shift+keypad Up", windowed(0x26, 0x48, 0, 0x0010), {}},
      {"windowed: Shift+keypad End", windowed(0x23, 0x4F, 0, 0x0010), {}},
      {"windowed: keypad Enter", windowed(0x0D, 0x1C, 0x0D, 0x0100), {0x0D}},
      {"windowed: keypad /", windowed(0x6F, 0x35, u'/', 0x0100), {'/'}},
      {"terminal: Esc", terminal(0x1B, 0x01, 0, 0), {0x1B}},
      {"terminal: Ctrl+@", terminal(0x32, 0x03, 0, 0x0018), {0x00, 0x03}},
      {"terminal: Up", terminal(0x26, 0x48, 0, 0), {0xE0, 0x48}},
      {"terminal: Alt+Up", terminal(0x26, 0x48, 0, 0x0002), {0x00, 0x98}},
      // Only the measured records get a character back.
      {"terminal: Alt+Esc without character", terminal(0x1B, 0x01, 0, 0x0002), {0x00, 0x01}},
      {"terminal: Shift+Esc without character", terminal(0x1B, 0x01, 0, 0x0010), {}},
      {"terminal: F1 is untouched", terminal(0x70, 0x3B, 0, 0), {0x00, 0x3B}},
  });
}

}  // namespace
}  // namespace vn3
