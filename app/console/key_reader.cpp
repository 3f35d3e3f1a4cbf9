#include "app/console/key_reader.hpp"

#include <utility>

namespace vn3 {

std::optional<std::vector<std::uint8_t>> KeyReader::key() {
  while (!bytes_.empty()) {
    const DecodeResult result = decode_(bytes_, std::exchange(late_, false), state_);
    if (result.status == DecodeStatus::NeedMore) return std::nullopt;
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(result.consumed));
    state_ = result.next;
    if (result.status == DecodeStatus::Key) return result.key.bytes();
  }
  return std::nullopt;
}

}  // namespace vn3
