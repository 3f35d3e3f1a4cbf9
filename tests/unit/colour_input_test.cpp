#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "app/colour_input.hpp"

namespace vn3 {
namespace {

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

constexpr std::uint32_t plusZero = 0x00000000;
constexpr std::uint32_t minusZero = 0x80000000;
constexpr std::uint32_t floatMax = 0x7F7FFFFF;
constexpr std::uint32_t minusFloatMax = 0xFF7FFFFF;
constexpr std::uint32_t floatMin = 0x00800000;  // smallest normal
constexpr std::uint32_t minusFloatMin = 0x80800000;

struct ParseCase {
  std::string text;
  std::size_t length;  // 0: not a number
  std::uint32_t valueBits = 0;
};

std::vector<ParseCase> parseCases() {
  const std::string zeros400(400, '0');
  return {
      // Plain forms, signs, and either side of the point empty.
      {"0.5", 3, bits(0.5f)},
      {"1", 1, bits(1.0f)},
      {"007", 3, bits(7.0f)},
      {".5", 2, bits(0.5f)},
      {"5.", 2, bits(5.0f)},
      {"+.5", 3, bits(0.5f)},
      {"-5.e-1", 6, bits(-0.5f)},
      {"+0.25", 5, bits(0.25f)},
      {"1E2", 3, bits(100.0f)},
      {"1e+2", 4, bits(100.0f)},
      {"25e-2", 5, bits(0.25f)},
      // Negative zero keeps its sign, however it is written.
      {"-0", 2, minusZero},
      {"-0.0e5", 6, minusZero},
      {"+0", 2, plusZero},
      {"0e99999999999999999999", 22, plusZero},
      // Too small for a float: the smallest normal float, with the sign.
      {"1e-39", 5, floatMin},
      {"-1e-39", 6, minusFloatMin},
      {"1.1754942e-38", 13, floatMin},
      {"1e-310", 6, floatMin},  // a double, but not a normal one
      // Too small for a double: zero, with the sign.
      {"1e-400", 6, plusZero},
      {"-1e-400", 7, minusZero},
      {"1e-99999999999999999999999", 26, plusZero},
      // Too large: the largest float, with the sign.
      {"1e39", 4, floatMax},
      {"3.4028236e38", 12, floatMax},  // would round up to infinity
      {"1e999", 5, floatMax},
      {"-1e999", 6, minusFloatMax},
      {"1e99999999999999999999999", 25, floatMax},
      // Where the first significant digit sits decides overflow or
      // underflow together with the exponent.
      {"0.1e310", 7, floatMax},
      {"0." + zeros400 + "1e500", 407, floatMax},
      {"0." + zeros400 + "1e100", 407, floatMin},
      {"1" + zeros400 + "e-1000", 407, plusZero},
      {"1" + zeros400 + "e-500", 406, floatMin},
      {"-" + zeros400 + "2e-330", 407, minusZero},  // leading zeros do not count
      // Long numbers are taken whole.
      {"0." + std::string(60, '2'), 62, bits(0.22222222f)},
      // The longest front part that is a number; the rest is left.
      {"0.5abc", 3, bits(0.5f)},
      {"2.5e-1x", 6, bits(0.25f)},
      {"1e", 1, bits(1.0f)},
      {"1e+", 1, bits(1.0f)},
      {"1E-x", 1, bits(1.0f)},
      {"1.5.5", 3, bits(1.5f)},
      {"0x1A", 1, plusZero},
      {"3 4", 1, bits(3.0f)},
      {"-1-1", 2, bits(-1.0f)},
      // Not numbers at all.
      {"", 0},
      {"abc", 0},
      {"+", 0},
      {"-", 0},
      {".", 0},
      {"+.", 0},
      {"-.e5", 0},
      {"e5", 0},
      {"inf", 0},
      {"nan", 0},
      {"--1", 0},
      {"+-1", 0},
      {",5", 0},
      {" 1", 0},
  };
}

TEST(ParseNumber, TakesTheLongestNumberAndSaturates) {
  for (const ParseCase& c : parseCases()) {
    SCOPED_TRACE(testing::Message() << '"' << c.text.substr(0, 40) << '"');
    const std::optional<ParsedNumber> parsed = parseNumber(c.text);
    if (c.length == 0) {
      EXPECT_FALSE(parsed.has_value());
      continue;
    }
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->length, c.length);
    EXPECT_EQ(bits(parsed->value), c.valueBits) << parsed->value;
  }
}

TEST(NarrowToFloat, SaturatesAtBothEndsAndKeepsTheSign) {
  constexpr double dmax = std::numeric_limits<double>::max();
  constexpr double fmax = static_cast<double>(std::numeric_limits<float>::max());
  constexpr double fmin = static_cast<double>(std::numeric_limits<float>::min());
  const struct {
    double value;
    std::uint32_t bits;
  } cases[] = {
      {0.0, plusZero},
      {-0.0, minusZero},
      {fmax, floatMax},
      {std::nextafter(fmax, dmax), floatMax},
      {dmax, floatMax},
      {-dmax, minusFloatMax},
      {fmin, floatMin},
      {std::nextafter(fmin, 0.0), floatMin},
      {std::numeric_limits<double>::denorm_min(), floatMin},
      {-std::numeric_limits<double>::denorm_min(), minusFloatMin},
      {0.1, 0x3DCCCCCD},
      {-2.0, bits(-2.0f)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bits(narrowToFloat(c.value)), c.bits) << c.value;
  }
}

const std::array<float, 3> current = {0.1f, 0.2f, 0.3f};

// Standard input as the reader sees it: the text's bytes, then the end of
// input at every call until more is added (as on a terminal after Ctrl+D).
struct Input {
  std::string text;
  std::size_t pos = 0;
  std::size_t reads = 0;
  ByteSource source() {
    return [this]() -> std::optional<std::uint8_t> {
      ++reads;
      if (pos == text.size()) return std::nullopt;
      return static_cast<std::uint8_t>(text[pos++]);
    };
  }
};

// What successive colour prompts read from one stream.
struct ReaderCase {
  const char* what;
  std::string input;
  std::vector<std::array<float, 3>> colours;  // one per prompt
  std::size_t unread = 0;                     // bytes left for the menu's keys
};

TEST(ReadColour, SuccessivePromptsOverOneStream) {
  constexpr float fmin = std::numeric_limits<float>::min();
  const std::string longNumber = "0." + std::string(30, '2');
  const std::string tooLong = "0." + std::string(999, '2');
  const ReaderCase cases[] = {
      {"clamped each on its own", "2 -1 0.5\n", {{1.0f, 0.0f, 0.5f}}},
      {"clamped past the float range", "-1e-38 1e-38 1e39\n", {{0.0f, fmin, 1.0f}}},
      {"clamped just past 1", "-1e39 1.0000001 1\n", {{0.0f, 1.0f, 1.0f}}},
      {"spread over lines", "0.4\n\n  0.5\t\n0.6\n", {{0.4f, 0.5f, 0.6f}}},
      {"line ends of the game's platform", "0.4\r\n0.5\r\n0.6\r\n", {{0.4f, 0.5f, 0.6f}}, 1},
      // Typed ahead while keys were read raw, Enter arrives as CR; what
      // follows the line is the menu's.
      {"a CR ends the line at once", "0.25 0.5 0.75\r3", {{0.25f, 0.5f, 0.75f}}, 1},
      {"whole numbers after the third wait for the next prompt",
       "0.4 0.5 0.6 0.7 0.8\n0.9\n",
       {{0.4f, 0.5f, 0.6f}, {0.7f, 0.8f, 0.9f}}},
      {"kept numbers end at the first other text",
       "0.4 0.5 0.6 0.7 x 0.8\n0.9 0.3\n",
       {{0.4f, 0.5f, 0.6f}, {0.7f, 0.9f, 0.3f}}},
      {"text after the third number is dropped with its line",
       "0.5 0.5 0.5 x\n0.2 0.2 0.2\n",
       {{0.5f, 0.5f, 0.5f}, {0.2f, 0.2f, 0.2f}}},
      // A colour is taken whole or not at all.
      {"failure keeps the colour and drops its line",
       "0.5 abc 0.6\n0.7 0.8 0.9\n",
       {current, {0.7f, 0.8f, 0.9f}}},
      {"failure at the end of a line keeps the next line",
       "0.5 +\n0.7 0.8 0.9\n",
       {current, {0.7f, 0.8f, 0.9f}}},
      {"a number glued to text", "0.5abc 0.9 0.9\n", {current}},
      {"kept numbers a failed prompt took are used up",
       "0.4 0.5 0.6 0.7\nx\n0.1 0.2 0.3\n",
       {{0.4f, 0.5f, 0.6f}, current, {0.1f, 0.2f, 0.3f}}},
      {"an exponent without digits is text",
       "0.4 0.5 1e+\n0.6 0.7 0.8\n",
       {{0.4f, 0.5f, 1.0f}, {0.6f, 0.7f, 0.8f}}},
      {"a long number is read whole", longNumber + " 0.5 0.6\n", {{0.22222222f, 0.5f, 0.6f}}},
      {"a number of over 1000 characters is unreadable",
       tooLong + " 0.5 0.6\n0.7 0.7 0.7\n",
       {current, {0.7f, 0.7f, 0.7f}}},
      {"end of input after one number", "0.5", {current, current}},
      {"no input at all", "", {current, current}},
      {"first component unreadable", "x 0.5 0.5 0.5\n0.6 0.6 0.6\n", {current, {0.6f, 0.6f, 0.6f}}},
      // A line cut by one prompt's limit is dropped whole, never read on as
      // numbers.
      {"a line past the prompt's limit",
       std::string(65534, ' ') + "0.5 0.6 0.7\n0.2 0.2 0.2\n",
       {current, {0.2f, 0.2f, 0.2f}}},
  };
  for (const ReaderCase& c : cases) {
    SCOPED_TRACE(c.what);
    Input in{c.input};
    NumberReader reader(in.source());
    for (std::size_t prompt = 0; prompt < c.colours.size(); ++prompt) {
      const std::array<float, 3> got = reader.readColour(current);
      for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(bits(got[i]), bits(c.colours[prompt][i]))
            << "prompt " << prompt << " component " << i << ": " << got[i];
      }
    }
    EXPECT_EQ(in.text.size() - in.pos, c.unread);
  }
}

TEST(ReadColour, NegativeZeroIsStoredWithItsSign) {
  Input in{"-0 0 -0.0\n"};
  NumberReader reader(in.source());
  const std::array<float, 3> got = reader.readColour(current);
  EXPECT_EQ(bits(got[0]), minusZero);
  EXPECT_EQ(bits(got[1]), plusZero);
  EXPECT_EQ(bits(got[2]), minusZero);
}

TEST(ReadColour, EndOfInputEndsOnlyThatPrompt) {
  Input in{"0.5"};
  NumberReader reader(in.source());
  EXPECT_EQ(reader.readColour(current), current);
  in.text += "0.6 0.7 0.8\n";
  EXPECT_EQ(reader.readColour(current), (std::array<float, 3>{0.6f, 0.7f, 0.8f}));
}

// Input that never ends a line (a pipe from /dev/zero, or digits without a
// line end) ends each prompt after a bounded read.
TEST(ReadColour, EndlessInputWithoutLineEndIsBounded) {
  for (const char fill : {'\0', '1'}) {
    std::size_t reads = 0;
    NumberReader reader([&reads, fill]() -> std::optional<std::uint8_t> {
      ++reads;
      return static_cast<std::uint8_t>(fill);
    });
    EXPECT_EQ(reader.readColour(current), current);
    EXPECT_EQ(reads, NumberReader::promptLimit);
  }
}

}  // namespace
}  // namespace vn3
