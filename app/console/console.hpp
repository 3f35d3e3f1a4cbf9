#pragma once
// The console as each platform gives it (one implementation per platform):
// its keyboard, standard input for lines, and the terminal's modes around them.
#include <cstdint>
#include <optional>
#include <vector>

namespace vn3 {

// Holds the console for the whole run and gives it back as found. Only one
// lives at a time; readConsoleKey and LineInput work without one too.
class ConsoleSession {
 public:
  ConsoleSession();
  ~ConsoleSession();
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;
};

// Waits for the next key press on the console itself (never standard input)
// and gives all the codes it makes, in order: one for a character, two for a
// prefix and second code, more for a character of several code-page bytes.
// Keys without a code are skipped. Nothing when there is no console, or it
// reports end of input or an error.
std::optional<std::vector<std::uint8_t>> readConsoleKey();

// While it lives, lines typed on the console are read as the player's
// terminal reads them when found: echoed and edited.
class LineInput {
 public:
  LineInput();
  ~LineInput();
  LineInput(const LineInput&) = delete;
  LineInput& operator=(const LineInput&) = delete;
};

// One byte of standard input, unbuffered, so nothing past it is taken;
// nothing at end of input or on an error. A later call reads again.
std::optional<std::uint8_t> readInputByte();

// When standard input is the console the keys come from, drops what was
// typed or pasted there and not read yet, so that the rest of a paste does
// not reach the menu as keys.
void dropTypedAhead();

// The code of the next key press on the console, without echo and without
// waiting for Enter: 0 to 255, or -1 when no console can be read. A key that
// gives two codes (a prefix and a second code) gives them over two calls.
int readKey();

}  // namespace vn3
