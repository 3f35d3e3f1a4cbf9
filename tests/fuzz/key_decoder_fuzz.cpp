// Feeds any byte stream to the key decoder the way the terminal reader does:
// one byte at a time, the end of the input taken as the wait running out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/console/key_decoder.hpp"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

// An exactly sized copy, so that the address sanitizer sees any read past
// the bytes handed over.
vn3::DecodeResult decodeExact(const std::vector<std::uint8_t>& bytes, bool expired,
                              vn3::DecodeState state) {
  auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return vn3::decodeKey(std::span<const std::uint8_t>(copy.get(), bytes.size()), expired, state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> pending;
  vn3::DecodeState state = vn3::DecodeState::Key;
  std::size_t next = 0;
  while (next < size || !pending.empty()) {
    if (pending.empty()) pending.push_back(data[next++]);
    // However long a string or sequence, the reader holds no more than the
    // longest key, with an Alt prefix.
    check(pending.size() <= 33);
    const bool expired = next == size;
    const vn3::DecodeResult result = decodeExact(pending, expired, state);
    if (result.status == vn3::DecodeStatus::NeedMore) {
      check(!expired);
      check(result.consumed == 0);
      pending.push_back(data[next++]);
      continue;
    }
    check(result.consumed >= 1 && result.consumed <= pending.size());
    check(!expired || result.next == vn3::DecodeState::Key);
    state = result.next;
    if (result.status == vn3::DecodeStatus::Key) {
      check(result.key.count == 1 || result.key.count == 2);
      // A pair always starts with one of the console's two prefixes.
      if (result.key.count == 2) check(result.key.code[0] == 0x00 || result.key.code[0] == 0xE0);
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(result.consumed));
  }
  return 0;
}
