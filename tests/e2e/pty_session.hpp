#pragma once
// Runs the real program the way a player would: in a terminal of its own
// (a pseudo-terminal whose master side this harness holds), or with no
// terminal at all. Every wait is bounded, so a program that hangs fails the
// test instead of the suite.
#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace e2e {

using std::chrono::milliseconds;

inline constexpr milliseconds defaultTimeout{5000};

// How a child process ended.
struct ExitStatus {
  bool signaled = false;
  int value = 0;  // exit code, or the signal number when signaled

  static ExitStatus exited(int code) { return {false, code}; }
  static ExitStatus killedBy(int sig) { return {true, sig}; }
  friend bool operator==(const ExitStatus&, const ExitStatus&) = default;
};
void PrintTo(const ExitStatus& status, std::ostream* os);

// The settings a terminal emulator hands a shell: cooked lines, echo,
// signal keys, and newline output mapped to CR LF.
struct termios defaultTerminalSettings();

// Same settings field by field (the struct has padding, so no memcmp).
bool sameSettings(const struct termios& a, const struct termios& b);
std::string describeSettings(const struct termios& t);

enum class Console {
  Terminal,           // a pty as controlling terminal, on stdin, stdout and stderr
  TerminalStdinNull,  // the same, but stdin redirected from /dev/null
  None,               // new session without a terminal; stdin /dev/null, output to pipes
};

// How the child is set up beyond its console, before the program starts.
struct Launch {
  std::vector<std::string> arguments;  // after the program's own name
  // A file-size limit (RLIMIT_FSIZE) as a shell's `ulimit -f` sets it:
  // SIGXFSZ keeps its default, so a write past the limit fails with EFBIG
  // only if the program ignores the signal, and kills it otherwise.
  std::optional<std::uint64_t> fileSizeLimit;
  // Run as an ordinary user: when this harness is root, the child drops to
  // uid and gid 65534, since root would open read-only files anyway;
  // otherwise it stays the current user.
  bool unprivileged = false;
  // Console::None only: what standard input holds instead of /dev/null.
  std::string standardInput;
};

class PtySession {
 public:
  // Starts `binary` with `workDir` as its working directory.
  PtySession(const std::filesystem::path& binary, const std::filesystem::path& workDir,
             Console console = Console::Terminal, const Launch& launch = {});
  ~PtySession();  // a child still running is killed and reaped
  PtySession(const PtySession&) = delete;
  PtySession& operator=(const PtySession&) = delete;

  pid_t pid() const { return pid_; }
  // The process whose reads and sleep the waits watch: the child started,
  // or, when that is a wrapper such as strace, the program it runs.
  void watch(pid_t program) { watched_ = program; }

  // Waits until the output since the mark contains `text`; the mark then
  // moves past it.
  ::testing::AssertionResult expect(std::string_view text, milliseconds timeout = defaultTimeout);

  // Waits until the program sits in a key read with the terminal in raw
  // mode and nothing unread, then types `bytes` as one write. Waiting first
  // keeps the line discipline from echoing or acting on a key typed while
  // the terminal is still cooked. A lone Esc starts a short wait in the
  // program for the rest of a sequence: type nothing right after it.
  ::testing::AssertionResult sendKey(std::string_view bytes, milliseconds timeout = defaultTimeout);

  // Types `bytes` at once, whatever the program is doing: keys typed ahead
  // while an action runs.
  ::testing::AssertionResult typeAhead(std::string_view bytes) { return type(bytes); }

  // The program has dropped what was typed and not yet read, as a colour
  // prompt does when it ends: the next wait no longer waits for it.
  void forgetUnread() { typedUntil_ = charsRead(); }

  // Waits until the program reads a cooked line, then types `text` and
  // Enter.
  ::testing::AssertionResult sendLine(std::string_view text, milliseconds timeout = defaultTimeout);

  // Waits until the program reads a cooked line, then types the end-of-input
  // key (Ctrl+D) at the start of the line.
  ::testing::AssertionResult sendEndOfInput(milliseconds timeout = defaultTimeout);

  // Waits until the program is blocked in a key read in raw mode.
  ::testing::AssertionResult awaitKeyRead(milliseconds timeout = defaultTimeout);
  // Waits until the program is blocked reading a cooked line.
  ::testing::AssertionResult awaitLineRead(milliseconds timeout = defaultTimeout);
  // Waits until the program is stopped (SIGSTOP, SIGTSTP).
  ::testing::AssertionResult awaitStopped(milliseconds timeout = defaultTimeout);

  // Waits for the child to end; nothing if it is still running at the
  // timeout (it is then left running for the destructor).
  std::optional<ExitStatus> waitExit(milliseconds timeout = defaultTimeout);

  // Everything printed so far, with each CR LF folded to LF (only that
  // pair: a stray CR stays visible).
  std::string transcript();
  // What went to standard error; kept apart only with Console::None.
  std::string errorOutput();

  // The terminal's settings as they were before the program started, and
  // as they are now.
  const struct termios& initialSettings() const { return initialSettings_; }
  struct termios currentSettings() const;
  // Sets the terminal's settings, as a shell does before it hands the
  // terminal to a job it continues.
  void setSettings(const struct termios& t);

 private:
  // Reads whatever output arrives within `wait`.
  void pump(milliseconds wait);
  void drainAfterExit();
  char processState() const;        // from /proc: 'S' sleeping, 'R' running, ...
  std::uint64_t charsRead() const;  // from /proc: bytes the program has read
  bool inKeyRead() const;
  bool inLineRead() const;
  bool stopped() const;
  ::testing::AssertionResult waitFor(bool (PtySession::*ready)() const, std::string_view what,
                                     milliseconds timeout);
  ::testing::AssertionResult type(std::string_view bytes);
  std::string failureContext();

  Console console_;
  pid_t pid_ = -1;
  pid_t watched_ = -1;
  std::optional<ExitStatus> exit_;
  int master_ = -1;           // Terminal: the pty master
  int slave_ = -1;            // Terminal: kept open to see the unread input count
  int outPipe_ = -1;          // None: the child's stdout
  int errPipe_ = -1;          // None: the child's stderr
  std::string startFailure_;  // why exec failed, if it did
  std::string raw_;
  std::string err_;
  std::size_t mark_ = 0;  // into the folded transcript
  // The program's read count once it has read all that was typed: until
  // then it is not waiting for the next key, even if it looks so.
  std::uint64_t typedUntil_ = 0;
  struct termios initialSettings_ {};
};

// strace attached to a running program, with `options` saying what it
// records or injects. When it cannot attach (no strace, ptrace not
// allowed), failure() says why; otherwise it stays until the program ends
// or this object goes, which detaches it.
class Tracer {
 public:
  Tracer(pid_t pid, const std::vector<std::string>& options);
  ~Tracer();
  Tracer(const Tracer&) = delete;
  Tracer& operator=(const Tracer&) = delete;

  const std::string& failure() const { return failure_; }

 private:
  pid_t pid_ = -1;
  int errPipe_ = -1;
  std::string failure_;
};

// Starts the program in `workDir`, runs the action of `key` (declining a
// colour of its own for action 1), quits and expects status 0 and the
// terminal as it was found. Returns the transcript.
std::string runActionAndQuit(const std::filesystem::path& binary,
                             const std::filesystem::path& workDir, char key,
                             const Launch& launch = {});

}  // namespace e2e
