// Feeds any byte stream to the terminal's key reader: one byte at a time, the
// end of the input taken as every wait running out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/console/key_reader.hpp"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

// The decoder on an exactly sized copy, so that the address sanitizer sees
// any read past the bytes handed over; every answer keeps the reader's contract.
vn3::DecodeResult decodeExact(std::span<const std::uint8_t> bytes, bool expired,
                              vn3::DecodeState state) {
  auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy.get());
  const vn3::DecodeResult result =
      vn3::decodeKey(std::span<const std::uint8_t>(copy.get(), bytes.size()), expired, state);
  if (result.status == vn3::DecodeStatus::NeedMore) {
    check(!expired);
    check(result.consumed == 0);
    return result;
  }
  check(result.consumed >= 1 && result.consumed <= bytes.size());
  check(!expired || result.next == vn3::DecodeState::Key);
  if (result.status == vn3::DecodeStatus::Key) {
    check(result.key.count == 1 || result.key.count == 2);
    // A pair always starts with one of the console's two prefixes.
    if (result.key.count == 2) check(result.key.code[0] == 0x00 || result.key.code[0] == 0xE0);
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vn3::KeyReader reader(decodeExact);
  std::size_t next = 0;
  for (;;) {
    if (next < size) {
      reader.byteRead(data[next++]);
      // However long a string or sequence, the reader holds no more than the
      // longest key, with an Alt prefix.
      check(reader.held() <= 33);
    } else if (reader.wants() == vn3::KeyReader::Wait::ByteWithinSequenceWait) {
      reader.waitRanOut();
    } else {
      return 0;
    }
    while (reader.key()) continue;
  }
}
