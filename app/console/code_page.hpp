#pragma once
// Windows only: the console gives characters as UTF-16, readKey gives the
// bytes of the console's input code page, as the Windows console always has.
#include <cstdint>
#include <vector>

namespace vn3 {

// The bytes of `character` in the Windows code page `codePage`: one for the
// 8-bit code pages, up to two for double-byte ones, up to three for UTF-8. A
// character the code page lacks becomes its default character; nothing if
// the code page is unknown.
std::vector<std::uint8_t> toCodePage(char16_t character, unsigned codePage);

}  // namespace vn3
