#pragma once
// Stand-ins for the two stock blocks of the graphics package: the leading
// bytes every genuine block has, then a pattern unlike anything else in the
// stand-in (all below 0x80, where the game files' pattern is above).
#include <cstddef>
#include <cstdint>

#include "standin.hpp"

namespace e2e::stock {

inline constexpr std::size_t trailSize = 464;
inline constexpr std::size_t glintSize = 2752;

inline constexpr std::uint64_t trailOffset(Build b) { return b == Build::A ? 0x11B040 : 0x11B840; }
inline constexpr std::uint64_t glintOffset(Build b) { return b == Build::A ? 0x2C5040 : 0x31D840; }

inline const Bytes trailLead = {0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x21,
                                0xF0, 0x31, 0x43, 0x08, 0x55, 0xD5, 0xB5, 0x2D};
inline const Bytes glintLead = {0x01, 0x00, 0x00, 0x00, 0x55, 0x55, 0x55, 0x55,
                                0x01, 0x00, 0x00, 0x00, 0x55, 0x55, 0x55, 0x55};

inline Bytes block(const Bytes& lead, std::size_t size, std::uint64_t seed) {
  Bytes bytes(lead);
  for (std::size_t i = lead.size(); i < size; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(patternByte(seed, i) & 0x7F));
  }
  return bytes;
}

inline Bytes trail() { return block(trailLead, trailSize, 71); }
inline Bytes glint() { return block(glintLead, glintSize, 93); }

}  // namespace e2e::stock
