// Keys from the controlling terminal. While a ConsoleSession lives, the
// terminal neither echoes nor collects lines between key reads, so keys
// typed during an action stay unseen and queued; during a key read it is
// raw. The settings as found come back on every way out, also when a signal
// ends the process, and the program's own are set again after a stop.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/console/console.hpp"
#include "app/console/key_reader.hpp"

namespace vn3 {

namespace {

// How long the rest of an escape sequence may take to arrive before the bytes
// so far are taken as they are (a lone Esc, or an incomplete sequence).
constexpr int sequenceWaitMs = 40;

enum Mode : int {
  Found,  // as the program found them
  Quiet,  // between key reads: no echo, no lines; signal keys and output as found
  Raw,    // during a key read
  modeCount
};

// Shared with the signal handlers, so plain data only. All but the mode are
// written before the handlers go in.
int ttyFd = -1;
struct termios settings[modeCount];
volatile std::sig_atomic_t modeInForce = Found;

// TCSANOW, never a flush: keys typed ahead stay queued (only the end of a
// colour prompt drops them, see dropTypedAhead). Only in the
// foreground: from the background a change would stop the process (SIGTTOU),
// and the terminal belongs to whoever is in the foreground.
void applyMode(int mode) {
  if (::tcgetpgrp(ttyFd) == ::getpgrp()) ::tcsetattr(ttyFd, TCSANOW, &settings[mode]);
}

void enterMode(Mode mode) {
  modeInForce = mode;
  applyMode(mode);
}

// ---- Signals ----------------------------------------------------------------

// Signals whose default action ends the process, besides the real-time ones.
// SIGXFSZ is not among them: it is ignored, so that an over-limit write fails.
// clang-format off
constexpr int endingSignals[] = {
    SIGHUP,  SIGINT,    SIGQUIT, SIGILL,  SIGTRAP,   SIGABRT, SIGBUS,  SIGFPE,
    SIGSEGV, SIGUSR1,   SIGUSR2, SIGPIPE, SIGALRM,   SIGTERM, SIGSTKFLT, SIGXCPU,
    SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSYS};
// clang-format on

// Signals whose handler is this file's, and what each had before it.
bool replaced[NSIG];
struct sigaction foundAction[NSIG];

using Handler = void (*)(int, siginfo_t*, void*);

bool setHandler(int sig, Handler handler, int flags) {
  struct sigaction action {};
  action.sa_sigaction = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_SIGINFO | flags;
  return ::sigaction(sig, &action, nullptr) == 0;
}

// An ignored signal stays ignored (nohup). With `overHandlers`, a handler
// already there (a sanitizer's, a profiler's) is replaced and comes back
// when the signal does; otherwise only the default is replaced.
void installHandler(int sig, Handler handler, int flags, bool overHandlers) {
  struct sigaction found {};
  if (::sigaction(sig, nullptr, &found) != 0) return;
  const bool plain = (found.sa_flags & SA_SIGINFO) == 0;
  if (plain && found.sa_handler == SIG_IGN) return;
  if (!overHandlers && !(plain && found.sa_handler == SIG_DFL)) return;
  foundAction[sig] = found;
  replaced[sig] = setHandler(sig, handler, flags);
}

extern "C" void onEndingSignal(int sig, siginfo_t* info, void*) {
  applyMode(Found);
  // What the signal had before takes it, raised again once this handler
  // returns: the default ends the process.
  ::sigaction(sig, &foundAction[sig], nullptr);
  // A fault the kernel raised for an instruction comes back by itself when
  // the instruction runs again, with its own details for whatever handles it.
  const bool fault = sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL;
  if (!fault || info == nullptr || info->si_code <= 0) ::raise(sig);
}

constexpr int stopFlags = static_cast<int>(SA_RESETHAND | SA_NODEFER);

extern "C" void onStop(int sig, siginfo_t*, void*) {
  const int savedErrno = errno;
  applyMode(Found);
  // The default action now stops the process; raise returns once it is
  // continued (SIGCONT's handler has then set the mode again), or at once
  // in an orphaned process group, which the default action does not stop.
  ::raise(sig);
  // The handler first, so a second stop meanwhile finds it.
  setHandler(sig, onStop, stopFlags);
  applyMode(modeInForce);
  errno = savedErrno;
}

extern "C" void onContinue(int, siginfo_t*, void*) {
  const int savedErrno = errno;
  applyMode(modeInForce);
  errno = savedErrno;
}

void installHandlers() {
  for (const int sig : endingSignals) installHandler(sig, onEndingSignal, 0, true);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) installHandler(sig, onEndingSignal, 0, true);
  installHandler(SIGTSTP, onStop, stopFlags, false);
  installHandler(SIGCONT, onContinue, 0, false);
}

void restoreHandlers() {
  for (int sig = 1; sig < NSIG; ++sig) {
    if (replaced[sig]) ::sigaction(sig, &foundAction[sig], nullptr);
    replaced[sig] = false;
  }
}

// ---- Holding the terminal -----------------------------------------------------

// Whether the ConsoleSession alive holds the terminal; Quiet is then in force
// between key reads, otherwise the terminal is taken for each key read.
bool sessionHolds = false;

// False when there is no controlling terminal. One holder at a time.
bool takeTerminal() {
  // The terminal itself: standard input may be redirected, and its buffer
  // belongs to the number reader.
  const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  if (::tcgetattr(fd, &settings[Found]) != 0) {
    ::close(fd);
    return false;
  }
  settings[Quiet] = settings[Found];
  settings[Quiet].c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN);
  settings[Raw] = settings[Found];
  // Enter arrives as CR (13), no CR/NL rewriting, Ctrl+S and Ctrl+Q are keys,
  // a break raises no signal, and the eighth bit stays for UTF-8.
  settings[Raw].c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | BRKINT | ISTRIP);
  // No echo, bytes not lines; Ctrl+C, Ctrl+Z and Ctrl+\ are keys, not signals; Ctrl+V is plain.
  settings[Raw].c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | ISIG | IEXTEN);
  // Output processing stays, so the program's lines still end properly.
  settings[Raw].c_cc[VMIN] = 1;  // a read returns as soon as one byte is there
  settings[Raw].c_cc[VTIME] = 0;
  ttyFd = fd;
  installHandlers();
  return true;
}

void releaseTerminal() {
  enterMode(Found);
  restoreHandlers();
  ::close(ttyFd);
  ttyFd = -1;
}

// ---- Reading ------------------------------------------------------------------

// One byte; nothing at end of input or on an error.
std::optional<std::uint8_t> readByte(int fd) {
  for (;;) {
    std::uint8_t byte = 0;
    const ssize_t n = ::read(fd, &byte, 1);
    if (n == 1) return byte;
    if (n < 0 && errno == EINTR) continue;
    return std::nullopt;
  }
}

// Whether a byte arrives within the sequence wait; an error counts as
// arrived, so the read that follows reports it.
bool byteArrives(int fd) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(sequenceWaitMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd pfd{fd, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, left > 0 ? static_cast<int>(left) : 0);
    if (ready >= 0) return ready > 0;
    if (errno != EINTR) return true;
  }
}

// Outlives each key read: bytes read after a key belong to the next.
KeyReader keyReader;

// The next key's codes from the terminal in raw mode.
std::optional<std::vector<std::uint8_t>> decodeNextKey(int fd) {
  for (;;) {
    if (std::optional<std::vector<std::uint8_t>> key = keyReader.key()) return key;
    if (keyReader.wants() == KeyReader::Wait::ByteWithinSequenceWait && !byteArrives(fd)) {
      keyReader.waitRanOut();
    } else if (const std::optional<std::uint8_t> byte = readByte(fd)) {
      keyReader.byteRead(*byte);
    } else {
      return std::nullopt;
    }
  }
}

}  // namespace

ConsoleSession::ConsoleSession() {
  if (sessionHolds) return;
  sessionHolds = takeTerminal();
  if (sessionHolds) enterMode(Quiet);
}

ConsoleSession::~ConsoleSession() {
  if (sessionHolds) releaseTerminal();
  sessionHolds = false;
}

LineInput::LineInput() {
  if (sessionHolds) enterMode(Found);
}

LineInput::~LineInput() {
  if (sessionHolds) enterMode(Quiet);
}

std::optional<std::uint8_t> readInputByte() { return readByte(STDIN_FILENO); }

void dropTypedAhead() {
  // Only when standard input is the controlling terminal, the one the keys
  // come from (/dev/tty's own status names no terminal, so the session asks
  // instead): a file or a pipe holds what its writer meant.
  if (::tcgetsid(STDIN_FILENO) == ::getsid(0) && ::tcgetpgrp(STDIN_FILENO) == ::getpgrp()) {
    ::tcflush(STDIN_FILENO, TCIFLUSH);
  }
}

std::optional<std::vector<std::uint8_t>> readConsoleKey() {
  // Without a session the terminal is taken for this one key.
  const bool own = !sessionHolds;
  if (own && !takeTerminal()) return std::nullopt;
  enterMode(Raw);
  std::optional<std::vector<std::uint8_t>> key = decodeNextKey(ttyFd);
  if (own) {
    releaseTerminal();
  } else {
    enterMode(Quiet);
  }
  return key;
}

}  // namespace vn3
