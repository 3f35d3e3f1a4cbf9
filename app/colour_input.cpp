#include "app/colour_input.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace vn3 {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSign(char c) { return c == '+' || c == '-'; }
bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t digitsFrom(std::string_view text, std::size_t pos) {
  std::size_t end = pos;
  while (end < text.size() && isDigit(text[end])) ++end;
  return end - pos;
}

// Far beyond any double's decimal exponent, small enough that sums of a few
// of them cannot overflow.
constexpr long long exponentCap = 1'000'000'000'000LL;

// The power of ten of the first significant digit of a nonzero decimal
// number; used only to tell overflow from underflow.
long long decimalMagnitude(std::string_view whole, std::string_view fraction,
                           std::string_view exponent, bool exponentNegative) {
  long long magnitude = 0;
  if (const std::size_t first = whole.find_first_not_of('0'); first != std::string_view::npos) {
    magnitude = static_cast<long long>(whole.size() - first) - 1;
  } else if (const std::size_t lead = fraction.find_first_not_of('0');
             lead != std::string_view::npos) {
    magnitude = -static_cast<long long>(lead) - 1;
  }
  if (magnitude > exponentCap) magnitude = exponentCap;
  if (magnitude < -exponentCap) magnitude = -exponentCap;
  long long shift = 0;
  for (char c : exponent) {
    shift = shift * 10 + (c - '0');
    if (shift > exponentCap) {
      shift = exponentCap;
      break;
    }
  }
  return exponentNegative ? magnitude - shift : magnitude + shift;
}

}  // namespace

float narrowToFloat(double value) {
  constexpr double largest = std::numeric_limits<float>::max();
  constexpr double smallestNormal = std::numeric_limits<float>::min();
  const double magnitude = std::fabs(value);
  const float sign = std::signbit(value) ? -1.0f : 1.0f;
  // Out of range the conversion would be undefined, so saturate first.
  if (magnitude > largest) return sign * std::numeric_limits<float>::max();
  if (magnitude != 0 && magnitude < smallestNormal) return sign * std::numeric_limits<float>::min();
  return static_cast<float>(value);
}

std::optional<ParsedNumber> parseNumber(std::string_view text) {
  // Check the shape first: from_chars would take "inf" and "nan" and refuse
  // a leading "+".
  std::size_t pos = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && isSign(text[0])) ++pos;
  const std::size_t wholeStart = pos;
  const std::size_t wholeDigits = digitsFrom(text, pos);
  pos += wholeDigits;
  std::size_t fractionStart = pos;
  std::size_t fractionDigits = 0;
  if (pos < text.size() && text[pos] == '.') {
    fractionStart = ++pos;
    fractionDigits = digitsFrom(text, pos);
    pos += fractionDigits;
  }
  if (wholeDigits == 0 && fractionDigits == 0) return std::nullopt;

  // An exponent belongs to the number only when it has digits; otherwise
  // the "e" and its sign are left for whatever reads next.
  std::string_view exponent;
  bool exponentNegative = false;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t expPos = pos + 1;
    if (expPos < text.size() && isSign(text[expPos])) {
      exponentNegative = text[expPos] == '-';
      ++expPos;
    }
    if (const std::size_t expDigits = digitsFrom(text, expPos); expDigits > 0) {
      exponent = text.substr(expPos, expDigits);
      pos = expPos + expDigits;
    }
  }

  const std::size_t convertFrom = negative ? 0 : wholeStart;
  double value = 0;
  const auto result = std::from_chars(text.data() + convertFrom, text.data() + pos, value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone then: too large saturates, too small
    // for a double is a zero, each with the number's sign.
    const long long magnitude =
        decimalMagnitude(text.substr(wholeStart, wholeDigits),
                         text.substr(fractionStart, fractionDigits), exponent, exponentNegative);
    value = magnitude > 0 ? std::numeric_limits<double>::max() : 0.0;
    if (negative) value = -value;
  }
  return ParsedNumber{narrowToFloat(value), pos};
}

float clampComponent(float value) {
  if (value < 0.0f) return 0.0f;
  if (value > 1.0f) return 1.0f;
  return value;
}

std::optional<float> NumberReader::next() {
  for (;;) {
    while (pos_ < line_.size() && isSpace(line_[pos_])) ++pos_;
    if (pos_ < line_.size()) break;
    line_.clear();
    pos_ = 0;
    if (!std::getline(in_, line_)) {
      // End of input: give up now, but let a later prompt read again (a
      // terminal goes on after Ctrl+D).
      in_.clear();
      return std::nullopt;
    }
  }
  const std::optional<ParsedNumber> number =
      parseNumber(std::string_view(line_).substr(pos_));
  if (!number) {
    line_.clear();
    pos_ = 0;
    return std::nullopt;
  }
  pos_ += number->length;
  return number->value;
}

std::array<float, 3> readColour(NumberReader& reader, const std::array<float, 3>& current) {
  std::array<float, 3> colour = current;
  for (float& component : colour) {
    const std::optional<float> number = reader.next();
    if (!number) break;  // this one and the rest keep their values
    component = *number;
  }
  for (float& component : colour) component = clampComponent(component);
  return colour;
}

}  // namespace vn3
