#include "app/key_decoder.hpp"

#include <array>
#include <optional>

namespace vn3 {
namespace {

using Bytes = std::span<const std::uint8_t>;

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
  SpecialKey special = SpecialKey::F1;
  Modifiers mods{};
};

constexpr Key noKey() { return Key{}; }
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
constexpr Step nothing(std::size_t consumed) { return done(noKey(), consumed); }
constexpr Step nothingYet(std::size_t consumed, DecodeState next) {
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
  int at(std::size_t i) const { return i < count ? value[i] : kOmitted; }
};

// Keys carry at most two plain decimal parameters; anything else (private
// markers, sub-parameters, long lists) belongs to some other report.
std::optional<Params> parseParams(Bytes text) {
  Params params;
  if (text.empty()) return params;
  params.count = 1;
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
  if (p.count == 0) return Modifiers{};
  const int first = p.at(0);
  if (first != Params::kOmitted && first != 1) return std::nullopt;
  return xtermModifiers(p.at(1));
}

// ---- Lookup tables --------------------------------------------------------

struct NumberedKey {
  int number;
  SpecialKey key;
  Modifiers mods;
};

// "CSI n ~" numbers from xterm, VT220, rxvt and the Linux console. 25-34 are
// what rxvt and Linux send for Shift+F3..F10 (Shift+F1/F2 collide with F11/F12).
constexpr std::array kNumberedKeys{
    NumberedKey{1, SpecialKey::Home, {}},      NumberedKey{2, SpecialKey::Insert, {}},
    NumberedKey{3, SpecialKey::Delete, {}},    NumberedKey{4, SpecialKey::End, {}},
    NumberedKey{5, SpecialKey::PageUp, {}},    NumberedKey{6, SpecialKey::PageDown, {}},
    NumberedKey{7, SpecialKey::Home, {}},      NumberedKey{8, SpecialKey::End, {}},
    NumberedKey{11, SpecialKey::F1, {}},       NumberedKey{12, SpecialKey::F2, {}},
    NumberedKey{13, SpecialKey::F3, {}},       NumberedKey{14, SpecialKey::F4, {}},
    NumberedKey{15, SpecialKey::F5, {}},       NumberedKey{17, SpecialKey::F6, {}},
    NumberedKey{18, SpecialKey::F7, {}},       NumberedKey{19, SpecialKey::F8, {}},
    NumberedKey{20, SpecialKey::F9, {}},       NumberedKey{21, SpecialKey::F10, {}},
    NumberedKey{23, SpecialKey::F11, {}},      NumberedKey{24, SpecialKey::F12, {}},
    NumberedKey{25, SpecialKey::F3, kShift},   NumberedKey{26, SpecialKey::F4, kShift},
    NumberedKey{28, SpecialKey::F5, kShift},   NumberedKey{29, SpecialKey::F6, kShift},
    NumberedKey{31, SpecialKey::F7, kShift},   NumberedKey{32, SpecialKey::F8, kShift},
    NumberedKey{33, SpecialKey::F9, kShift},   NumberedKey{34, SpecialKey::F10, kShift},
};

Key numberedKey(int number, Modifiers mods) {
  for (const NumberedKey& k : kNumberedKeys) {
    if (k.number == number) return specialKey(k.key, k.mods | mods);
  }
  return noKey();
}

struct LetterKey {
  std::uint8_t final;
  SpecialKey key;
};

// Finals shared by "CSI 1;m X" and "SS3 X". E (keypad 5 / Begin) is left
// out on purpose: the console gives that key no code.
constexpr std::array kLetterKeys{
    LetterKey{'A', SpecialKey::Up},   LetterKey{'B', SpecialKey::Down},
    LetterKey{'C', SpecialKey::Right}, LetterKey{'D', SpecialKey::Left},
    LetterKey{'H', SpecialKey::Home}, LetterKey{'F', SpecialKey::End},
    LetterKey{'P', SpecialKey::F1},   LetterKey{'Q', SpecialKey::F2},
    LetterKey{'R', SpecialKey::F3},   LetterKey{'S', SpecialKey::F4},
};

std::optional<SpecialKey> letterKey(std::uint8_t final) {
  for (const LetterKey& k : kLetterKeys) {
    if (k.final == final) return k.key;
  }
  return std::nullopt;
}

// rxvt sends lower-case a-d for modified arrows.
std::optional<SpecialKey> rxvtArrow(std::uint8_t final) {
  switch (final) {
    case 'a': return SpecialKey::Up;
    case 'b': return SpecialKey::Down;
    case 'c': return SpecialKey::Right;
    case 'd': return SpecialKey::Left;
    default: return std::nullopt;
  }
}

// Application keypad (after DECKPAM) sends SS3 plus a letter per key; the
// keys themselves type characters.
std::optional<std::uint8_t> keypadChar(std::uint8_t final) {
  if (inRange(final, 'p', 'y')) return static_cast<std::uint8_t>('0' + (final - 'p'));
  switch (final) {
    case 'M': return std::uint8_t{'\r'};
    case 'j': return std::uint8_t{'*'};
    case 'k': return std::uint8_t{'+'};
    case 'l': return std::uint8_t{','};
    case 'm': return std::uint8_t{'-'};
    case 'n': return std::uint8_t{'.'};
    case 'o': return std::uint8_t{'/'};
    default: return std::nullopt;
  }
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
  return expired ? nothing(bytes.size()) : nothingYet(bytes.size(), DecodeState::InSequence);
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
    return i == 0 ? needMore() : nothingYet(i, DecodeState::InString);
  }
  return expired ? nothing(bytes.size()) : nothingYet(bytes.size(), DecodeState::InString);
}

// DCS, SOS, OSC, PM and APC: terminals send them as replies (a colour
// report, say), never for a key.
constexpr bool isStringIntroducer(std::uint8_t b) {
  return b == 'P' || b == 'X' || b == ']' || b == '^' || b == '_';
}

struct Sequence {
  Bytes params;
  bool intermediates = false;  // no key uses them
  std::uint8_t final = 0;
};

struct Scan {
  Step step;  // the answer, except that a complete sequence still needs its key
  std::optional<Sequence> sequence;
};

// rxvt ends Shift+key sequences with '$', which is an intermediate byte in
// the standard grammar. Private reports (CSI ? ..., CSI < ...) never carry
// it as a final, so only plain parameters qualify.
bool dollarEndsAfter(Bytes params) {
  return params.empty() || inRange(params[0], '0', ';');
}

// Splits ESC + introducer + parameters, intermediates, final. `start` is the
// index of the first byte after the introducer.
Scan scanSequence(Bytes bytes, std::size_t start, bool expired, bool allowIntermediates) {
  Sequence seq;
  std::size_t paramEnd = start;
  std::size_t i = start;
  for (; i < bytes.size() && i < kMaxSequence; ++i) {
    const std::uint8_t b = bytes[i];
    if (isParamByte(b)) {
      // Out of order after an intermediate, but swallowed all the same so
      // that no stray digit leaks out; such a sequence names no key anyway.
      if (!seq.intermediates) paramEnd = i + 1;
      continue;
    }
    const bool dollarFinal =
        allowIntermediates && b == '$' && !seq.intermediates &&
        dollarEndsAfter(bytes.subspan(start, paramEnd - start));
    if (isIntermediateByte(b) && allowIntermediates && !dollarFinal) {
      seq.intermediates = true;
      continue;
    }
    if (isFinalByte(b) || dollarFinal) {
      seq.params = bytes.subspan(start, paramEnd - start);
      seq.final = b;
      return Scan{done(noKey(), i + 1), seq};
    }
    // A control byte or a non-ASCII byte cannot be part of the sequence:
    // drop what came before it and let it be read as the next key.
    return Scan{nothing(i), std::nullopt};
  }
  if (i == kMaxSequence) return Scan{skipSequence(bytes, i, expired), std::nullopt};
  return Scan{expired ? nothing(bytes.size()) : needMore(), std::nullopt};
}

// ---- CSI and SS3 ----------------------------------------------------------

Key csiKey(const Sequence& seq) {
  if (seq.intermediates) return noKey();
  const auto params = parseParams(seq.params);
  if (!params) return noKey();
  const int first = params->at(0);

  switch (seq.final) {
    case '~': {
      const auto mods = xtermModifiers(params->at(1));
      return mods ? numberedKey(first, *mods) : noKey();
    }
    // rxvt: '$' Shift, '^' Ctrl, '@' Ctrl+Shift, no xterm parameter.
    case '$':
      return params->count == 1 ? numberedKey(first, kShift) : noKey();
    case '^':
      return params->count == 1 ? numberedKey(first, kCtrl) : noKey();
    case '@':
      return params->count == 1 ? numberedKey(first, kShift | kCtrl) : noKey();
    case 'Z': {
      const auto mods = letterModifiers(*params);
      return mods ? specialKey(SpecialKey::Tab, *mods | kShift) : noKey();
    }
    default: break;
  }
  if (const auto arrow = rxvtArrow(seq.final)) {
    return params->count == 0 ? specialKey(*arrow, kShift) : noKey();
  }
  const auto key = letterKey(seq.final);
  const auto mods = letterModifiers(*params);
  return key && mods ? specialKey(*key, *mods) : noKey();
}

Key ss3Key(const Sequence& seq) {
  const auto params = parseParams(seq.params);
  if (!params) return noKey();
  if (const auto c = keypadChar(seq.final)) return charKey(*c);
  if (const auto arrow = rxvtArrow(seq.final)) {
    return params->count == 0 ? specialKey(*arrow, kCtrl) : noKey();
  }
  // Some terminals put a bare modifier digit after SS3 ("ESC O 2 P").
  const auto mods = params->count == 1 ? xtermModifiers(params->at(0))
                                       : letterModifiers(*params);
  const auto key = letterKey(seq.final);
  return key && mods ? specialKey(*key, *mods) : noKey();
}

// The Linux console sends F1-F5 as "CSI [ A" .. "CSI [ E".
Step decodeLinuxFunctionKey(Bytes bytes, bool expired) {
  constexpr std::size_t kLetterAt = 3;
  if (bytes.size() <= kLetterAt) return expired ? nothing(bytes.size()) : needMore();
  const std::uint8_t b = bytes[kLetterAt];
  if (inRange(b, 'A', 'E')) {
    const auto index = static_cast<std::uint8_t>(
        static_cast<int>(SpecialKey::F1) + (b - 'A'));
    return done(specialKey(static_cast<SpecialKey>(index)), kLetterAt + 1);
  }
  if (inRange(b, 0x20, 0x7E)) return nothing(kLetterAt + 1);
  return nothing(kLetterAt);
}

Step decodeCsi(Bytes bytes, bool expired) {
  if (bytes.size() > 2 && bytes[2] == '[') return decodeLinuxFunctionKey(bytes, expired);
  const Scan scan = scanSequence(bytes, 2, expired, true);
  if (!scan.sequence) return scan.step;
  return done(csiKey(*scan.sequence), scan.step.consumed);
}

Step decodeSs3(Bytes bytes, bool expired) {
  const Scan scan = scanSequence(bytes, 2, expired, false);
  if (!scan.sequence) return scan.step;
  return done(ss3Key(*scan.sequence), scan.step.consumed);
}

// ---- Characters -----------------------------------------------------------

Step decodeAscii(std::uint8_t b) {
  if (b == 0x00) return done(specialKey(SpecialKey::NullKey), 1);  // Ctrl+2
  if (b == kDel) return done(charKey(0x08), 1);  // terminals send DEL for Backspace
  return done(charKey(b), 1);
}

// The console hands over characters in its code page; a code point below 256
// is the same byte in Latin-1, anything else has no single-byte code here.
Step decodeUtf8(Bytes bytes, bool expired) {
  const std::uint8_t lead = bytes[0];
  std::size_t length = 0;
  std::uint32_t cp = 0;
  // The second byte's range excludes overlong forms, surrogates and values
  // above U+10FFFF.
  std::uint8_t lo = 0x80;
  std::uint8_t hi = 0xBF;
  if (inRange(lead, 0xC2, 0xDF)) {
    length = 2;
    cp = lead & 0x1Fu;
  } else if (inRange(lead, 0xE0, 0xEF)) {
    length = 3;
    cp = lead & 0x0Fu;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (inRange(lead, 0xF0, 0xF4)) {
    length = 4;
    cp = lead & 0x07u;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  } else {
    return nothing(1);  // stray continuation byte, C0, C1 or F5-FF
  }

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

// ---- Escape ---------------------------------------------------------------

Step decodeAny(Bytes bytes, bool expired, bool allowAltPrefix);

// ESC + key is how terminals send Alt+key. Only one such prefix counts, so a
// run of ESC bytes cannot keep the reader waiting.
Step decodeEscape(Bytes bytes, bool expired, bool allowAltPrefix) {
  if (bytes.size() == 1) return expired ? done(charKey(kEsc), 1) : needMore();
  if (bytes[1] == '[') return decodeCsi(bytes, expired);
  if (bytes[1] == 'O') return decodeSs3(bytes, expired);
  // A string's introducer alone is Alt+P, Alt+] and so on.
  if (isStringIntroducer(bytes[1]) && !(expired && bytes.size() == 2)) {
    return bytes.size() == 2 ? needMore() : skipString(bytes, 2, expired);
  }
  if (!allowAltPrefix) return done(charKey(kEsc), 1);

  Step inner = decodeAny(bytes.subspan(1), expired, false);
  if (inner.needMore) return inner;
  // Alt+character gives the character itself, as the console does; a key
  // without a character moves to the Alt column.
  inner.key.mods.alt = true;
  inner.consumed += 1;
  return inner;
}

Step decodeAny(Bytes bytes, bool expired, bool allowAltPrefix) {
  const std::uint8_t b = bytes[0];
  if (b == kEsc) return decodeEscape(bytes, expired, allowAltPrefix);
  if (b >= 0x80) return decodeUtf8(bytes, expired);
  return decodeAscii(b);
}

DecodeResult toResult(const Step& step) {
  if (step.needMore) return DecodeResult{DecodeStatus::NeedMore, {}, 0, DecodeState::Key};
  const Key& key = step.key;
  switch (key.kind) {
    case Key::Kind::Char:
      return DecodeResult{DecodeStatus::Key, singleCode(key.ch), step.consumed};
    case Key::Kind::Special:
      if (const auto codes = specialKeyCodes(key.special, columnFor(key.mods))) {
        return DecodeResult{DecodeStatus::Key, *codes, step.consumed};
      }
      break;
    case Key::Kind::None: break;
  }
  return DecodeResult{DecodeStatus::Nothing, {}, step.consumed, step.next};
}

}  // namespace

DecodeResult decodeKey(std::span<const std::uint8_t> bytes, bool waitExpired,
                       DecodeState state) {
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
