#pragma once
// The terminal reader's loop, pure: it holds the bytes a terminal sends until
// they make up a key and says what to wait for; the caller reads and waits.
#include <optional>
#include <vector>

#include "app/console/key_decoder.hpp"

namespace vn3 {

class KeyReader {
 public:
  // A byte however long it takes, or within the short wait (a sequence is
  // incomplete, or a string open).
  enum class Wait { Byte, ByteWithinSequenceWait };
  using Decoder = DecodeResult (*)(std::span<const std::uint8_t>, bool, DecodeState);

  // `decode` is decodeKey, or one that checks its answers.
  explicit KeyReader(Decoder decode = decodeKey) : decode_(decode) {}

  // The codes of the next key the bytes so far make up; bytes left after a
  // key make up the next before another is read.
  std::optional<std::vector<std::uint8_t>> key();
  // What to wait for once key() gives nothing.
  Wait wants() const {
    return bytes_.empty() && state_ == DecodeState::Key ? Wait::Byte : Wait::ByteWithinSequenceWait;
  }
  void byteRead(std::uint8_t byte) { bytes_.push_back(byte); }
  // No byte arrived within the short wait: the bytes held are taken as they
  // are, or else a string or long sequence ends.
  void waitRanOut() {
    late_ = !bytes_.empty();
    if (!late_) state_ = DecodeState::Key;
  }
  std::size_t held() const { return bytes_.size(); }

 private:
  Decoder decode_;
  std::vector<std::uint8_t> bytes_;  // read, no key yet; they begin where state_ says
  DecodeState state_ = DecodeState::Key;
  bool late_ = false;  // the wait ran out with bytes held
};

}  // namespace vn3
