#pragma once
// The three numbers of the colour prompt, read byte by byte from standard
// input (never from the console the keys come from), so that nothing past
// the line that holds them is taken.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vn3 {

struct ParsedNumber {
  float value;
  std::size_t length;  // characters taken from the front of the text
};

// The longest front part of `text` shaped [sign] digits [. digits] [e|E [sign] digits], with a
// digit on at least one side of the point, as a float by narrowToFloat; nothing if none.
std::optional<ParsedNumber> parseNumber(std::string_view text);

// Double to float, saturating with the sign: above the largest float to it, a nonzero
// magnitude below the smallest normal float to that.
float narrowToFloat(double value);

// The next byte of input; nothing at its end (a later call may read again).
using ByteSource = std::function<std::optional<std::uint8_t>()>;

// Numbers for the colour prompts of a whole run.
class NumberReader {
 public:
  // The most one prompt reads.
  static constexpr std::size_t promptLimit = 64 * 1024;

  explicit NumberReader(ByteSource source) : source_(std::move(source)) {}

  // Red, green and blue, each clamped: numbers kept from an earlier prompt
  // first, then from new lines. Whole numbers after the third on its line
  // are kept for the next prompt, up to the first other text; the rest of
  // that line is dropped. An unreadable number, the end of the input or the
  // prompt's limit ends the prompt and gives `current` back unchanged; kept
  // numbers it took are used up all the same.
  std::array<float, 3> readColour(const std::array<float, 3>& current);

 private:
  // The next number, skipping white space; with `sameLine`, only on the
  // line read last. False when there is none or it is unreadable.
  bool nextNumber(bool sameLine, float& value);
  std::optional<std::uint8_t> nextByte(bool dropping = false);
  void dropRestOfLine();

  ByteSource source_;
  std::deque<float> kept_;
  std::string word_;        // what is read of the current word and not yet taken
  bool wordOpen_ = false;   // the white space after word_ is not read yet
  bool lineEnded_ = true;   // the last byte read ended a line, or the input ended
  std::size_t budget_ = 0;  // bytes this prompt may still read
};

}  // namespace vn3
