#pragma once
// The three numbers of the colour prompt, read from line-buffered standard
// input (never from the console the keys come from).
#include <array>
#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

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

// Numbers from a stream, one line at a time. What is left of a line after a
// number stays here for the next call, even a call made by a later prompt.
class NumberReader {
 public:
  explicit NumberReader(std::istream& in) : in_(in) {}

  // Skips white space, line ends included, and takes one number. Nothing
  // when the input has ended (the stream's state is then cleared, so a
  // later call tries afresh) or when the text there does not begin a number
  // (the rest of that line is then dropped).
  std::optional<float> next();

 private:
  std::istream& in_;
  std::string line_;     // the current line, without its line end
  std::size_t pos_ = 0;  // first character of line_ not taken yet
};

// Red, green and blue from `reader`, each clamped. From the first component
// that cannot be read on, the components keep their `current` values.
std::array<float, 3> readColour(NumberReader& reader, const std::array<float, 3>& current);

}  // namespace vn3
