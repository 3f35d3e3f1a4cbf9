// Keys from the Windows console itself (CONIN$, never standard input), read as
// key events. The console input mode is 0 only while a key is awaited: no
// line input, no echo, and Ctrl+C arrives as the key 3 rather than a signal.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "app/console/console.hpp"
#include "app/console/key_event.hpp"

namespace vn3 {

std::vector<std::uint8_t> toCodePage(char16_t character, unsigned codePage) {
  const wchar_t wide = static_cast<wchar_t>(character);
  char bytes[8] = {};
  const int length =
      ::WideCharToMultiByte(codePage, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr);
  if (length <= 0) return {};
  return std::vector<std::uint8_t>(bytes, bytes + length);
}

namespace {

// The console's input, in mode 0 for as long as the object lives.
class RawConsoleInput {
 public:
  RawConsoleInput()
      : handle_(::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr)) {
    // GetConsoleMode fails when CONIN$ is no console at all.
    active_ = handle_ != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle_, &savedMode_) &&
              ::SetConsoleMode(handle_, 0);
  }

  ~RawConsoleInput() {
    if (active_) ::SetConsoleMode(handle_, savedMode_);
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }

  RawConsoleInput(const RawConsoleInput&) = delete;
  RawConsoleInput& operator=(const RawConsoleInput&) = delete;

  bool active() const { return active_; }
  HANDLE handle() const { return handle_; }

 private:
  HANDLE handle_;
  DWORD savedMode_ = 0;
  bool active_ = false;
};

// Wine's console on a terminal (Wine started from one) has a console window
// but never shows it; Wine's windowed console shows it. Windows' pseudo
// consoles hide theirs too, so the question is asked of Wine alone.
bool wineTerminalConsole() {
  static const bool terminal = [] {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr || ::GetProcAddress(ntdll, "wine_get_version") == nullptr) return false;
    const HWND window = ::GetConsoleWindow();
    return window != nullptr && !::IsWindowVisible(window);
  }();
  return terminal;
}

static_assert(key_state::rightAlt == RIGHT_ALT_PRESSED && key_state::leftAlt == LEFT_ALT_PRESSED);
static_assert(key_state::rightCtrl == RIGHT_CTRL_PRESSED &&
              key_state::leftCtrl == LEFT_CTRL_PRESSED);
static_assert(key_state::shift == SHIFT_PRESSED && key_state::enhanced == ENHANCED_KEY);

}  // namespace

// The console input mode is changed only while a key is awaited, so there is
// nothing to hold for the run or around a line.
ConsoleSession::ConsoleSession() = default;
ConsoleSession::~ConsoleSession() = default;
LineInput::LineInput() = default;
LineInput::~LineInput() = default;

std::optional<std::uint8_t> readInputByte() {
  std::uint8_t byte = 0;
  DWORD count = 0;
  if (!::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &count, nullptr) || count != 1) {
    return std::nullopt;
  }
  return byte;
}

void dropTypedAhead() {
  // Only when standard input is the console; a file or a pipe holds what its
  // writer meant.
  DWORD mode = 0;
  if (!::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode)) return;
  const HANDLE console =
      ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) return;
  ::FlushConsoleInputBuffer(console);
  ::CloseHandle(console);
}

std::optional<std::vector<std::uint8_t>> readConsoleKey() {
  RawConsoleInput console;
  if (!console.active()) return std::nullopt;
  const CodePageEncoder encode = [cp = ::GetConsoleCP()](char16_t c) { return toCodePage(c, cp); };
  for (;;) {
    INPUT_RECORD record{};
    DWORD count = 0;
    if (!::ReadConsoleInputW(console.handle(), &record, 1, &count)) return std::nullopt;
    if (count != 1 || record.EventType != KEY_EVENT) continue;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    KeyEventInfo event =
        keyEventInfo(key.bKeyDown != 0, key.wVirtualKeyCode, key.wVirtualScanCode,
                     static_cast<char16_t>(key.uChar.UnicodeChar), key.dwControlKeyState);
    if (wineTerminalConsole()) event = fromWineTerminal(event);
    std::vector<std::uint8_t> codes = keyEventCodes(event, encode);
    if (!codes.empty()) return codes;
  }
}

}  // namespace vn3
