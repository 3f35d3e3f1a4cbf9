#include "pty_session.hpp"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void throwErrno(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Control characters made visible, so a failure shows exactly what came.
std::string visible(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\n') {
      out += "\\n\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (u < 0x20 || u >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

// Everything a child needs, prepared before the fork so that the child
// only makes system calls.
struct ExecPlan {
  std::string binary;
  std::string workDir;
  std::vector<std::string> arguments;
  std::optional<std::uint64_t> fileSizeLimit;
  bool dropToNobody = false;
  int reportFd;  // closed by a successful exec; gets errno otherwise
  std::vector<char*> argv;

  void prepare() {
    argv.push_back(binary.data());
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
  }

  [[noreturn]] void fail() const {
    const int error = errno;
    [[maybe_unused]] const ssize_t n = ::write(reportFd, &error, sizeof error);
    ::_exit(127);
  }

  [[noreturn]] void run() const {
    // A player's shell starts the program with default signal handling,
    // whatever this test runner inherited (a background job ignores
    // SIGINT, for one).
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    sigemptyset(&defaults.sa_mask);
    for (int sig = 1; sig < NSIG; ++sig) {
      if (sig != SIGKILL && sig != SIGSTOP) ::sigaction(sig, &defaults, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (fileSizeLimit) {
      const struct rlimit limit { *fileSizeLimit, *fileSizeLimit };
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) fail();
    }
    // Groups first: once the ids are dropped, they can no longer be changed.
    if (dropToNobody &&
        (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
      fail();
    }
    if (::chdir(workDir.c_str()) == 0) ::execv(binary.c_str(), argv.data());
    fail();
  }

  static constexpr uid_t nobody = 65534;
};

// Waits until the child has either started the program or given up, and
// says why in the latter case.
std::string startFailure(int readFd) {
  int error = 0;
  ssize_t n = 0;
  do {
    n = ::read(readFd, &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  ::close(readFd);
  return n == static_cast<ssize_t>(sizeof error) ? std::strerror(error) : std::string();
}

}  // namespace

void PrintTo(const ExitStatus& status, std::ostream* os) {
  if (status.signaled) {
    *os << "killed by signal " << status.value << " (" << ::strsignal(status.value) << ")";
  } else {
    *os << "exit code " << status.value;
  }
}

struct termios defaultTerminalSettings() {
  struct termios t {};
  t.c_iflag = ICRNL | IXON | BRKINT | IMAXBEL | IUTF8;
  t.c_oflag = OPOST | ONLCR;
  t.c_cflag = CS8 | CREAD | HUPCL;
  t.c_lflag = ISIG | ICANON | IEXTEN | ECHO | ECHOE | ECHOK | ECHOCTL | ECHOKE;
  t.c_cc[VINTR] = 0x03;
  t.c_cc[VQUIT] = 0x1C;
  t.c_cc[VERASE] = 0x7F;
  t.c_cc[VKILL] = 0x15;
  t.c_cc[VEOF] = 0x04;
  t.c_cc[VSTART] = 0x11;
  t.c_cc[VSTOP] = 0x13;
  t.c_cc[VSUSP] = 0x1A;
  t.c_cc[VREPRINT] = 0x12;
  t.c_cc[VWERASE] = 0x17;
  t.c_cc[VLNEXT] = 0x16;
  t.c_cc[VDISCARD] = 0x0F;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, B38400);
  ::cfsetospeed(&t, B38400);
  return t;
}

bool sameSettings(const struct termios& a, const struct termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && a.c_line == b.c_line &&
         std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 &&
         ::cfgetispeed(&a) == ::cfgetispeed(&b) && ::cfgetospeed(&a) == ::cfgetospeed(&b);
}

std::string describeSettings(const struct termios& t) {
  std::ostringstream out;
  out << std::hex << "iflag=" << t.c_iflag << " oflag=" << t.c_oflag << " cflag=" << t.c_cflag
      << " lflag=" << t.c_lflag << " cc=";
  for (const cc_t c : t.c_cc) out << static_cast<unsigned>(c) << ',';
  return out.str();
}

PtySession::PtySession(const std::filesystem::path& binary, const std::filesystem::path& workDir,
                       Console console, const Launch& launch)
    : console_(console) {
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) throwErrno("pipe2");
  ExecPlan plan{.binary = binary.string(),
                .workDir = workDir.string(),
                .arguments = launch.arguments,
                .fileSizeLimit = launch.fileSizeLimit,
                .dropToNobody = launch.unprivileged && ::geteuid() == 0,
                .reportFd = report[1],
                .argv = {}};
  plan.prepare();
  if (console_ != Console::None) {
    struct termios settings = defaultTerminalSettings();
    struct winsize size {};
    size.ws_row = 24;
    size.ws_col = 80;
    if (::openpty(&master_, &slave_, nullptr, &settings, &size) != 0) throwErrno("openpty");
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    if (::tcgetattr(master_, &initialSettings_) != 0) throwErrno("tcgetattr");
    pid_ = ::fork();
    if (pid_ < 0) throwErrno("fork");
    if (pid_ == 0) {
      // New session with the pty as its controlling terminal on 0, 1, 2.
      if (::login_tty(::dup(slave_)) != 0) ::_exit(125);
      if (console_ == Console::TerminalStdinNull) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull < 0 || ::dup2(devNull, 0) < 0) ::_exit(125);
      }
      plan.run();
    }
  } else {
    int out[2];
    int err[2];
    int in[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0) throwErrno("pipe2");
    if (::pipe2(err, O_CLOEXEC) != 0) throwErrno("pipe2");
    if (!launch.standardInput.empty()) {
      // Small enough to sit in the pipe whole, so it is written up front.
      if (launch.standardInput.size() > 4096) throw std::logic_error("standard input too long");
      if (::pipe2(in, O_CLOEXEC) != 0) throwErrno("pipe2");
      if (::write(in[1], launch.standardInput.data(), launch.standardInput.size()) !=
          static_cast<ssize_t>(launch.standardInput.size())) {
        throwErrno("write");
      }
      closeFd(in[1]);
    }
    pid_ = ::fork();
    if (pid_ < 0) throwErrno("fork");
    if (pid_ == 0) {
      // A new session has no controlling terminal, so /dev/tty cannot be
      // opened.
      ::setsid();
      const int input = in[0] >= 0 ? in[0] : ::open("/dev/null", O_RDONLY);
      if (input < 0 || ::dup2(input, 0) < 0 || ::dup2(out[1], 1) < 0 || ::dup2(err[1], 2) < 0) {
        ::_exit(125);
      }
      plan.run();
    }
    closeFd(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    outPipe_ = out[0];
    errPipe_ = err[0];
  }
  ::close(report[1]);
  watched_ = pid_;
  startFailure_ = startFailure(report[0]);
}

PtySession::~PtySession() {
  if (pid_ > 0 && !exit_) {
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  closeFd(master_);
  closeFd(slave_);
  closeFd(outPipe_);
  closeFd(errPipe_);
}

void PtySession::pump(milliseconds wait) {
  std::array<struct pollfd, 2> fds{};
  nfds_t count = 0;
  if (master_ >= 0) fds[count++] = {master_, POLLIN, 0};
  if (outPipe_ >= 0) fds[count++] = {outPipe_, POLLIN, 0};
  if (errPipe_ >= 0) fds[count++] = {errPipe_, POLLIN, 0};
  if (count == 0) {
    if (wait.count() > 0) ::poll(nullptr, 0, static_cast<int>(wait.count()));
    return;
  }
  int timeout = static_cast<int>(wait.count());
  for (;;) {
    const int ready = ::poll(fds.data(), count, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return;
    for (nfds_t i = 0; i < count; ++i) {
      if (fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (fds[i].fd == errPipe_ ? err_ : raw_).append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        // End of a pipe. The pty master never ends here: the slave stays
        // open on this side.
        if (fds[i].fd == outPipe_) closeFd(outPipe_);
        if (fds[i].fd == errPipe_) closeFd(errPipe_);
        return;
      }
    }
    timeout = 0;  // take what else is there, then return
  }
}

void PtySession::drainAfterExit() {
  if (console_ == Console::None) {
    const auto deadline = Clock::now() + milliseconds(1000);
    while ((outPipe_ >= 0 || errPipe_ >= 0) && Clock::now() < deadline) pump(milliseconds(20));
    return;
  }
  // Output written just before the exit may still be on its way through
  // the pty: read until it has been quiet for a moment.
  for (int i = 0; i < 100; ++i) {
    const std::size_t before = raw_.size();
    pump(milliseconds(20));
    if (raw_.size() == before) return;
  }
}

std::optional<ExitStatus> PtySession::waitExit(milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!exit_) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      exit_ = WIFSIGNALED(status) ? ExitStatus::killedBy(WTERMSIG(status))
                                  : ExitStatus::exited(WEXITSTATUS(status));
      drainAfterExit();
      break;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    pump(milliseconds(2));
  }
  return exit_;
}

std::string PtySession::transcript() {
  pump(milliseconds(0));
  std::string folded;
  folded.reserve(raw_.size());
  for (std::size_t i = 0; i < raw_.size(); ++i) {
    if (raw_[i] == '\r' && i + 1 < raw_.size() && raw_[i + 1] == '\n') continue;
    folded += raw_[i];
  }
  return folded;
}

std::string PtySession::errorOutput() {
  pump(milliseconds(0));
  return err_;
}

struct termios PtySession::currentSettings() const {
  struct termios t {};
  if (master_ >= 0) ::tcgetattr(master_, &t);
  return t;
}

void PtySession::setSettings(const struct termios& t) {
  if (master_ >= 0) ::tcsetattr(master_, TCSANOW, &t);
}

char PtySession::processState() const {
  std::ifstream stat("/proc/" + std::to_string(watched_) + "/stat");
  // The name in parentheses may hold anything, line ends too; the state
  // follows the last closing parenthesis.
  std::string line;
  std::getline(stat, line, '\0');
  const std::size_t close = line.rfind(')');
  return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

std::uint64_t PtySession::charsRead() const {
  std::ifstream io("/proc/" + std::to_string(watched_) + "/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

bool PtySession::inKeyRead() const {
  if (master_ < 0) return false;
  // A key typed earlier may still be on its way to the program; it would
  // wake it, and a key typed now could then meet a cooked terminal.
  if (charsRead() < typedUntil_) return false;
  const struct termios t = currentSettings();
  // Between key reads the terminal is quiet too, but keeps its signal keys.
  if ((t.c_lflag & (ICANON | ECHO | ISIG)) != 0) return false;
  int unread = -1;
  if (::ioctl(slave_, FIONREAD, &unread) != 0 || unread != 0) return false;
  // Raw, nothing unread, and asleep: blocked in the read itself, so what
  // is typed now meets the raw settings.
  return processState() == 'S';
}

bool PtySession::inLineRead() const {
  if (master_ < 0) return false;
  if (charsRead() < typedUntil_) return false;
  const struct termios t = currentSettings();
  if ((t.c_lflag & ICANON) == 0 || (t.c_lflag & ECHO) == 0) return false;
  return processState() == 'S';
}

bool PtySession::stopped() const { return processState() == 'T'; }

::testing::AssertionResult PtySession::waitFor(bool (PtySession::*ready)() const,
                                               std::string_view what, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (waitExit(milliseconds(0))) {
      return ::testing::AssertionFailure()
             << "the program ended while waiting for " << what << failureContext();
    }
    if ((this->*ready)()) return ::testing::AssertionSuccess();
    if (Clock::now() >= deadline) {
      return ::testing::AssertionFailure() << "timed out after " << timeout.count()
                                           << " ms waiting for " << what << failureContext();
    }
    pump(milliseconds(1));
  }
}

::testing::AssertionResult PtySession::type(std::string_view bytes) {
  if (master_ < 0) return ::testing::AssertionFailure() << "no terminal to type into";
  // Settled when the program is asleep in its read; typed ahead, a lower
  // bound, and the unread count covers the rest.
  typedUntil_ = charsRead() + bytes.size();
  while (!bytes.empty()) {
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return ::testing::AssertionFailure() << "write to the terminal: " << std::strerror(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult PtySession::awaitKeyRead(milliseconds timeout) {
  return waitFor(&PtySession::inKeyRead, "a key read in raw mode", timeout);
}

::testing::AssertionResult PtySession::awaitLineRead(milliseconds timeout) {
  return waitFor(&PtySession::inLineRead, "a line read", timeout);
}

::testing::AssertionResult PtySession::awaitStopped(milliseconds timeout) {
  return waitFor(&PtySession::stopped, "a stop", timeout);
}

::testing::AssertionResult PtySession::sendKey(std::string_view bytes, milliseconds timeout) {
  if (auto ready = awaitKeyRead(timeout); !ready) return ready;
  return type(bytes);
}

::testing::AssertionResult PtySession::sendLine(std::string_view text, milliseconds timeout) {
  if (auto ready = awaitLineRead(timeout); !ready) return ready;
  return type(std::string(text) + "\r");
}

::testing::AssertionResult PtySession::sendEndOfInput(milliseconds timeout) {
  if (auto ready = awaitLineRead(timeout); !ready) return ready;
  // The terminal takes the key itself: the program reads no byte of it.
  const std::uint64_t readSoFar = charsRead();
  auto typed = type("\x04");
  typedUntil_ = readSoFar;
  return typed;
}

::testing::AssertionResult PtySession::expect(std::string_view text, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    // Once the program has ended and its output is drained, nothing more
    // can come.
    const bool ended = waitExit(milliseconds(0)).has_value();
    const std::string output = transcript();
    const std::size_t at = output.find(text, mark_);
    if (at != std::string::npos) {
      mark_ = at + text.size();
      return ::testing::AssertionSuccess();
    }
    if (ended || Clock::now() >= deadline) {
      return ::testing::AssertionFailure()
             << (ended ? "the program ended" : "timed out") << " before printing\n"
             << visible(text) << "\n--- since the mark ---\n"
             << visible(std::string_view(output).substr(std::min(mark_, output.size())))
             << failureContext();
    }
    pump(milliseconds(5));
  }
}

std::string PtySession::failureContext() {
  std::ostringstream out;
  if (!startFailure_.empty()) out << "\nthe program could not be started: " << startFailure_;
  out << "\n--- whole transcript ---\n" << visible(transcript()) << "\n--- end ---";
  if (exit_) {
    out << "\nprogram: ";
    PrintTo(*exit_, &out);
  } else {
    out << "\nprogram running, state " << processState();
    if (master_ >= 0) out << ", terminal " << describeSettings(currentSettings());
  }
  if (!err_.empty()) out << "\nstandard error: " << visible(err_);
  return out.str();
}

Tracer::Tracer(pid_t pid, const std::vector<std::string>& options) {
  std::vector<std::string> args = {"strace", "-p", std::to_string(pid)};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int err[2];
  if (::pipe2(err, O_CLOEXEC) != 0) throwErrno("pipe2");
  pid_ = ::fork();
  if (pid_ < 0) throwErrno("fork");
  if (pid_ == 0) {
    if (::dup2(err[1], 2) < 0) ::_exit(125);
    ::execvp(argv[0], argv.data());
    const std::string why = std::string("cannot run strace: ") + std::strerror(errno);
    [[maybe_unused]] const ssize_t n = ::write(2, why.data(), why.size());
    ::_exit(127);
  }
  ::close(err[1]);
  errPipe_ = err[0];
  // strace says so on standard error once the program stops at its calls.
  std::string said;
  const auto deadline = Clock::now() + defaultTimeout;
  while (said.find(" attached") == std::string::npos) {
    struct pollfd fd {
      errPipe_, POLLIN, 0
    };
    char buffer[512];
    const ssize_t n = ::poll(&fd, 1, 100) > 0 ? ::read(errPipe_, buffer, sizeof buffer) : -1;
    if (n == 0 || Clock::now() >= deadline) {
      failure_ = said.empty() ? "strace did not attach" : said;
      return;
    }
    if (n > 0) said.append(buffer, static_cast<std::size_t>(n));
  }
}

Tracer::~Tracer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  closeFd(errPipe_);
}

std::string runActionAndQuit(const std::filesystem::path& binary,
                             const std::filesystem::path& workDir, char key, const Launch& launch) {
  PtySession session(binary, workDir, Console::Terminal, launch);
  EXPECT_TRUE(session.sendKey(std::string(1, key)));
  if (key == '1') {
    EXPECT_TRUE(session.sendKey("n"));
  }
  EXPECT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  EXPECT_TRUE(sameSettings(session.currentSettings(), session.initialSettings()))
      << describeSettings(session.currentSettings());
  return session.transcript();
}

}  // namespace e2e
