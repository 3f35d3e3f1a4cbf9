#include "app/colour_input.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace vn3 {

namespace {

// The longest number a prompt reads exactly.
constexpr std::size_t numberLimit = 1000;
// Of the prompt's limit, what is kept for dropping the rest of a line: the
// longest line a terminal hands over, so none is left half read for the
// menu's keys.
constexpr std::size_t lineAllowance = 4096;

bool isSign(char c) { return c == '+' || c == '-'; }
bool isSpace(std::uint8_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t digitsFrom(std::string_view text, std::size_t pos) {
  return std::min(text.find_first_not_of("0123456789", pos), text.size()) - pos;
}

}  // namespace

float narrowToFloat(double value) {
  constexpr double largest = static_cast<double>(std::numeric_limits<float>::max());
  constexpr double smallestNormal = static_cast<double>(std::numeric_limits<float>::min());
  if (value == 0) return static_cast<float>(value);  // with its sign
  // Out of range the conversion would be undefined, so saturate first.
  const double magnitude = std::clamp(std::fabs(value), smallestNormal, largest);
  return static_cast<float>(std::copysign(magnitude, value));
}

std::optional<ParsedNumber> parseNumber(std::string_view text) {
  // Check the shape first: strtod would also take "inf", "nan" and hex.
  std::size_t pos = 0;
  if (!text.empty() && isSign(text[0])) ++pos;
  std::size_t digits = digitsFrom(text, pos);
  pos += digits;
  if (pos < text.size() && text[pos] == '.') {
    const std::size_t fraction = digitsFrom(text, pos + 1);
    digits += fraction;
    pos += 1 + fraction;
  }
  if (digits == 0) return std::nullopt;

  // An exponent belongs to the number only when it has digits; otherwise
  // the "e" and its sign are left for whatever reads next.
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t expPos = pos + 1;
    if (expPos < text.size() && isSign(text[expPos])) ++expPos;
    const std::size_t expDigits = digitsFrom(text, expPos);
    if (expDigits > 0) pos = expPos + expDigits;
  }

  // The shape is checked, so strtod (in the C locale the program never
  // leaves) takes exactly these characters; it saturates to infinity and
  // gives zero below the doubles, with the number's sign.
  const std::string number(text.substr(0, pos));
  return ParsedNumber{narrowToFloat(std::strtod(number.c_str(), nullptr)), pos};
}

std::optional<std::uint8_t> NumberReader::nextByte(bool dropping) {
  // At the prompt's limit the line stays unfinished: the next prompt drops
  // the rest of it first.
  if (budget_ <= (dropping ? 0 : lineAllowance)) return std::nullopt;
  --budget_;
  const std::optional<std::uint8_t> byte = source_();
  lineEnded_ = !byte || *byte == '\n' || *byte == '\r';
  return byte;
}

void NumberReader::dropRestOfLine() {
  word_.clear();
  wordOpen_ = false;
  // A typed line's rest is there already, so this never waits for a new
  // line, and nothing typed for the prompt reaches the menu's keys.
  while (!lineEnded_ && nextByte(true)) {
  }
}

bool NumberReader::nextNumber(bool sameLine, float& value) {
  // White space skipped, then the word up to the white space after it, but
  // never more than the longest number plus one character.
  while (word_.empty() || (wordOpen_ && word_.size() <= numberLimit)) {
    if (word_.empty() && sameLine && lineEnded_) return false;
    const std::optional<std::uint8_t> byte = nextByte();
    // Cut by the prompt's limit, or no word before the end of the input.
    if (!byte && (!lineEnded_ || word_.empty())) return false;
    wordOpen_ = byte && !isSpace(*byte);
    if (wordOpen_) word_.push_back(static_cast<char>(*byte));
  }
  const std::optional<ParsedNumber> number = parseNumber(word_);
  if (!number || number->length > numberLimit) return false;
  value = number->value;
  word_.erase(0, number->length);
  return true;
}

std::array<float, 3> NumberReader::readColour(const std::array<float, 3>& current) {
  std::array<float, 3> colour{};
  std::size_t read = 0;
  budget_ = promptLimit;
  dropRestOfLine();
  for (; read < colour.size(); ++read) {
    if (!kept_.empty()) {
      colour[read] = kept_.front();
      kept_.pop_front();
      continue;
    }
    if (!nextNumber(false, colour[read])) break;
    if (read + 1 < colour.size()) continue;
    float value = 0;
    while (nextNumber(true, value)) kept_.push_back(value);
  }
  // After an unreadable word or the numbers kept, the line is done with.
  dropRestOfLine();
  // Half a colour is nobody's colour: the one before stays whole.
  if (read < colour.size()) return current;
  // Negative zero is not below 0, so it stays.
  for (float& component : colour) component = std::clamp(component, 0.0f, 1.0f);
  return colour;
}

}  // namespace vn3
