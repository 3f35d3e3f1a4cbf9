#include "app/console/key_table.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace vn3 {
namespace {

constexpr KeyCodes none{};
constexpr KeyCodes p00(std::uint8_t second) { return KeyCodes{{0x00, second}, 2}; }
constexpr KeyCodes pE0(std::uint8_t second) { return KeyCodes{{0xE0, second}, 2}; }

// The entries of one key, indexed by Column.
using Columns = std::array<KeyCodes, 4>;

struct Row {
  SpecialKey key;
  Columns codes;
};

// What _getch() returns per key and modifier column. Function keys come from
// the scan-code table (prefix 0, E0 for F11/F12), the grey cursor block from
// the enhanced-key table (E0, but 0 with Alt). Ctrl+PageUp really is E0 86,
// the same as F12: the console gives it that way, so we do too.
// clang-format off
constexpr std::array kRows{
    //  key                   plain        shift        ctrl         alt
    Row{SpecialKey::F1,       {p00(0x3B),   p00(0x54),   p00(0x5E),   p00(0x68)}},
    Row{SpecialKey::F2,       {p00(0x3C),   p00(0x55),   p00(0x5F),   p00(0x69)}},
    Row{SpecialKey::F3,       {p00(0x3D),   p00(0x56),   p00(0x60),   p00(0x6A)}},
    Row{SpecialKey::F4,       {p00(0x3E),   p00(0x57),   p00(0x61),   p00(0x6B)}},
    Row{SpecialKey::F5,       {p00(0x3F),   p00(0x58),   p00(0x62),   p00(0x6C)}},
    Row{SpecialKey::F6,       {p00(0x40),   p00(0x59),   p00(0x63),   p00(0x6D)}},
    Row{SpecialKey::F7,       {p00(0x41),   p00(0x5A),   p00(0x64),   p00(0x6E)}},
    Row{SpecialKey::F8,       {p00(0x42),   p00(0x5B),   p00(0x65),   p00(0x6F)}},
    Row{SpecialKey::F9,       {p00(0x43),   p00(0x5C),   p00(0x66),   p00(0x70)}},
    Row{SpecialKey::F10,      {p00(0x44),   p00(0x5D),   p00(0x67),   p00(0x71)}},
    Row{SpecialKey::F11,      {pE0(0x85),   pE0(0x87),   pE0(0x89),   pE0(0x8B)}},
    Row{SpecialKey::F12,      {pE0(0x86),   pE0(0x88),   pE0(0x8A),   pE0(0x8C)}},
    Row{SpecialKey::Home,     {pE0(0x47),   pE0(0x47),   pE0(0x77),   p00(0x97)}},
    Row{SpecialKey::Up,       {pE0(0x48),   pE0(0x48),   pE0(0x8D),   p00(0x98)}},
    Row{SpecialKey::PageUp,   {pE0(0x49),   pE0(0x49),   pE0(0x86),   p00(0x99)}},
    Row{SpecialKey::Left,     {pE0(0x4B),   pE0(0x4B),   pE0(0x73),   p00(0x9B)}},
    Row{SpecialKey::Right,    {pE0(0x4D),   pE0(0x4D),   pE0(0x74),   p00(0x9D)}},
    Row{SpecialKey::End,      {pE0(0x4F),   pE0(0x4F),   pE0(0x75),   p00(0x9F)}},
    Row{SpecialKey::Down,     {pE0(0x50),   pE0(0x50),   pE0(0x91),   p00(0xA0)}},
    Row{SpecialKey::PageDown, {pE0(0x51),   pE0(0x51),   pE0(0x76),   p00(0xA1)}},
    Row{SpecialKey::Insert,   {pE0(0x52),   pE0(0x52),   pE0(0x92),   p00(0xA2)}},
    Row{SpecialKey::Delete,   {pE0(0x53),   pE0(0x53),   pE0(0x93),   p00(0xA3)}},
    // Plain Tab is the character 9, so it has no pair.
    Row{SpecialKey::Tab,      {none,        p00(0x0F),   p00(0x94),   p00(0x0F)}},
    Row{SpecialKey::NullKey,  {p00(0x03),   p00(0x03),   p00(0x03),   p00(0x03)}},
};
// clang-format on

// Lookup indexes by enum value, so the rows must stay in enum order.
constexpr bool rowsInEnumOrder() {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    if (static_cast<std::size_t>(kRows[i].key) != i) return false;
  }
  return true;
}
static_assert(kRows.size() == static_cast<std::size_t>(SpecialKey::NullKey) + 1);
static_assert(rowsInEnumOrder());

// The Windows console's own tables, by scan code, for key events that carry
// no character. The main table holds only its prefix-and-second-code entries:
// _getch() skips the others (characters, empty pairs) when an event carries
// no character, so a keypad digit with Shift and no character gives nothing.
using ScanKey = std::pair<std::uint8_t, SpecialKey>;
using enum SpecialKey;

constexpr Columns columnsOf(SpecialKey key) { return kRows[static_cast<std::size_t>(key)].codes; }

constexpr std::size_t kScanCodes = 0x59;  // up to F12's 0x58

using ScanTable = std::array<Columns, kScanCodes>;

constexpr ScanTable makeMainTable() {
  ScanTable t{};
  constexpr ScanKey functionKeys[] = {{0x3B, F1}, {0x3C, F2},  {0x3D, F3},  {0x3E, F4},
                                      {0x3F, F5}, {0x40, F6},  {0x41, F7},  {0x42, F8},
                                      {0x43, F9}, {0x44, F10}, {0x57, F11}, {0x58, F12}};
  for (const auto& [scan, key] : functionKeys) t[scan] = columnsOf(key);

  // With Alt, Esc, Backspace, Tab, Enter, letters and punctuation but \ give
  // their scan code; the digit row 1 to 0, then - and =, give 78 to 83.
  constexpr std::uint8_t altScanCodes[][2] = {
      {0x01, 0x01}, {0x0E, 0x1C}, {0x1E, 0x29}, {0x2C, 0x35}};
  constexpr auto ctrl = static_cast<std::size_t>(Column::Ctrl);
  constexpr auto alt = static_cast<std::size_t>(Column::Alt);
  for (const auto& range : altScanCodes) {
    for (std::uint8_t scan = range[0]; scan <= range[1]; ++scan) t[scan][alt] = p00(scan);
  }
  for (std::uint8_t scan = 0x02; scan <= 0x0D; ++scan) {
    t[scan][alt] = p00(static_cast<std::uint8_t>(scan + 0x76));
  }
  t[0x03][ctrl] = p00(0x03);  // Ctrl+2 is the null key
  t[0x0F] = columnsOf(Tab);

  // The numeric keypad with NumLock off: prefix 0, unlike the grey keys.
  // Shift gives the digits only as characters; Alt is Windows' Alt-code entry.
  // Each key gives its scan code plain, and the second code listed with Ctrl.
  constexpr std::uint8_t keypad[][2] = {{0x47, 0x77}, {0x48, 0x8D}, {0x49, 0x84}, {0x4B, 0x73},
                                        {0x4D, 0x74}, {0x4F, 0x75}, {0x50, 0x91}, {0x51, 0x76},
                                        {0x52, 0x92}, {0x53, 0x93}};
  for (const auto& [scan, second] : keypad) t[scan] = {p00(scan), none, p00(second), none};
  return t;
}

constexpr bool onlyPrefixPairs(const ScanTable& table) {
  for (const Columns& c : table) {
    for (const KeyCodes& k : c) {
      if (k.count == 0) continue;
      if (k.count != 2 || (k.code[0] != 0x00 && k.code[0] != 0xE0) || k.code[1] == 0) return false;
    }
  }
  return true;
}

constexpr ScanKey kGreyKeys[] = {{0x47, Home},   {0x48, Up},    {0x49, PageUp}, {0x4B, Left},
                                 {0x4D, Right},  {0x4F, End},   {0x50, Down},   {0x51, PageDown},
                                 {0x52, Insert}, {0x53, Delete}};

constexpr ScanTable makeEnhancedTable() {
  ScanTable t{};
  for (const auto& [scan, key] : kGreyKeys) t[scan] = columnsOf(key);
  t[0x1C] = {singleCode(0x0D), singleCode(0x0D), singleCode(0x0A), p00(0xA6)};  // keypad Enter
  t[0x35] = {singleCode('/'), singleCode('?'), p00(0x95), p00(0xA4)};           // keypad /
  return t;
}

constexpr ScanTable kMainTable = makeMainTable();
static_assert(onlyPrefixPairs(kMainTable));
constexpr ScanTable kEnhancedTable = makeEnhancedTable();

// A column's entry; nothing where it is empty.
std::optional<KeyCodes> pick(const Columns& columns, Column column) {
  const KeyCodes& codes = columns[static_cast<std::size_t>(column)];
  if (codes.count == 0) return std::nullopt;
  return codes;
}

}  // namespace

bool isCursorBlockScanCode(std::uint16_t scanCode) {
  return std::ranges::count(kGreyKeys, scanCode, &ScanKey::first) != 0;
}

std::optional<KeyCodes> scanCodeKeyCodes(std::uint16_t scanCode, bool enhanced, Column column) {
  if (scanCode >= kScanCodes) return std::nullopt;
  return pick((enhanced ? kEnhancedTable : kMainTable)[scanCode], column);
}

Column columnFor(Modifiers mods) {
  if (mods.alt) return Column::Alt;
  if (mods.ctrl) return Column::Ctrl;
  if (mods.shift) return Column::Shift;
  return Column::Plain;
}

std::optional<KeyCodes> specialKeyCodes(SpecialKey key, Column column) {
  if (static_cast<std::size_t>(key) >= kRows.size()) return std::nullopt;
  return pick(columnsOf(key), column);
}

}  // namespace vn3
