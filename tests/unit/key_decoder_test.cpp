#include "app/console/key_decoder.hpp"
#include "app/console/key_reader.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace vn3 {
namespace {

using namespace std::string_view_literals;

// Octal escapes ("\033") are used throughout: they stop after three digits,
// so a following digit or letter is never swallowed into the escape.

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

DecodeResult decode(std::string_view text, bool expired) {
  const auto bytes = bytesOf(text);
  return decodeKey(bytes, expired);
}

// The codes a result stands for; empty for Nothing.
std::vector<int> codesOf(const DecodeResult& r) {
  if (r.status != DecodeStatus::Key) return {};
  std::vector<int> codes;
  for (std::uint8_t i = 0; i < r.key.count; ++i) codes.push_back(r.key.code[i]);
  return codes;
}

std::string hex(std::string_view text) {
  std::string out;
  for (const char ch : text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto c = static_cast<unsigned char>(ch);
    if (!out.empty()) out += ' ';
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

struct Case {
  std::string_view input;
  std::vector<int> codes;  // empty: Nothing
  std::size_t consumed;
};

const std::vector<Case>& completeKeys() {
  static const std::vector<Case> cases{
      // Single bytes.
      {"a"sv, {'a'}, 1},
      {"\r"sv, {13}, 1},
      {"\177"sv, {8}, 1},  // Backspace
      {"\003"sv, {3}, 1},  // Ctrl+C
      {"\t"sv, {9}, 1},
      {"\0"sv, {0x00, 0x03}, 1},  // Ctrl+2

      // xterm, normal and application cursor mode.
      {"\033[A"sv, {0xE0, 0x48}, 3},
      {"\033[B"sv, {0xE0, 0x50}, 3},
      {"\033[C"sv, {0xE0, 0x4D}, 3},
      {"\033[D"sv, {0xE0, 0x4B}, 3},
      {"\033OA"sv, {0xE0, 0x48}, 3},
      {"\033[H"sv, {0xE0, 0x47}, 3},
      {"\033[F"sv, {0xE0, 0x4F}, 3},
      {"\033OH"sv, {0xE0, 0x47}, 3},
      {"\033OF"sv, {0xE0, 0x4F}, 3},
      {"\033OQ"sv, {0x00, 0x3C}, 3},
      {"\033OR"sv, {0x00, 0x3D}, 3},
      {"\033OS"sv, {0x00, 0x3E}, 3},
      {"\033[15~"sv, {0x00, 0x3F}, 5},
      {"\033[17~"sv, {0x00, 0x40}, 5},
      {"\033[21~"sv, {0x00, 0x44}, 5},
      {"\033[2~"sv, {0xE0, 0x52}, 4},
      {"\033[3~"sv, {0xE0, 0x53}, 4},
      {"\033[5~"sv, {0xE0, 0x49}, 4},
      // VT220 Find/Select.
      {"\033[1~"sv, {0xE0, 0x47}, 4},
      {"\033[4~"sv, {0xE0, 0x4F}, 4},

      // xterm modifier parameter, one case per column rule.
      {"\033[1;2A"sv, {0xE0, 0x48}, 6},   // Shift+Up
      {"\033[1;5D"sv, {0xE0, 0x73}, 6},   // Ctrl+Left
      {"\033[1;3C"sv, {0x00, 0x9D}, 6},   // Alt+Right
      {"\033[1;5H"sv, {0xE0, 0x77}, 6},   // Ctrl+Home
      {"\033[1;3F"sv, {0x00, 0x9F}, 6},   // Alt+End
      {"\033[1;2P"sv, {0x00, 0x54}, 6},   // Shift+F1
      {"\033[1;5P"sv, {0x00, 0x5E}, 6},   // Ctrl+F1
      {"\033[1;3P"sv, {0x00, 0x68}, 6},   // Alt+F1
      {"\033[1;5S"sv, {0x00, 0x61}, 6},   // Ctrl+F4
      {"\033[;2Q"sv, {0x00, 0x55}, 5},    // omitted first number
      {"\033[3;5~"sv, {0xE0, 0x93}, 6},   // Ctrl+Delete
      {"\033[2;3~"sv, {0x00, 0xA2}, 6},   // Alt+Insert
      {"\033[21;2~"sv, {0x00, 0x5D}, 7},  // Shift+F10
      {"\033[23;2~"sv, {0xE0, 0x87}, 7},  // Shift+F11
      {"\033[24;5~"sv, {0xE0, 0x8A}, 7},  // Ctrl+F12
      {"\033[5;5~"sv, {0xE0, 0x86}, 6},   // Ctrl+PgUp, same pair as F12
      {"\033[1;7A"sv, {0x00, 0x98}, 6},   // Ctrl+Alt: Alt column
      {"\033[5;4~"sv, {0x00, 0x99}, 6},   // Shift+Alt: Alt column
      {"\033[15;6~"sv, {0x00, 0x62}, 7},  // Shift+Ctrl: Ctrl column
      {"\033[24;8~"sv, {0xE0, 0x8C}, 7},  // all three: Alt column
      {"\033[1;9A"sv, {0xE0, 0x48}, 6},   // Meta alone
      {"\033[1;13A"sv, {0xE0, 0x8D}, 7},  // Meta+Ctrl
      {"\033[1;16B"sv, {0x00, 0xA0}, 7},  // Meta+Shift+Alt+Ctrl

      // rxvt.
      {"\033[a"sv, {0xE0, 0x48}, 3},  // Shift+Up
      {"\033[d"sv, {0xE0, 0x4B}, 3},  // Shift+Left
      {"\033Oa"sv, {0xE0, 0x8D}, 3},  // Ctrl+Up
      {"\033Oc"sv, {0xE0, 0x74}, 3},  // Ctrl+Right
      {"\033[7~"sv, {0xE0, 0x47}, 4},
      {"\033[8~"sv, {0xE0, 0x4F}, 4},
      {"\033[7$"sv, {0xE0, 0x47}, 4},  // Shift+Home
      {"\033[3^"sv, {0xE0, 0x93}, 4},  // Ctrl+Delete
      {"\033[8^"sv, {0xE0, 0x75}, 4},  // Ctrl+End
      {"\033[6@"sv, {0xE0, 0x76}, 4},  // Ctrl+Shift+PgDn
      {"\033[11~"sv, {0x00, 0x3B}, 5},
      {"\033[14~"sv, {0x00, 0x3E}, 5},
      {"\033[13^"sv, {0x00, 0x60}, 5},  // Ctrl+F3
      {"\033[23$"sv, {0xE0, 0x87}, 5},  // Shift+F11
      {"\033[25~"sv, {0x00, 0x56}, 5},  // Shift+F3
      {"\033[28~"sv, {0x00, 0x58}, 5},
      {"\033[31~"sv, {0x00, 0x5A}, 5},
      {"\033[34~"sv, {0x00, 0x5D}, 5},    // Shift+F10
      {"\033[26^"sv, {0x00, 0x61}, 5},    // Ctrl+Shift+F4: Ctrl column
      {"\033[29;3~"sv, {0x00, 0x6D}, 7},  // Shift+F6 with Alt

      // Linux console.
      {"\033[[A"sv, {0x00, 0x3B}, 4},
      {"\033[[C"sv, {0x00, 0x3D}, 4},
      {"\033[[E"sv, {0x00, 0x3F}, 4},

      {"\033[Z"sv, {0x00, 0x0F}, 3},     // Shift+Tab
      {"\033[1;5Z"sv, {0x00, 0x94}, 6},  // Ctrl+Shift+Tab

      // Keypad 5 / Begin has no code.
      {"\033[E"sv, {}, 3},
      {"\033OE"sv, {}, 3},
      {"\033[G"sv, {}, 3},
      {"\033[1;5E"sv, {}, 6},

      // Application keypad.
      {"\033Op"sv, {'0'}, 3},
      {"\033Ou"sv, {'5'}, 3},
      {"\033Oy"sv, {'9'}, 3},
      {"\033OM"sv, {13}, 3},
      {"\033Oj"sv, {'*'}, 3},
      {"\033Ok"sv, {'+'}, 3},
      {"\033Ol"sv, {','}, 3},
      {"\033Om"sv, {'-'}, 3},
      {"\033On"sv, {'.'}, 3},
      {"\033Oo"sv, {'/'}, 3},

      // SS3 with a modifier digit.
      {"\033O2P"sv, {0x00, 0x54}, 4},
      {"\033O5A"sv, {0xE0, 0x8D}, 4},
      {"\033O1;3R"sv, {0x00, 0x6A}, 6},

      // Alt as an ESC prefix.
      {"\033a"sv, {'a'}, 2},
      {"\033\r"sv, {13}, 2},
      {"\033\177"sv, {8}, 2},
      {"\033\0"sv, {0x00, 0x03}, 2},
      {"\033\303\251"sv, {0xE9}, 3},
      {"\033\033[A"sv, {0x00, 0x98}, 4},
      {"\033\033OP"sv, {0x00, 0x68}, 4},
      {"\033\033[6~"sv, {0x00, 0xA1}, 5},
      {"\033\033[1;5C"sv, {0x00, 0x9D}, 7},
      {"\033\033[23~"sv, {0xE0, 0x8B}, 6},
      {"\033\033[99~"sv, {}, 6},

      // Well-formed but unknown: consumed whole.
      {"\033[99~"sv, {}, 5},
      {"\033[~"sv, {}, 3},
      {"\033[16~"sv, {}, 5},
      {"\033[99999999999~"sv, {}, 14},
      {"\033[3;5;7~"sv, {}, 8},
      {"\033[1;2X"sv, {}, 6},
      {"\033[2A"sv, {}, 4},
      {"\033[1;0A"sv, {}, 6},
      {"\033[1;17A"sv, {}, 7},
      {"\033[1:2A"sv, {}, 6},
      {"\033[3;5$"sv, {}, 6},
      {"\033[5a"sv, {}, 4},
      {"\033[?1;2c"sv, {}, 7},
      {"\033[?1;2$y"sv, {}, 8},     // '$' is no final after '?'
      {"\033[<0;12;5M"sv, {}, 10},  // mouse report
      {"\033[>0;95;0c"sv, {}, 10},
      {"\033[2 q"sv, {}, 5},   // intermediate byte
      {"\033[1 2~"sv, {}, 6},  // parameter after intermediate
      {"\033Oz"sv, {}, 3},
      {"\033O["sv, {}, 3},
      {"\033[[Z"sv, {}, 4},
      {"\033[[1"sv, {}, 4},

      // UTF-8.
      {"\302\200"sv, {0x80}, 2},
      {"\303\251"sv, {0xE9}, 2},
      {"\303\240"sv, {0xE0}, 2},
      {"\303\277"sv, {0xFF}, 2},
      {"\304\200"sv, {}, 2},          // U+0100
      {"\342\202\254"sv, {}, 3},      // U+20AC
      {"\360\237\230\200"sv, {}, 4},  // U+1F600
      {"\364\217\277\277"sv, {}, 4},  // U+10FFFF
  };
  return cases;
}

// Inputs where the key ends before the last byte: `consumed` leaves the rest.
const std::vector<Case>& keysWithLeftovers() {
  static const std::vector<Case> cases{
      {"ab"sv, {'a'}, 1},
      {"\033[Ax"sv, {0xE0, 0x48}, 3},
      {"\033ab"sv, {'a'}, 2},
      {"\303\251x"sv, {0xE9}, 2},
      {"\033\033a"sv, {27}, 2},  // Alt+Esc, then 'a'
      {"\033\033\033[A"sv, {27}, 2},
      // A byte that cannot continue a sequence ends it.
      {"\033[1\033[A"sv, {}, 3},
      {"\033[1;\r"sv, {}, 4},
      {"\033[\303\251"sv, {}, 2},
      {"\033[12\177"sv, {}, 4},
      {"\033O\001"sv, {}, 2},
      {"\033O1 P"sv, {}, 3},
      {"\033[[\r"sv, {}, 3},
      {"\033\033[1\r"sv, {}, 4},
      // Invalid UTF-8 never takes the byte after it.
      {"\200a"sv, {}, 1},
      {"\277\277"sv, {}, 1},
      {"\300\200"sv, {}, 1},  // overlong
      {"\340\200\200"sv, {}, 1},
      {"\360\200\200\200"sv, {}, 1},
      {"\355\240\200"sv, {}, 1},      // surrogate
      {"\364\220\200\200"sv, {}, 1},  // above U+10FFFF
      {"\365\200"sv, {}, 1},
      {"\377a"sv, {}, 1},
      {"\303a"sv, {}, 1},
      {"\342\202a"sv, {}, 2},
      {"\360\237\230\033"sv, {}, 3},
  };
  return cases;
}

void expectDecodes(const Case& c, bool expired) {
  SCOPED_TRACE(hex(c.input) + (expired ? " (wait expired)" : ""));
  const DecodeResult r = decode(c.input, expired);
  ASSERT_NE(r.status, DecodeStatus::NeedMore);
  EXPECT_EQ(r.status, c.codes.empty() ? DecodeStatus::Nothing : DecodeStatus::Key);
  EXPECT_EQ(codesOf(r), c.codes);
  EXPECT_EQ(r.consumed, c.consumed);
}

TEST(KeyDecoder, CompleteKeysDecodeWithoutWaiting) {
  for (const Case& c : completeKeys()) {
    ASSERT_EQ(c.consumed, c.input.size()) << hex(c.input);
    expectDecodes(c, false);
    expectDecodes(c, true);
  }
}

// The reader stops at the first non-NeedMore answer, so every proper prefix
// of a key must ask for more.
TEST(KeyDecoder, EveryPrefixOfAKeyAsksForMore) {
  for (const Case& c : completeKeys()) {
    for (std::size_t n = 1; n < c.input.size(); ++n) {
      EXPECT_EQ(decode(c.input.substr(0, n), false).status, DecodeStatus::NeedMore)
          << hex(c.input.substr(0, n)) << " of " << hex(c.input);
    }
  }
}

TEST(KeyDecoder, LeavesBytesAfterTheKey) {
  for (const Case& c : keysWithLeftovers()) {
    ASSERT_LT(c.consumed, c.input.size()) << hex(c.input);
    expectDecodes(c, false);
    expectDecodes(c, true);
  }
}

TEST(KeyDecoder, KeepsTheConsoleFixedPoints) {
  const std::vector<Case> cases{
      {"\033OP"sv, {0x00, 0x3B}, 3},      // F1
      {"\033[A"sv, {0xE0, 0x48}, 3},      // Up
      {"\033[6~"sv, {0xE0, 0x51}, 4},     // PgDn
      {"\033[6;2~"sv, {0xE0, 0x51}, 6},   // Shift+PgDn
      {"\033[6;5~"sv, {0xE0, 0x76}, 6},   // Ctrl+PgDn
      {"\033[23~"sv, {0xE0, 0x85}, 5},    // F11
      {"\033[24~"sv, {0xE0, 0x86}, 5},    // F12
      {"\033[23;3~"sv, {0xE0, 0x8B}, 7},  // Alt+F11
      {"\033[24;3~"sv, {0xE0, 0x8C}, 7},  // Alt+F12
      {"\033[1;3A"sv, {0x00, 0x98}, 6},   // Alt+Up
  };
  for (const Case& c : cases) expectDecodes(c, false);
}

TEST(KeyDecoder, LoneEscapeWaitsThenGivesEscape) {
  EXPECT_EQ(decode("\033"sv, false).status, DecodeStatus::NeedMore);
  expectDecodes({"\033"sv, {27}, 1}, true);
  EXPECT_EQ(decode("\033\033"sv, false).status, DecodeStatus::NeedMore);
  expectDecodes({"\033\033"sv, {27}, 2}, true);
}

TEST(KeyDecoder, DropsIncompleteSequencesWhenTheWaitExpires) {
  for (const std::string_view input :
       {"\033["sv, "\033O"sv, "\033[1"sv, "\033[1;"sv, "\033[1;5"sv, "\033[["sv, "\033O2"sv,
        "\033[2 "sv, "\033\033["sv, "\033\033[1;"sv, "\303"sv, "\342\202"sv, "\360\237\230"sv,
        "\033\303"sv}) {
    EXPECT_EQ(decode(input, false).status, DecodeStatus::NeedMore) << hex(input);
    expectDecodes({input, {}, input.size()}, true);
  }
}

TEST(KeyDecoder, BoundsRunawaySequences) {
  // A run of ESC bytes never keeps the reader waiting past the second one.
  const DecodeResult escapes = decode(std::string(10, '\033'), false);
  EXPECT_EQ(codesOf(escapes), std::vector<int>{27});
  EXPECT_EQ(escapes.consumed, 2u);
}

// Every answer keeps the reader's contract; returns false on the first breach.
::testing::AssertionResult checkContract(std::span<const std::uint8_t> bytes, const DecodeResult& r,
                                         bool expired) {
  auto fail = [&](const char* what) {
    return ::testing::AssertionFailure()
           << what << " for " << hex({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  };
  if (expired && r.next != DecodeState::Key) return fail("still inside after the wait");
  if (r.status == DecodeStatus::NeedMore) {
    if (expired) return fail("NeedMore after the wait");
    if (r.consumed != 0) return fail("NeedMore consumed bytes");
    return ::testing::AssertionSuccess();
  }
  if (r.consumed < 1 || r.consumed > bytes.size()) return fail("consumed out of range");
  if (r.status == DecodeStatus::Key && r.key.count != 1 && r.key.count != 2) {
    return fail("bad code count");
  }
  if (r.status == DecodeStatus::Key && r.key.count == 2 && r.key.code[0] != 0 &&
      r.key.code[0] != 0xE0) {
    return fail("bad pair prefix");
  }
  return ::testing::AssertionSuccess();
}

TEST(KeyDecoderProperty, AllShortInputsAreAnsweredAfterTheWait) {
  std::vector<std::uint8_t> bytes;
  for (int a = 0; a < 256; ++a) {
    bytes = {static_cast<std::uint8_t>(a)};
    ASSERT_TRUE(checkContract(bytes, decodeKey(bytes, true), true));
    ASSERT_TRUE(checkContract(bytes, decodeKey(bytes, false), false));
    for (int b = 0; b < 256; ++b) {
      bytes = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)};
      ASSERT_TRUE(checkContract(bytes, decodeKey(bytes, true), true));
      ASSERT_TRUE(checkContract(bytes, decodeKey(bytes, false), false));
    }
  }
}

DecodeResult decodeChecked(std::span<const std::uint8_t> bytes, bool expired, DecodeState state) {
  const DecodeResult r = decodeKey(bytes, expired, state);
  EXPECT_TRUE(checkContract(bytes, r, expired));
  return r;
}

struct Reading {
  std::vector<std::vector<int>> keys;
  std::size_t mostHeld = 0;  // bytes held at once
  bool usedUp = true;
};

// Plays the terminal for the key reader: the bytes arrive in time, except at
// a '|' and after the last, where every wait it asks for runs out.
Reading readAll(std::string_view input) {
  Reading out;
  KeyReader reader(decodeChecked);
  // Each wait that runs out ends something held, so the bytes bound their count.
  for (std::size_t pos = 0, waits = 0; waits <= input.size();) {
    while (const auto key = reader.key()) out.keys.emplace_back(key->begin(), key->end());
    if (pos < input.size() && input[pos] != '|') {
      reader.byteRead(static_cast<std::uint8_t>(input[pos++]));
      out.mostHeld = std::max(out.mostHeld, reader.held());
    } else if (reader.wants() == KeyReader::Wait::ByteWithinSequenceWait) {
      reader.waitRanOut();
      ++waits;
    } else if (pos++ == input.size()) {  // past a '|' the reader waits out, or the end
      break;
    }
  }
  out.usedUp = reader.wants() == KeyReader::Wait::Byte;
  return out;
}

// Terminal replies and overlong sequences give no key however long they
// are, the reader holds no more than a key's length of them, and the key
// after them still counts.
TEST(KeyDecoder, DropsStringsAndOverlongSequences) {
  struct Row {
    std::string input;
    std::vector<std::vector<int>> keys;
  };
  const std::vector<Row> rows{
      {"\033]11;rgb:1234/5678/9abc\a5", {{'5'}}},            // OSC, BEL
      {"\033]11;rgb:1234/5678/9abc\033\\5", {{'5'}}},        // OSC, ST
      {"\033P1$r0;1m\033\\5", {{'5'}}},                      // DCS
      {"\033_" + std::string(500, '9') + "\0335", {{'5'}}},  // APC cut short by Alt+5
      {"\033]2;\033[A", {{0xE0, 0x48}}},                     // cut short by Up
      {"\033]2;title", {}},                                  // ended by the wait
      {"\033[" + std::string(96, '1') + ";5~5", {{'5'}}},    // 100-byte CSI
      {"\033[" + std::string(96, '1') + "\r", {{13}}},
      {"\033P", {{'P'}}},  // the introducer alone: Alt+P
      {"\033]5", {}},
      {"\033]2;title|5", {{'5'}}},  // the string ends when its next byte is late
      {"\033[" + std::string(96, '1') + "|5", {{'5'}}},  // and so does a long sequence
      {"\033P1$r|\303\251", {{0xE9}}},                   // then any key, not only one with Esc
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(hex(row.input));
    const Reading reading = readAll(row.input);
    EXPECT_TRUE(reading.usedUp);
    EXPECT_EQ(reading.keys, row.keys);
    EXPECT_LE(reading.mostHeld, 32u);
  }
}

TEST(KeyDecoderProperty, ReaderLoopUsesUpRandomInput) {
  // Weighted towards bytes that start or continue sequences.
  static constexpr std::uint8_t kAlphabet[] = {
      0x1B, 0x1B, 0x1B, '[',  '[',  'O',  '1',  '2',  '5',  ';',  ';',  '~',  '$',
      '^',  '@',  'A',  'P',  'Z',  'a',  'p',  '?',  '<',  ' ',  ']',  '\\', 0x07,
      0x00, 0x0D, 0x7F, 0x80, 0xA9, 0xBF, 0xC3, 0xE2, 0xED, 0xF0, 0xF4, 0xFF};
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kAlphabet) - 1);
  std::uniform_int_distribution<std::size_t> length(1, 14);

  for (int round = 0; round < 5000; ++round) {
    std::string input(length(rng), '\0');
    for (auto& b : input) b = static_cast<char>(kAlphabet[pick(rng)]);
    ASSERT_TRUE(readAll(input).usedUp) << hex(input);
  }
}

TEST(KeyTable, ColumnPriorityIsAltThenCtrlThenShift) {
  struct Row {
    bool shift, ctrl, alt;
    Column column;
  };
  for (const Row& r : std::vector<Row>{{false, false, false, Column::Plain},
                                       {true, false, false, Column::Shift},
                                       {false, true, false, Column::Ctrl},
                                       {true, true, false, Column::Ctrl},
                                       {false, false, true, Column::Alt},
                                       {true, false, true, Column::Alt},
                                       {false, true, true, Column::Alt},
                                       {true, true, true, Column::Alt}}) {
    EXPECT_EQ(columnFor(Modifiers{.shift = r.shift, .ctrl = r.ctrl, .alt = r.alt}), r.column)
        << r.shift << r.ctrl << r.alt;
  }
}

// Guards the table against a missing or mistyped entry: every key has a
// well-formed pair in every column, except plain Tab, which is a character.
TEST(KeyTable, EveryEntryIsAConsolePair) {
  for (int k = 0; k <= static_cast<int>(SpecialKey::NullKey); ++k) {
    const auto key = static_cast<SpecialKey>(k);
    for (const Column column : {Column::Plain, Column::Shift, Column::Ctrl, Column::Alt}) {
      const auto codes = specialKeyCodes(key, column);
      if (key == SpecialKey::Tab && column == Column::Plain) {
        EXPECT_FALSE(codes.has_value());
        continue;
      }
      ASSERT_TRUE(codes.has_value()) << k << ' ' << static_cast<int>(column);
      EXPECT_EQ(codes->count, 2);
      EXPECT_TRUE(codes->code[0] == 0x00 || codes->code[0] == 0xE0);
      EXPECT_NE(codes->code[1], 0);
    }
  }
  const auto nullAlt = specialKeyCodes(SpecialKey::NullKey, Column::Alt);
  ASSERT_TRUE(nullAlt.has_value());
  EXPECT_EQ(nullAlt->code, (std::array<std::uint8_t, 2>{0x00, 0x03}));
}

}  // namespace
}  // namespace vn3
