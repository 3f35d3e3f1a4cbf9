// Keys from the controlling terminal. The terminal is put into raw input only
// while a key is awaited and is always given back as it was found, also when
// the process is killed by a signal meanwhile.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <vector>

#include "app/console.hpp"
#include "app/key_decoder.hpp"

namespace vn3 {

namespace {

// How long the rest of an escape sequence may take to arrive before the bytes
// so far are taken as they are (a lone Esc, or an incomplete sequence).
constexpr int sequenceWaitMs = 40;

// Signals whose default action ends the process: the terminal is restored
// before the process dies of them.
constexpr int fatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr std::size_t fatalSignalCount = sizeof fatalSignals / sizeof fatalSignals[0];

// Shared with the signal handler, so plain data only.
int rawFd = -1;
struct termios savedSettings;

extern "C" void restoreTerminalAndDie(int sig) {
  ::tcsetattr(rawFd, TCSANOW, &savedSettings);
  // The handler was reset to the default on entry and the signal is not
  // blocked inside it (SA_RESETHAND, SA_NODEFER), so this ends the process.
  ::raise(sig);
}

// Raw input on the terminal for as long as the object lives.
class RawInput {
 public:
  explicit RawInput(int fd) {
    if (::tcgetattr(fd, &savedSettings) != 0) return;
    rawFd = fd;
    installHandlers();

    struct termios raw = savedSettings;
    // Input: Enter arrives as CR (13), not translated to NL; no other CR/NL
    // rewriting; Ctrl+S and Ctrl+Q arrive as keys instead of pausing output;
    // a break raises no signal; the eighth bit is kept for UTF-8.
    raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | BRKINT | ISTRIP);
    // Local: no echo; bytes as they come, not lines; Ctrl+C, Ctrl+Z and
    // Ctrl+\ arrive as keys instead of signals; Ctrl+V is not special.
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | ISIG | IEXTEN);
    // Output processing stays as it was: the program's lines still end
    // properly on screen.
    raw.c_cc[VMIN] = 1;  // a read returns as soon as one byte is there
    raw.c_cc[VTIME] = 0;
    // TCSANOW, not TCSAFLUSH: what the user typed ahead is kept.
    active_ = ::tcsetattr(fd, TCSANOW, &raw) == 0;
    if (!active_) restoreHandlers();
  }

  ~RawInput() {
    if (!active_) return;
    ::tcsetattr(rawFd, TCSANOW, &savedSettings);
    restoreHandlers();
  }

  RawInput(const RawInput&) = delete;
  RawInput& operator=(const RawInput&) = delete;

  bool active() const { return active_; }

 private:
  void installHandlers() {
    for (std::size_t i = 0; i < fatalSignalCount; ++i) {
      struct sigaction action {};
      action.sa_handler = restoreTerminalAndDie;
      sigemptyset(&action.sa_mask);
      action.sa_flags = static_cast<int>(SA_RESETHAND | SA_NODEFER);
      ::sigaction(fatalSignals[i], nullptr, &previous_[i]);
      // A signal the user chose to ignore (nohup, say) stays ignored.
      if (previous_[i].sa_handler != SIG_IGN) ::sigaction(fatalSignals[i], &action, nullptr);
    }
  }

  void restoreHandlers() {
    for (std::size_t i = 0; i < fatalSignalCount; ++i) {
      ::sigaction(fatalSignals[i], &previous_[i], nullptr);
    }
  }

  bool active_ = false;
  struct sigaction previous_[fatalSignalCount] {};
};

// Reads one byte; false at end of input or on an error.
bool readByte(int fd, std::vector<std::uint8_t>& bytes) {
  for (;;) {
    std::uint8_t byte = 0;
    const ssize_t n = ::read(fd, &byte, 1);
    if (n == 1) {
      bytes.push_back(byte);
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

// Whether a byte arrives within the wait; an error counts as arrived, so the
// read that follows reports it.
bool byteArrives(int fd, int waitMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    struct pollfd pfd {fd, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, left > 0 ? static_cast<int>(left) : 0);
    if (ready > 0) return true;
    if (ready == 0) return false;
    if (errno != EINTR) return true;
  }
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Bytes read after a malformed sequence that belong to the next key.
std::vector<std::uint8_t> carriedBytes;

}  // namespace

ConsoleSession::ConsoleSession() = default;
ConsoleSession::~ConsoleSession() = default;
LineInput::LineInput() = default;
LineInput::~LineInput() = default;

std::optional<std::uint8_t> readInputByte() {
  for (;;) {
    std::uint8_t byte = 0;
    const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
    if (n == 1) return byte;
    if (n < 0 && errno == EINTR) continue;
    return std::nullopt;
  }
}

std::optional<std::vector<std::uint8_t>> readConsoleKey() {
  // The controlling terminal itself: standard input may be redirected, and
  // its buffer belongs to the number reader.
  FileDescriptor tty(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (tty.get() < 0) return std::nullopt;
  RawInput raw(tty.get());
  if (!raw.active()) return std::nullopt;

  std::vector<std::uint8_t>& bytes = carriedBytes;
  for (;;) {
    if (bytes.empty() && !readByte(tty.get(), bytes)) return std::nullopt;
    DecodeResult result = decodeKey(bytes, false);
    while (result.status == DecodeStatus::NeedMore) {
      if (byteArrives(tty.get(), sequenceWaitMs)) {
        if (!readByte(tty.get(), bytes)) return std::nullopt;
        result = decodeKey(bytes, false);
      } else {
        result = decodeKey(bytes, true);
      }
    }
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(result.consumed));
    if (result.status == DecodeStatus::Key) {
      return std::vector<std::uint8_t>(result.key.code.begin(),
                                       result.key.code.begin() + result.key.count);
    }
  }
}

}  // namespace vn3
