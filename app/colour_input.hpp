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

// The longest front part of `text` that is a number: an optional sign,
// digits with at most one point (either side of it may be empty, not both),
// then optionally "e" or "E", an optional sign and digits. Converted to
// double, then to float by narrowToFloat. Nothing when `text` does not
// begin with a number.
std::optional<ParsedNumber> parseNumber(std::string_view text);

// Double to float: a magnitude above the largest float becomes the largest
// float, a nonzero one below the smallest normal float becomes the smallest
// normal float, both with their sign.
float narrowToFloat(double value);

// Into 0 to 1: below 0 gives 0, above 1 gives 1. Negative zero is not below
// 0 and stays.
float clampComponent(float value);

// The next byte of input; nothing at its end (a later call may read again).
using ByteSource = std::function<std::optional<std::uint8_t>()>;

// Numbers for the colour prompts of a whole run.
class NumberReader {
 public:
  // The most one prompt reads, and the longest number it reads exactly.
  static constexpr std::size_t promptLimit = 64 * 1024;
  static constexpr std::size_t numberLimit = 1000;
  // Of the prompt's limit, what is kept for dropping the rest of a line: the
  // longest line a terminal hands over, so none is left half read for the
  // menu's keys.
  static constexpr std::size_t lineAllowance = 4096;

  explicit NumberReader(ByteSource source) : source_(std::move(source)) {}

  // Red, green and blue, each clamped. Numbers kept from an earlier prompt
  // come first; the rest is read from new lines, white space and line ends
  // (NL or CR) skipped. Whole numbers after the third on its line are kept
  // for the next prompt, up to the first text that does not begin a
  // number; the rest of that line is dropped. A number that cannot be read,
  // the end of the input or the prompt's limit ends the prompt: that
  // component and the later ones keep their `current` values.
  std::array<float, 3> readColour(const std::array<float, 3>& current);

 private:
  enum class Word { Number, Unreadable, End };
  // The next number, skipping white space; with `sameLine`, only on the
  // line read last.
  Word nextNumber(bool sameLine, float& value);
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
