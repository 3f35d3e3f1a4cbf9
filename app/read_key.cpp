#include "app/read_key.hpp"

#include <optional>

#include "app/console.hpp"

namespace vn3 {

namespace {
// The second code of a two-code key, returned by the next call whichever
// prompt makes it.
std::optional<std::uint8_t> heldSecondCode;
}  // namespace

int readKey() {
  if (heldSecondCode) {
    const int code = *heldSecondCode;
    heldSecondCode.reset();
    return code;
  }
  const std::optional<KeyCodes> key = readConsoleKey();
  if (!key) return -1;
  if (key->count == 2) heldSecondCode = key->code[1];
  return key->code[0];
}

}  // namespace vn3
