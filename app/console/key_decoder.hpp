#pragma once
// Turns the bytes a terminal sends for one key press into the codes a
// Windows console's _getch() gives for the same key. Pure: no terminal here.
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/console/key_table.hpp"

namespace vn3 {

enum class DecodeStatus {
  Key,      // `key` holds one or two codes; `consumed` bytes make up the key
  Nothing,  // `consumed` bytes were a key without a code, or garbage: drop them
  NeedMore  // the bytes so far begin a longer sequence: read another byte
};

// Where the bytes handed over begin: at a key, or inside a terminal's string
// (OSC, DCS, SOS, PM, APC) or overlong CSI sequence whose start was dropped:
// these have no length limit, so they go piece by piece, never held whole.
enum class DecodeState { Key, InString, InSequence };

struct DecodeResult {
  DecodeStatus status;
  KeyCodes key;          // valid only with DecodeStatus::Key
  std::size_t consumed;  // 0 only with NeedMore; never more than bytes.size()
  // Where the bytes after `consumed` begin; the reader passes it with the
  // next bytes, and it lapses to Key when none arrives within the short wait.
  DecodeState next = DecodeState::Key;
};

// `bytes` are the bytes read so far for this key, never empty, starting
// where `state` says. `waitExpired` says no further byte arrived within the
// short wait: the answer is then never NeedMore, and `next` is Key. Bytes
// past `consumed` belong to the next key.
DecodeResult decodeKey(std::span<const std::uint8_t> bytes, bool waitExpired,
                       DecodeState state = DecodeState::Key);

}  // namespace vn3
