#include <deque>

#include "app/console/console.hpp"

namespace vn3 {

namespace {
// Codes of a key already read that are still to be given out, one per call
// whichever prompt makes it: the second code of a pair, the further bytes of
// a character.
std::deque<std::uint8_t> pendingCodes;
}  // namespace

int readKey() {
  if (pendingCodes.empty()) {
    const std::optional<std::vector<std::uint8_t>> codes = readConsoleKey();
    if (!codes || codes->empty()) return -1;
    pendingCodes.assign(codes->begin(), codes->end());
  }
  const int code = pendingCodes.front();
  pendingCodes.pop_front();
  return code;
}

}  // namespace vn3
