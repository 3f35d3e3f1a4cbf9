// Feeds any text to the colour prompt's number reader, as standard input
// would, prompt after prompt until the input is used up.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/colour_input.hpp"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool inUnitRange(float v) { return !std::isnan(v) && v >= 0.0f && v <= 1.0f; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  if (const auto number = vn3::parseNumber(text)) {
    check(number->length >= 1 && number->length <= text.size());
    check(!std::isnan(number->value) && !std::isinf(number->value));
  }

  std::size_t pos = 0;
  vn3::NumberReader reader([&]() -> std::optional<std::uint8_t> {
    if (pos == size) return std::nullopt;
    return data[pos++];
  });
  std::array<float, 3> colour = {0.1f, 0.1f, 0.1f};
  // Each prompt takes at least one byte or meets the end of the input, so
  // this many prompts see all of it, and the last ones must return at once.
  for (std::size_t prompt = 0; prompt <= size + 1; ++prompt) {
    colour = reader.readColour(colour);
    for (const float component : colour) check(inUnitRange(component));
  }
  return 0;
}
