#include "app/key_table.hpp"

#include <array>
#include <cstddef>

namespace vn3 {
namespace {

constexpr KeyCodes none{};
constexpr KeyCodes p00(std::uint8_t second) { return codePair(0x00, second); }
constexpr KeyCodes pE0(std::uint8_t second) { return codePair(0xE0, second); }

struct Row {
  SpecialKey key;
  KeyCodes plain, shift, ctrl, alt;
};

// What _getch() returns per key and modifier column. Function keys come from
// the scan-code table (prefix 0, E0 for F11/F12), the grey cursor block from
// the enhanced-key table (E0, but 0 with Alt). Ctrl+PageUp really is E0 86,
// the same as F12: the console gives it that way, so we do too.
constexpr std::array kRows{
    //  key                  plain        shift        ctrl         alt
    Row{SpecialKey::F1,       p00(0x3B),   p00(0x54),   p00(0x5E),   p00(0x68)},
    Row{SpecialKey::F2,       p00(0x3C),   p00(0x55),   p00(0x5F),   p00(0x69)},
    Row{SpecialKey::F3,       p00(0x3D),   p00(0x56),   p00(0x60),   p00(0x6A)},
    Row{SpecialKey::F4,       p00(0x3E),   p00(0x57),   p00(0x61),   p00(0x6B)},
    Row{SpecialKey::F5,       p00(0x3F),   p00(0x58),   p00(0x62),   p00(0x6C)},
    Row{SpecialKey::F6,       p00(0x40),   p00(0x59),   p00(0x63),   p00(0x6D)},
    Row{SpecialKey::F7,       p00(0x41),   p00(0x5A),   p00(0x64),   p00(0x6E)},
    Row{SpecialKey::F8,       p00(0x42),   p00(0x5B),   p00(0x65),   p00(0x6F)},
    Row{SpecialKey::F9,       p00(0x43),   p00(0x5C),   p00(0x66),   p00(0x70)},
    Row{SpecialKey::F10,      p00(0x44),   p00(0x5D),   p00(0x67),   p00(0x71)},
    Row{SpecialKey::F11,      pE0(0x85),   pE0(0x87),   pE0(0x89),   pE0(0x8B)},
    Row{SpecialKey::F12,      pE0(0x86),   pE0(0x88),   pE0(0x8A),   pE0(0x8C)},
    Row{SpecialKey::Home,     pE0(0x47),   pE0(0x47),   pE0(0x77),   p00(0x97)},
    Row{SpecialKey::Up,       pE0(0x48),   pE0(0x48),   pE0(0x8D),   p00(0x98)},
    Row{SpecialKey::PageUp,   pE0(0x49),   pE0(0x49),   pE0(0x86),   p00(0x99)},
    Row{SpecialKey::Left,     pE0(0x4B),   pE0(0x4B),   pE0(0x73),   p00(0x9B)},
    Row{SpecialKey::Right,    pE0(0x4D),   pE0(0x4D),   pE0(0x74),   p00(0x9D)},
    Row{SpecialKey::End,      pE0(0x4F),   pE0(0x4F),   pE0(0x75),   p00(0x9F)},
    Row{SpecialKey::Down,     pE0(0x50),   pE0(0x50),   pE0(0x91),   p00(0xA0)},
    Row{SpecialKey::PageDown, pE0(0x51),   pE0(0x51),   pE0(0x76),   p00(0xA1)},
    Row{SpecialKey::Insert,   pE0(0x52),   pE0(0x52),   pE0(0x92),   p00(0xA2)},
    Row{SpecialKey::Delete,   pE0(0x53),   pE0(0x53),   pE0(0x93),   p00(0xA3)},
    // Plain Tab is the character 9, so it has no pair.
    Row{SpecialKey::Tab,      none,        p00(0x0F),   p00(0x94),   p00(0x0F)},
    Row{SpecialKey::NullKey,  p00(0x03),   p00(0x03),   p00(0x03),   p00(0x03)},
};

// Lookup indexes by enum value, so the rows must stay in enum order.
constexpr bool rowsInEnumOrder() {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    if (static_cast<std::size_t>(kRows[i].key) != i) return false;
  }
  return true;
}
static_assert(kRows.size() == static_cast<std::size_t>(SpecialKey::NullKey) + 1);
static_assert(rowsInEnumOrder());

}  // namespace

Column columnFor(Modifiers mods) {
  if (mods.alt) return Column::Alt;
  if (mods.ctrl) return Column::Ctrl;
  if (mods.shift) return Column::Shift;
  return Column::Plain;
}

std::optional<KeyCodes> specialKeyCodes(SpecialKey key, Column column) {
  const auto index = static_cast<std::size_t>(key);
  if (index >= kRows.size()) return std::nullopt;
  const Row& row = kRows[index];
  KeyCodes codes;
  switch (column) {
    case Column::Plain: codes = row.plain; break;
    case Column::Shift: codes = row.shift; break;
    case Column::Ctrl: codes = row.ctrl; break;
    case Column::Alt: codes = row.alt; break;
    default: return std::nullopt;
  }
  if (codes.count == 0) return std::nullopt;
  return codes;
}

}  // namespace vn3
