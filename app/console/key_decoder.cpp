#include "app/console/key_decoder.hpp"

#include <array>
#include <optional>

namespace vn3 {
namespace {

using Bytes = std::span<const std::uint8_t>;
using enum SpecialKey;

constexpr std::uint8_t kBel = 0x07;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kDel = 0x7F;
// No key is longer than this; a longer sequence is dropped as it arrives, so
// the reader never holds more.
constexpr std::size_t kMaxSequence = 32;

// What the bytes stand for, before it becomes console codes.
struct Key {
  enum class Kind { None, Char, Special } kind = Kind::None;
  std::uint8_t ch = 0;
  SpecialKey special = F1;
  Modifiers mods{};
};

constexpr Key charKey(std::uint8_t c) { return Key{Key::Kind::Char, c, {}, {}}; }
constexpr Key specialKey(SpecialKey k, Modifiers m = {}) {
  return Key{Key::Kind::Special, 0, k, m};
}

struct Step {
  bool needMore = false;
  Key key;
  std::size_t consumed = 0;
  DecodeState next = DecodeState::Key;
};

constexpr Step needMore() { return Step{true, {}, 0}; }
constexpr Step done(Key key, std::size_t consumed) { return Step{false, key, consumed}; }
constexpr Step nothing(std::size_t consumed, DecodeState next = DecodeState::Key) {
  return Step{false, {}, consumed, next};
}

constexpr bool inRange(std::uint8_t b, std::uint8_t lo, std::uint8_t hi) {
  return b >= lo && b <= hi;
}
constexpr bool isParamByte(std::uint8_t b) { return inRange(b, 0x30, 0x3F); }
constexpr bool isIntermediateByte(std::uint8_t b) { return inRange(b, 0x20, 0x2F); }
constexpr bool isFinalByte(std::uint8_t b) { return inRange(b, 0x40, 0x7E); }

constexpr Modifiers operator|(Modifiers a, Modifiers b) {
  return Modifiers{.shift = a.shift || b.shift, .ctrl = a.ctrl || b.ctrl, .alt = a.alt || b.alt};
}
constexpr Modifiers kShift{.shift = true};
constexpr Modifiers kCtrl{.ctrl = true};

// ---- Parameters -----------------------------------------------------------

// Numeric parameters such as "1;5"; -1 marks an omitted one.
struct Params {
  static constexpr int kOmitted = -1;
  std::array<int, 2> value{kOmitted, kOmitted};
  std::size_t count = 0;
};

// Keys carry at most two plain decimal parameters; anything else (private
// markers, sub-parameters, long lists) belongs to some other report.
std::optional<Params> parseParams(Bytes text) {
  Params params;
  params.count = text.empty() ? 0 : 1;
  for (const std::uint8_t b : text) {
    if (b == ';') {
      if (params.count == params.value.size()) return std::nullopt;
      ++params.count;
      continue;
    }
    if (!inRange(b, '0', '9')) return std::nullopt;
    int& v = params.value[params.count - 1];
    if (v == Params::kOmitted) v = 0;
    // Saturate: a huge number names no key, but must not overflow.
    if (v < 10000) v = v * 10 + (b - '0');
  }
  return params;
}

// xterm encodes modifiers as 1 + bits (shift 1, alt 2, ctrl 4, meta 8).
// Meta has no console column, so it is dropped.
std::optional<Modifiers> xtermModifiers(int m) {
  if (m == Params::kOmitted) return Modifiers{};
  if (m < 1 || m > 16) return std::nullopt;
  const int bits = (m - 1) & 7;
  return Modifiers{.shift = (bits & 1) != 0, .ctrl = (bits & 4) != 0, .alt = (bits & 2) != 0};
}

// The "1;m" that xterm puts before a letter final; the first number is
// always 1 (or left out).
std::optional<Modifiers> letterModifiers(const Params& p) {
  const int first = p.value[0];
  if (first != Params::kOmitted && first != 1) return std::nullopt;
  return xtermModifiers(p.value[1]);
}

// ---- Lookup tables --------------------------------------------------------

struct KeyName {
  int code;
  SpecialKey key;
  Modifiers mods{};
};

// "CSI n ~" numbers from xterm, VT220, rxvt and the Linux console. 25-34 are
// what rxvt and Linux send for Shift+F3..F10 (Shift+F1/F2 collide with F11/F12).
// clang-format off
constexpr KeyName kNumberedKeys[] = {
    {1, Home}, {2, Insert}, {3, Delete}, {4, End}, {5, PageUp}, {6, PageDown}, {7, Home}, {8, End},
    {11, F1}, {12, F2}, {13, F3}, {14, F4}, {15, F5}, {17, F6},
    {18, F7}, {19, F8}, {20, F9}, {21, F10}, {23, F11}, {24, F12},
    {25, F3, kShift}, {26, F4, kShift}, {28, F5, kShift}, {29, F6, kShift},
    {31, F7, kShift}, {32, F8, kShift}, {33, F9, kShift}, {34, F10, kShift},
};
// clang-format on

// Finals shared by "CSI 1;m X" and "SS3 X". E (keypad 5 / Begin) is left
// out on purpose: the console gives that key no code.
// clang-format off
constexpr KeyName kLetterKeys[] = {
    {'A', Up}, {'B', Down}, {'C', Right}, {'D', Left}, {'H', Home},
    {'F', End}, {'P', F1}, {'Q', F2}, {'R', F3}, {'S', F4},
};
// clang-format on

// The Linux console sends F1-F5 as "CSI [ A" .. "CSI [ E".
constexpr KeyName kLinuxFunctionKeys[] = {{'A', F1}, {'B', F2}, {'C', F3}, {'D', F4}, {'E', F5}};

// The key `code` names in `table`, with `mods` added; no key if it names none.
Key lookup(std::span<const KeyName> table, int code, Modifiers mods = {}) {
  for (const KeyName& k : table) {
    if (k.code == code) return specialKey(k.key, k.mods | mods);
  }
  return Key{};
}

// rxvt sends lower-case a-d for modified arrows, without parameters.
std::optional<Key> rxvtArrow(const Params& p, std::uint8_t final, Modifiers mods) {
  if (!inRange(final, 'a', 'd')) return std::nullopt;
  return p.count == 0 ? lookup(kLetterKeys, final - 'a' + 'A', mods) : Key{};
}

// ---- Sequence grammar -----------------------------------------------------

// The rest of a CSI sequence past kMaxSequence, from `from` on: parameter
// and intermediate bytes up to the final byte. Any other byte cannot be in
// it: it ends the sequence and starts the next key.
Step skipSequence(Bytes bytes, std::size_t from, bool expired) {
  for (std::size_t i = from; i < bytes.size(); ++i) {
    if (isFinalByte(bytes[i])) return nothing(i + 1);
    if (!isParamByte(bytes[i]) && !isIntermediateByte(bytes[i])) return nothing(i);
  }
  return nothing(bytes.size(), expired ? DecodeState::Key : DecodeState::InSequence);
}

// A string's body, from `from` on, up to BEL or ST (ESC \). Any other ESC
// cuts the string short and starts the next key.
Step skipString(Bytes bytes, std::size_t from, bool expired) {
  for (std::size_t i = from; i < bytes.size(); ++i) {
    if (bytes[i] == kBel) return nothing(i + 1);
    if (bytes[i] != kEsc) continue;
    if (i + 1 < bytes.size()) return nothing(bytes[i + 1] == '\\' ? i + 2 : i);
    if (expired) return nothing(i + 1);
    // Only the next byte tells ST from the start of a key: keep the ESC.
    return i == 0 ? needMore() : nothing(i, DecodeState::InString);
  }
  return nothing(bytes.size(), expired ? DecodeState::Key : DecodeState::InString);
}

// DCS, SOS, OSC, PM and APC: terminals send them as replies (a colour
// report, say), never for a key.
constexpr bool isStringIntroducer(std::uint8_t b) {
  return b == 'P' || b == 'X' || b == ']' || b == '^' || b == '_';
}

// ---- CSI and SS3 ----------------------------------------------------------

Key csiKey(const Params& p, std::uint8_t final) {
  switch (final) {
    case '~': {
      const auto mods = xtermModifiers(p.value[1]);
      return mods ? lookup(kNumberedKeys, p.value[0], *mods) : Key{};
    }
    // rxvt: '$' Shift, '^' Ctrl, '@' Ctrl+Shift, no xterm parameter.
    case '$':
      return p.count == 1 ? lookup(kNumberedKeys, p.value[0], kShift) : Key{};
    case '^':
      return p.count == 1 ? lookup(kNumberedKeys, p.value[0], kCtrl) : Key{};
    case '@':
      return p.count == 1 ? lookup(kNumberedKeys, p.value[0], kShift | kCtrl) : Key{};
    default:
      break;
  }
  if (const auto arrow = rxvtArrow(p, final, kShift)) return *arrow;
  const auto mods = letterModifiers(p);
  if (!mods) return Key{};
  return final == 'Z' ? specialKey(Tab, *mods | kShift) : lookup(kLetterKeys, final, *mods);
}

Key ss3Key(const Params& p, std::uint8_t final) {
  // Application keypad (after DECKPAM): Enter and * + , - . / 0-9 come as
  // the letter 0x40 above the character they type.
  if (final == 'M' || inRange(final, 'j', 'y')) {
    return charKey(static_cast<std::uint8_t>(final - 0x40));
  }
  if (const auto arrow = rxvtArrow(p, final, kCtrl)) return *arrow;
  // Some terminals put a bare modifier digit after SS3 ("ESC O 2 P").
  const auto mods = p.count == 1 ? xtermModifiers(p.value[0]) : letterModifiers(p);
  return mods ? lookup(kLetterKeys, final, *mods) : Key{};
}

// rxvt ends Shift+key sequences with '$', which is an intermediate byte in
// the standard grammar. Private reports (CSI ? ..., CSI < ...) never carry
// it as a final, so only plain parameters qualify.
bool dollarEndsAfter(Bytes params) { return params.empty() || inRange(params[0], '0', ';'); }

// ESC + '[' (CSI) or 'O' (SS3), then parameters, intermediates (CSI only)
// and a final byte.
Step decodeSequence(Bytes bytes, bool expired) {
  constexpr std::size_t start = 2;
  const bool csi = bytes[1] == '[';
  bool intermediates = false;  // no key uses them
  std::size_t paramEnd = start;
  std::size_t i = start;
  for (; i < bytes.size() && i < kMaxSequence; ++i) {
    const std::uint8_t b = bytes[i];
    if (isParamByte(b)) {
      // Out of order after an intermediate, but swallowed all the same so
      // that no stray digit leaks out; such a sequence names no key anyway.
      if (!intermediates) paramEnd = i + 1;
      continue;
    }
    const Bytes paramBytes = bytes.subspan(start, paramEnd - start);
    const bool dollarFinal = csi && b == '$' && !intermediates && dollarEndsAfter(paramBytes);
    if (isIntermediateByte(b) && csi && !dollarFinal) {
      intermediates = true;
      continue;
    }
    if (isFinalByte(b) || dollarFinal) {
      const auto params = parseParams(paramBytes);
      if (!params || intermediates) return nothing(i + 1);
      return done(csi ? csiKey(*params, b) : ss3Key(*params, b), i + 1);
    }
    // A control byte or a non-ASCII byte cannot be part of the sequence:
    // drop what came before it and let it be read as the next key.
    return nothing(i);
  }
  if (i == kMaxSequence) return skipSequence(bytes, i, expired);
  return expired ? nothing(bytes.size()) : needMore();
}

// ---- Characters and ESC ---------------------------------------------------

// The console hands over characters in its code page; a code point below 256
// is the same byte in Latin-1, anything else has no single-byte code here.
Step decodeUtf8(Bytes bytes, bool expired) {
  const std::uint8_t lead = bytes[0];
  if (!inRange(lead, 0xC2, 0xF4)) return nothing(1);  // stray continuation byte, C0, C1 or F5-FF
  const std::size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  std::uint32_t cp = lead & (0x7Fu >> length);
  // The second byte's range excludes overlong forms, surrogates and values
  // above U+10FFFF.
  const std::uint8_t lo = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const std::uint8_t hi = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;

  for (std::size_t i = 1; i < length; ++i) {
    if (i == bytes.size()) return expired ? nothing(i) : needMore();
    const std::uint8_t b = bytes[i];
    const bool fits = i == 1 ? inRange(b, lo, hi) : inRange(b, 0x80, 0xBF);
    if (!fits) return nothing(i);
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < 0x100) return done(charKey(static_cast<std::uint8_t>(cp)), length);
  return nothing(length);
}

Step decodeAny(Bytes bytes, bool expired, bool allowAltPrefix) {
  const std::uint8_t b = bytes[0];
  if (b >= 0x80) return decodeUtf8(bytes, expired);
  if (b == 0x00) return done(specialKey(NullKey), 1);  // Ctrl+2
  if (b == kDel) return done(charKey(0x08), 1);        // terminals send DEL for Backspace
  if (b != kEsc) return done(charKey(b), 1);

  if (bytes.size() == 1) return expired ? done(charKey(kEsc), 1) : needMore();
  if (bytes[1] == '[' && bytes.size() > 2 && bytes[2] == '[') {
    if (bytes.size() == 3) return expired ? nothing(3) : needMore();
    if (!inRange(bytes[3], 0x20, 0x7E)) return nothing(3);
    return done(lookup(kLinuxFunctionKeys, bytes[3]), 4);
  }
  if (bytes[1] == '[' || bytes[1] == 'O') return decodeSequence(bytes, expired);
  // A string's introducer alone is Alt+P, Alt+] and so on.
  if (isStringIntroducer(bytes[1]) && !(expired && bytes.size() == 2)) {
    return bytes.size() == 2 ? needMore() : skipString(bytes, 2, expired);
  }
  // ESC + key is how terminals send Alt+key. Only one such prefix counts, so
  // a run of ESC bytes cannot keep the reader waiting.
  if (!allowAltPrefix) return done(charKey(kEsc), 1);

  Step inner = decodeAny(bytes.subspan(1), expired, false);
  if (inner.needMore) return inner;
  // Alt+character gives the character itself, as the console does; a key
  // without a character moves to the Alt column.
  inner.key.mods.alt = true;
  inner.consumed += 1;
  return inner;
}

DecodeResult toResult(const Step& step) {
  if (step.needMore) return DecodeResult{DecodeStatus::NeedMore, {}, 0, DecodeState::Key};
  const Key& key = step.key;
  std::optional<KeyCodes> codes;
  if (key.kind == Key::Kind::Char) codes = singleCode(key.ch);
  if (key.kind == Key::Kind::Special) codes = specialKeyCodes(key.special, columnFor(key.mods));
  if (codes) return DecodeResult{DecodeStatus::Key, *codes, step.consumed};
  return DecodeResult{DecodeStatus::Nothing, {}, step.consumed, step.next};
}

}  // namespace

DecodeResult decodeKey(std::span<const std::uint8_t> bytes, bool waitExpired, DecodeState state) {
  // Outside the contract; with nothing read there is nothing to drop.
  if (bytes.empty()) return DecodeResult{DecodeStatus::Nothing, {}, 0};
  if (state != DecodeState::Key) {
    const Step step = state == DecodeState::InString ? skipString(bytes, 0, waitExpired)
                                                     : skipSequence(bytes, 0, waitExpired);
    // Ended by the very first byte, which begins the next key.
    if (step.needMore || step.consumed > 0) return toResult(step);
  }
  return toResult(decodeAny(bytes, waitExpired, true));
}

}  // namespace vn3
