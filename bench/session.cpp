// The benchmark's session: start-up, the nine actions and quit, typed into
// vn3patch through the end-to-end harness, with each step's wall and CPU
// time printed. It checks nothing; bench/run.sh makes the stand-in
// installation, runs this once per session and sums up.
//   vn3_bench_session PROGRAM SYSTEM_DIR [STRACE_LOG]
// With STRACE_LOG the program runs under strace -y, which writes there; the
// harness then watches the program, not strace, to know when it waits for
// a key, and the times are strace's more than the program's.
// Prints a line per step (start-up, 1 to 9, quit, then the whole session):
// its name, wall and CPU nanoseconds; then the peak resident set in KiB.
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "pty_session.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::string_view prompt = "Pick one, vesker> ";
constexpr std::string_view colourQuestion = "(y/N)> ";

std::string proc(pid_t pid, const char* file) {
  return "/proc/" + std::to_string(pid) + "/" + file;
}

// The program's time on a CPU so far, from the scheduler's own account,
// which a zombie still holds.
long long cpuNs(pid_t pid) {
  std::ifstream in(proc(pid, "schedstat"));
  long long ns = 0;
  in >> ns;
  return ns;
}

long peakKib(pid_t pid) {
  std::ifstream in(proc(pid, "status"));
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  }
  return 0;
}

// The child of strace that runs `program`, once it has been started.
pid_t programUnder(pid_t strace, const fs::path& program) {
  const auto deadline = Clock::now() + e2e::defaultTimeout;
  while (Clock::now() < deadline) {
    std::ifstream children(proc(strace, "task/") + std::to_string(strace) + "/children");
    pid_t child = 0;
    while (children >> child) {
      std::error_code ec;
      if (fs::read_symlink(proc(child, "exe"), ec) == program) return child;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return -1;
}

fs::path inPath(const std::string& name) {
  std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(path, dir, ':')) {
    if (::access((fs::path(dir) / name).c_str(), X_OK) == 0) return fs::path(dir) / name;
  }
  return name;
}

[[noreturn]] void stop(const std::string& why) {
  std::fprintf(stderr, "vn3_bench_session: %s\n", why.c_str());
  std::exit(1);
}

void go(const ::testing::AssertionResult& result) {
  if (!result) stop(result.message());
}

void print(const char* step, Clock::duration wall, long long cpu) {
  std::printf(
      "%s %lld %lld\n", step,
      static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count()),
      cpu);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s PROGRAM SYSTEM_DIR [STRACE_LOG]\n", argv[0]);
    return 2;
  }
  const bool traced = argc == 4;
  const fs::path program = fs::canonical(argv[1]);
  e2e::Launch launch;
  if (traced) launch.arguments = {"-y", "-o", argv[3], "--", program.string()};

  const auto started = Clock::now();
  e2e::PtySession session(traced ? inPath("strace") : program, argv[2], e2e::Console::Terminal,
                          launch);
  const pid_t pid = traced ? programUnder(session.pid(), program) : session.pid();
  if (pid < 0) stop("strace did not start the program");
  session.watch(pid);

  go(session.expect(prompt));
  const auto firstPrompt = Clock::now();
  go(session.awaitKeyRead());
  long long cpu = cpuNs(pid);
  print("start-up", firstPrompt - started, cpu);
  long peak = peakKib(pid);

  for (char key = '1'; key <= '9'; ++key) {
    auto typed = Clock::now();
    go(session.typeAhead(std::string(1, key)));
    Clock::duration wall{};
    if (key == '1') {
      // The wait for the next key read is the harness's, not the program's.
      go(session.expect(colourQuestion));
      wall = Clock::now() - typed;
      go(session.awaitKeyRead());
      typed = Clock::now();
      go(session.typeAhead("n"));
    }
    go(session.expect(prompt));
    wall += Clock::now() - typed;
    go(session.awaitKeyRead());
    const long long now = cpuNs(pid);
    print(std::string(1, key).c_str(), wall, now - cpu);
    cpu = now;
    peak = std::max(peak, peakKib(pid));
  }

  const auto typed = Clock::now();
  go(session.typeAhead("q"));
  // The end is awaited without reaping, so that the zombie still tells its
  // CPU time; strace, the child when traced, ends after the program. (The
  // system call itself: glibc 2.36's header lacks C++ linkage.)
  struct pollfd end {
    static_cast<int>(::syscall(SYS_pidfd_open, session.pid(), 0)), POLLIN, 0
  };
  ::poll(&end, 1, static_cast<int>(e2e::defaultTimeout.count()));
  const auto ended = Clock::now();
  const long long total = traced ? cpu : cpuNs(pid);
  if (!session.waitExit()) stop("the program did not end");
  ::close(end.fd);
  print("quit", ended - typed, total - cpu);
  print("session", ended - started, total);
  std::printf("peak-kib %ld\n", peak);
}
