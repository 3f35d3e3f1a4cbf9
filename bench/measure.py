#!/usr/bin/env python3
"""Benchmarks vn3patch in a throw-away stand-in installation (build B).

A scripted session (start-up, the nine actions, quit) is run through a
pseudo-terminal several times for time and memory, then once more under
strace to count system calls per action and the bytes read from and written
to the two game files. The package holds synthetic stock blocks, which the
program keeps at its first action on each block and writes back at 7 and 9;
every session must leave them there. Beside it, the same nine patches are done with
dd conv=notrunc. bench/run.sh builds the program and calls this.

Python standard library only.
"""

import argparse
import collections
import fcntl
import os
import re
import select
import shutil
import signal
import statistics
import struct
import sys
import termios
import time

EXE_SIZE = 0x628000
PACKAGE_SIZE = 0x826800
EXE = "System/VN3Main.exe"
PACKAGE = "CONTENT/VN3/Maps/Core_FXBANK.ibt"
GAME_FILE_NAMES = ("VN3Main.exe", "Core_FXBANK.ibt")
SHADERS = ["System/Shaders/RovizeraDiff.pso", "System/Shaders/RovizeraNormal.pso",
           "System/Shaders/Rovizera.pso"]

PROMPT = b"Pick one, vesker> "
COLOUR_QUESTION = b"Would you like to specify custom frob color (y/N)> "
APPLIED = b"-- Patch Applied --"

TRAIL_LENGTH = 464
GLINT_LENGTH = 2752
TRAIL_HEAD = bytes.fromhex("00 00 00 00 00 10 00 21 F0 31 43 08 55 D5 B5 2D")
GLINT_HEAD = bytes.fromhex("01 00 00 00 55 55 55 55 01 00 00 00 55 55 55 55")

# Where each action writes in build B: (file, offset, length).
FROB = [(EXE, 0x54A33C, 1), (EXE, 0x54A34C, 1), (EXE, 0x54A35C, 1)]
LOOT = [(EXE, 0x5814B9, 1)]
TRAIL = [(PACKAGE, 0x11B840, TRAIL_LENGTH)]
GLINT = [(PACKAGE, 0x31D840, GLINT_LENGTH)]


def synthetic_block(head, length):
    """The right length and leading bytes, a made-up pattern after them."""
    return head + bytes((i * 37 + 11) & 0xFF for i in range(length - len(head)))


# What the stand-in's package holds at each block before a session, and must
# hold again once 7 (trails stock) and 9 (glint stock) have run.
STOCK = {7: synthetic_block(TRAIL_HEAD, TRAIL_LENGTH), 9: synthetic_block(GLINT_HEAD, GLINT_LENGTH)}
SITES = {1: FROB, 2: FROB, 3: LOOT, 4: LOOT, 5: TRAIL, 6: TRAIL, 7: TRAIL, 8: GLINT, 9: GLINT}
ACTIONS = {
    1: "frob highlight on",
    2: "frob highlight off",
    3: "loot % off",
    4: "loot % on",
    5: "trails off",
    6: "trails subtle",
    7: "trails stock",
    8: "glint off",
    9: "glint stock",
}
# Every key the session types, with the action it belongs to: action 1 asks
# whether to pick a colour and gets "n".
KEYS = [("1", 1), ("n", 1)] + [(str(k), k) for k in range(2, 10)] + [("q", "quit")]

TIMEOUT = 10.0


class BenchError(Exception):
    pass


# ---------------------------------------------------------------- /proc


def read_text(path):
    with open(path) as f:
        return f.read()


CPU_CLOCK = "scheduler clock, ns"


def cpu_ns(pid):
    """Time on a CPU so far, all threads, in nanoseconds. The scheduler's own
    account where the kernel keeps one; otherwise user and system ticks."""
    global CPU_CLOCK
    try:
        return sum(int(read_text(f"/proc/{pid}/task/{task}/schedstat").split()[0])
                   for task in os.listdir(f"/proc/{pid}/task"))
    except FileNotFoundError:
        CPU_CLOCK = f"ticks of {1000 // os.sysconf('SC_CLK_TCK')} ms: too coarse per action"
        stat = read_text(f"/proc/{pid}/stat")
        fields = stat[stat.rfind(")") + 2:].split()
        return (int(fields[11]) + int(fields[12])) * 10**9 // os.sysconf("SC_CLK_TCK")


def peak_rss_kib(pid):
    for line in read_text(f"/proc/{pid}/status").splitlines():
        if line.startswith("VmHWM:"):
            return int(line.split()[1])
    return 0


def process_state(pid):
    stat = read_text(f"/proc/{pid}/stat")
    # The name in parentheses may hold anything; the state follows it.
    return stat[stat.rfind(")") + 2]


def chars_read(pid):
    for line in read_text(f"/proc/{pid}/io").splitlines():
        if line.startswith("rchar:"):
            return int(line.split()[1])
    return 0


# ---------------------------------------------------------------- stand-in


def make_standin(work, binary):
    """A sparse game tree of build B's sizes with synthetic stock blocks at
    the package's two block sites, and a copy of the program in a folder of
    its own with no stock files beside it. Run from System, not from its own
    folder, the program saves none there either."""
    root = os.path.join(work, "game")
    os.makedirs(os.path.join(root, "System"))
    os.makedirs(os.path.join(root, "CONTENT/VN3/Maps"))
    for path, size in ((EXE, EXE_SIZE), (PACKAGE, PACKAGE_SIZE)):
        with open(os.path.join(root, path), "wb") as f:
            f.truncate(size)
    program_dir = os.path.join(work, "bin")
    os.makedirs(program_dir)
    program = os.path.join(program_dir, "vn3patch")
    shutil.copy2(binary, program)
    with open(os.path.join(root, PACKAGE), "r+b") as f:
        for action, block in STOCK.items():
            (_, offset, _), = SITES[action]
            f.seek(offset)
            f.write(block)
    return root, program


def check_stock_back(root, action):
    """The block action 7 or 9 wrote must be the stock block the package held."""
    if [read_site(root, *site) for site in SITES[action]] != [STOCK[action]]:
        raise BenchError(f"action {action} did not put the stock block back")


def read_site(root, path, offset, length):
    with open(os.path.join(root, path), "rb") as f:
        f.seek(offset)
        return f.read(length)


# ---------------------------------------------------------------- processes


def spawn(argv, cwd, terminal=None):
    """Starts argv in cwd; with a terminal, in a new session whose controlling
    terminal it is, on 0, 1 and 2. Signals back to their defaults, as a
    shell would start it."""
    if terminal:
        actions = [(os.POSIX_SPAWN_OPEN, 0, terminal, os.O_RDWR, 0),
                   (os.POSIX_SPAWN_DUP2, 0, 1), (os.POSIX_SPAWN_DUP2, 0, 2)]
    else:
        actions = [(os.POSIX_SPAWN_OPEN, 0, "/dev/null", os.O_RDONLY, 0),
                   (os.POSIX_SPAWN_OPEN, 1, "/dev/null", os.O_WRONLY, 0)]
    defaults = set(range(1, 32)) - {signal.SIGKILL, signal.SIGSTOP}
    here = os.getcwd()
    os.chdir(cwd)  # posix_spawn has no working-directory argument
    try:
        return os.posix_spawn(argv[0], argv, os.environ, file_actions=actions,
                              setsid=bool(terminal), setsigdef=defaults, setsigmask=())
    finally:
        os.chdir(here)


def run_plain(argv, cwd):
    """Runs a non-interactive command; returns (wall s, CPU s, exit status)."""
    started = time.perf_counter()
    pid = spawn(argv, cwd)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - started
    return wall, usage.ru_utime + usage.ru_stime, os.waitstatus_to_exitcode(status)


class Session:
    """The program on a pseudo-terminal. Keys are typed only once the
    terminal is in raw mode, so none is echoed or met by a cooked terminal."""

    def __init__(self, argv, cwd, traced=False):
        self.master, self.slave = os.openpty()
        self.output = bytearray()
        self.typed_until = 0
        self.started = time.perf_counter()
        self.pid = spawn(argv, cwd, os.ttyname(self.slave))
        self.exited = os.pidfd_open(self.pid)
        self.reaped = False
        # Under strace the program is the child of strace running it (strace
        # may start others first, to probe the kernel).
        self.program = self._child_running(argv[-1]) if traced else self.pid

    def _child_running(self, program):
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            for child in read_text(f"/proc/{self.pid}/task/{self.pid}/children").split():
                try:
                    if os.readlink(f"/proc/{child}/exe") == program:
                        return int(child)
                except OSError:
                    pass  # gone already, or not ours to look at
            time.sleep(0.001)
        raise BenchError("strace did not start the program")

    def close(self):
        if not self.reaped:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        for fd in (self.master, self.slave, self.exited):
            os.close(fd)

    def _pump(self, timeout):
        """Takes in what the program wrote; False once it has ended."""
        ready, _, _ = select.select([self.master, self.exited], [], [], timeout)
        if self.master in ready:
            self.output += os.read(self.master, 65536)
        return self.exited not in ready or self.master in ready

    def wait_for(self, text, since):
        """Time at which text showed up after position since."""
        deadline = time.perf_counter() + TIMEOUT
        while self.output.find(text, since) < 0:
            if not self._pump(0.5) or time.perf_counter() > deadline:
                raise BenchError(f"no {text!r}; output so far:\n{self.tail(since)}")
        return time.perf_counter()

    def tail(self, since):
        return self.output[since:].decode("latin-1")[-2000:]

    def _in_key_read(self):
        if termios.tcgetattr(self.master)[3] & (termios.ICANON | termios.ECHO):
            return False
        unread = struct.unpack("i", fcntl.ioctl(self.slave, termios.FIONREAD, b"\0" * 4))[0]
        if unread:
            return False
        # Raw, nothing unread, the last key taken, and asleep: blocked in
        # the read itself.
        return (chars_read(self.program) >= self.typed_until
                and process_state(self.program) == "S")

    def await_key_read(self):
        deadline = time.perf_counter() + TIMEOUT
        while not self._in_key_read():
            if not self._pump(0.0002) or time.perf_counter() > deadline:
                raise BenchError(f"no key read; output so far:\n{self.tail(0)}")

    def type(self, key):
        self.typed_until = chars_read(self.program) + len(key)
        at = time.perf_counter()
        os.write(self.master, key.encode())
        return at

    def wait_exit(self):
        """Time of the exit, exit status and resource usage."""
        deadline = time.perf_counter() + TIMEOUT
        while True:
            ready, _, _ = select.select([self.exited, self.master], [], [], 0.5)
            if self.master in ready:
                self.output += os.read(self.master, 65536)
            if self.exited in ready:
                at = time.perf_counter()
                _, status, usage = os.wait4(self.pid, 0)
                self.reaped = True
                return at, os.waitstatus_to_exitcode(status), usage
            if time.perf_counter() > deadline:
                raise BenchError("the program did not quit")


def run_session(program, root, strace_log=None, snapshots=None):
    """One scripted session. Returns wall and CPU seconds per step (start-up,
    1..9, quit) and the peak resident set. With snapshots (a dict), keeps the
    bytes each action left in the files, for the dd baseline. Fails unless 7
    and 9 put the stock blocks back."""
    argv = [program]
    if strace_log:
        argv = [shutil.which("strace"), "-f", "-y", "-s", "8", "-o", strace_log, "--", program]
    s = Session(argv, os.path.join(root, "System"), traced=bool(strace_log))
    wall, cpu = {}, {}
    try:
        wall["start-up"] = s.wait_for(PROMPT, 0) - s.started
        s.await_key_read()
        cpu_before = cpu["start-up"] = cpu_ns(s.program) / 1e9
        peak = peak_rss_kib(s.program)
        for action in range(1, 10):
            mark = len(s.output)
            typed = s.type(str(action))
            wall[action] = 0.0
            if action == 1:
                # The time the harness waits for raw mode is not the program's.
                wall[action] = s.wait_for(COLOUR_QUESTION, mark) - typed
                s.await_key_read()
                mark = len(s.output)
                typed = s.type("n")
            wall[action] += s.wait_for(PROMPT, mark) - typed
            said = bytes(s.output[mark:])
            if APPLIED not in said or b"Error" in said:
                raise BenchError(f"action {action} did not apply:\n{s.tail(mark)}")
            s.await_key_read()
            cpu_now = cpu_ns(s.program) / 1e9
            cpu[action] = cpu_now - cpu_before
            cpu_before = cpu_now
            peak = max(peak, peak_rss_kib(s.program))
            if action in STOCK:
                check_stock_back(root, action)
            if snapshots is not None:
                snapshots[action] = [read_site(root, *site) for site in SITES[action]]
                if action == 1:
                    snapshots["shaders"] = [read_site(root, p, 0, 1 << 20) for p in SHADERS]
        typed = s.type("q")
        ended, status, usage = s.wait_exit()
        wall["quit"] = ended - typed
        # The whole run's CPU from the kernel's account, less what was
        # already counted; exact to a microsecond.
        total_cpu = usage.ru_utime + usage.ru_stime
        cpu["quit"] = total_cpu - cpu_before
        if status != 0:
            raise BenchError(f"exit status {status}")
        return {"wall": wall, "cpu": cpu, "peak_kib": peak, "total_cpu": total_cpu,
                "total_wall": ended - s.started}
    finally:
        s.close()


# ---------------------------------------------------------------- strace


RESULT = re.compile(r"\)\s+= ")


def parse_strace(log):
    """System calls of a strace -f -y log: (pid, name, args, return text)."""
    pending = {}
    calls = []
    with open(log, errors="replace") as f:
        for line in f:
            pid, _, rest = line.rstrip("\n").partition(" ")
            rest = rest.lstrip()
            if rest.startswith(("+++", "---")):
                continue
            if rest.endswith("<unfinished ...>"):
                pending[pid] = rest[: -len("<unfinished ...>")]
                continue
            resumed = re.match(r"<\.\.\. \w+ resumed>\s?(.*)", rest)
            if resumed:
                rest = pending.pop(pid, "") + resumed.group(1)
            # The last ") = " ends the arguments; strace pads it with spaces.
            ends = list(RESULT.finditer(rest))
            if not ends:
                continue
            cut = ends[-1]
            ret = rest[cut.end():].split(" ", 1)[0]
            name, _, args = rest[: cut.start()].partition("(")
            calls.append((pid, name, args, ret))
    return calls


FD_PATH = re.compile(r"(-?\d+)<([^>]*)>")
TERMINALS = ("/dev/pts/", "/dev/tty")
READS = {"read", "pread64", "readv", "preadv", "preadv2"}
WRITES = {"write", "pwrite64", "writev", "pwritev", "pwritev2"}


def first_fd_path(args):
    """The path of the descriptor a call's first argument is, or ""."""
    first = FD_PATH.match(args)
    return first.group(2) if first else ""


def transferred(ret):
    return int(ret) if ret.isdigit() else 0


def game_file_io(name, args, ret):
    """Bytes read from and written to the game files by one call, whether the
    call touches them at all (by descriptor or by name), and whether it maps
    one into memory (reads that no read call would show)."""
    on_game = first_fd_path(args).endswith(GAME_FILE_NAMES)
    count = transferred(ret) if on_game else 0
    touches = any(n in args or n in ret for n in GAME_FILE_NAMES)
    return ((count if name in READS else 0), (count if name in WRITES else 0), touches,
            name == "mmap" and touches)


def on_terminal(args, ret=""):
    return first_fd_path(args).startswith(TERMINALS) or ret.endswith("</dev/tty>")


def is_key_read(name, args, ret):
    return name == "read" and ret == "1" and on_terminal(args) and args.endswith(", 1")


def category(name, args, ret, touches_game):
    """What a call is for: the screen, reading keys (the terminal's modes and
    the signal handlers that restore them), the game files, or the rest."""
    if touches_game:
        return "game"
    if on_terminal(args, ret):
        return "screen" if name in WRITES else "keys"
    if name == "rt_sigaction":
        return "keys"
    return "other"


def session_syscalls(log):
    """Per step (start-up, 1..9, quit): calls, calls by name, calls on the
    game files, bytes read from and written to them. Each key read closes the
    step it was made in."""
    steps = ["start-up"] + [action for _, action in KEYS]
    table = {step: {"calls": 0, "names": collections.Counter(), "game_calls": collections.Counter(),
                    "read": 0, "written": 0, "mapped": 0, "other_written": 0,
                    "categories": collections.Counter()} for step in steps}
    key = 0
    for _, name, args, ret in parse_strace(log):
        step = table[steps[key]]
        step["calls"] += 1
        step["names"][name] += 1
        read, written, touches, mapped = game_file_io(name, args, ret)
        step["read"] += read
        step["written"] += written
        step["mapped"] += mapped
        if touches:
            step["game_calls"][name] += 1
        step["categories"][category(name, args, ret, touches)] += 1
        path = first_fd_path(args)
        if name in WRITES and path and not touches and not path.startswith(TERMINALS):
            step["other_written"] += transferred(ret)
        if is_key_read(name, args, ret):
            key += 1
    if key != len(KEYS):
        raise BenchError(f"{key} key reads in the strace log, expected {len(KEYS)}")
    return table


def command_syscalls(log):
    calls = parse_strace(log)
    read = written = 0
    for _, name, args, ret in calls:
        r, w, _, mapped = game_file_io(name, args, ret)
        read += r
        written += w
        if mapped:
            raise BenchError(f"dd mapped a game file: {name}({args}) = {ret}")
    return len(calls), read, written


# ---------------------------------------------------------------- dd


def dd_commands(dd, work, snapshots, action):
    """The dd runs a user would script for one action, with the same bytes
    at the same offsets, from the System folder."""
    data_dir = os.path.join(work, "dd-input")
    os.makedirs(data_dir, exist_ok=True)
    commands = []
    if action == 1:
        for path, data in zip(SHADERS, snapshots["shaders"]):
            source = os.path.join(data_dir, os.path.basename(path))
            with open(source, "wb") as f:
                f.write(data)
            commands.append([dd, f"if={source}", f"of={os.path.relpath(path, 'System')}",
                             "status=none"])
    for i, ((path, offset, length), data) in enumerate(zip(SITES[action], snapshots[action])):
        source = os.path.join(data_dir, f"action{action}-{i}.bin")
        with open(source, "wb") as f:
            f.write(data)
        commands.append([dd, f"if={source}", f"of={os.path.relpath(path, 'System')}",
                         f"bs={length}", f"seek={offset}", "oflag=seek_bytes", "conv=notrunc",
                         "status=none"])
    return commands


def dd_baseline(root, work, snapshots, runs):
    dd = shutil.which("dd")
    strace = shutil.which("strace")
    system = os.path.join(root, "System")
    results = {}
    for action in range(1, 10):
        commands = dd_commands(dd, work, snapshots, action)
        walls, cpus = [], []
        for _ in range(runs):
            wall = cpu = 0.0
            for command in commands:
                w, c, status = run_plain(command, system)
                if status != 0:
                    raise BenchError(f"{' '.join(command)} failed with {status}")
                wall += w
                cpu += c
            walls.append(wall)
            cpus.append(cpu)
            if [read_site(root, *site) for site in SITES[action]] != snapshots[action]:
                raise BenchError(f"dd did not write what action {action} wrote")
        calls = read = written = 0
        log = os.path.join(work, "dd.strace")
        for command in commands:
            if run_plain([strace, "-f", "-y", "-o", log, "--"] + command, system)[2] != 0:
                raise BenchError(f"{' '.join(command)} failed under strace")
            n, r, wr = command_syscalls(log)
            calls, read, written = calls + n, read + r, written + wr
        results[action] = {"runs": len(commands), "wall": walls, "cpu": cpus,
                           "calls": calls, "read": read, "written": written}
    return results


# ---------------------------------------------------------------- report


def ms(seconds):
    return seconds * 1000.0


def spread(values):
    """Median (min-max), in milliseconds."""
    return f"{ms(statistics.median(values)):7.3f} ({ms(min(values)):.3f}-{ms(max(values)):.3f})"


def top_names(counter, n=3):
    return ", ".join(f"{name} {count}" for name, count in counter.most_common(n))


CATEGORY_HEAD = "screen/keys/game/other"


def categories(counter):
    return "/".join(str(counter[c]) for c in ("screen", "keys", "game", "other"))


def step_label(step):
    return step if isinstance(step, str) else f"{step} {ACTIONS[step]}"


def report(sessions, syscalls, dd, floor):
    steps = ["start-up"] + list(range(1, 10)) + ["quit"]
    print(f"\nvn3patch, {len(sessions)} sessions in a pseudo-terminal after one warm-up "
          f"(wall: key press to next prompt; CPU: the program's own, {CPU_CLOCK});"
          "\nsystem calls and game-file bytes from one more session under strace")
    print(f"{'step':<22} {'wall ms median (min-max)':<28} {'CPU ms median (min-max)':<28}"
          f" {'syscalls':>8} {'game rd':>7} {'game wr':>7}  {CATEGORY_HEAD}")
    for step in steps:
        walls = [s["wall"][step] for s in sessions]
        cpus = [s["cpu"][step] for s in sessions]
        calls = syscalls[step]
        print(f"{step_label(step):<22} {spread(walls):<28} {spread(cpus):<28}"
              f" {calls['calls']:>8} {calls['read']:>7} {calls['written']:>7}"
              f"  {categories(calls['categories'])}")
    total_names = sum((syscalls[s]["names"] for s in steps), collections.Counter())
    total_categories = sum((syscalls[s]["categories"] for s in steps), collections.Counter())
    print(f"{'whole session':<22} {spread([s['total_wall'] for s in sessions]):<28}"
          f" {spread([s['total_cpu'] for s in sessions]):<28}"
          f" {sum(syscalls[s]['calls'] for s in steps):>8}"
          f" {sum(syscalls[s]['read'] for s in steps):>7}"
          f" {sum(syscalls[s]['written'] for s in steps):>7}  {categories(total_categories)}")
    print("  (whole-session wall includes the harness's waits between keys; its CPU is the "
          "kernel's rusage)")
    print(f"most frequent calls, whole session: {top_names(total_names, 8)}")
    peaks = [s["peak_kib"] for s in sessions]
    print(f"peak resident set (VmHWM before quit): {min(peaks)}-{max(peaks)} KiB")
    game_calls = sum((syscalls[s]["game_calls"] for s in steps), collections.Counter())
    print(f"calls on the game files (by descriptor or name), whole session: "
          f"{sum(game_calls.values())} ({top_names(game_calls, 8)})")
    mapped = sum(syscalls[s]["mapped"] for s in steps)
    print(f"game files mapped into memory: {mapped}")
    print(f"bytes written to other files (the shader images), whole session: "
          f"{sum(syscalls[s]['other_written'] for s in steps)}")

    print(f"\nthe same nine patches with dd conv=notrunc (one dd per site or file; "
          f"median of {len(dd[1]['wall'])})")
    print(f"{'action':<22} {'dd runs':>7} {'wall ms median (min-max)':<28}"
          f" {'CPU ms median (min-max)':<28} {'syscalls':>8} {'game rd':>7} {'game wr':>7}")
    for action in range(1, 10):
        r = dd[action]
        print(f"{step_label(action):<22} {r['runs']:>7} {spread(r['wall']):<28}"
              f" {spread(r['cpu']):<28} {r['calls']:>8} {r['read']:>7} {r['written']:>7}")
    print(f"{'all nine':<22} {sum(dd[a]['runs'] for a in dd):>7}"
          f" {spread([sum(x) for x in zip(*(dd[a]['wall'] for a in dd))]):<28}"
          f" {spread([sum(x) for x in zip(*(dd[a]['cpu'] for a in dd))]):<28}"
          f" {sum(dd[a]['calls'] for a in dd):>8}"
          f" {sum(dd[a]['read'] for a in dd):>7} {sum(dd[a]['written'] for a in dd):>7}")

    walls, cpus = zip(*floor)
    print(f"\nprocess start-up floor, /bin/true spawned and reaped: wall {spread(walls)} ms,"
          f" CPU {spread(cpus)} ms")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--binary", required=True, help="the vn3patch executable to measure")
    parser.add_argument("--work", required=True, help="an empty folder for the stand-in")
    parser.add_argument("--runs", type=int, default=20, help="timed sessions (default 20)")
    options = parser.parse_args()
    if options.runs < 1:
        parser.error("--runs must be at least 1")

    root, program = make_standin(options.work, options.binary)
    # A first session, not counted: its writes allocate the blocks of the
    # sparse stand-in (a real installation has them) and create the shader
    # folder. It also keeps what each action wrote, for the dd baseline.
    snapshots = {}
    run_session(program, root, snapshots=snapshots)
    sessions = [run_session(program, root) for _ in range(options.runs)]

    log = os.path.join(options.work, "session.strace")
    run_session(program, root, strace_log=log)
    syscalls = session_syscalls(log)
    # The package is read once a run per block, at the first action on it
    # (5 and 8 in this session), and never otherwise.
    for step, calls in syscalls.items():
        least = {5: TRAIL_LENGTH, 8: GLINT_LENGTH}.get(step, 0)
        if (calls["read"] == 0) != (least == 0) or calls["read"] < least:
            raise BenchError(f"step {step} read {calls['read']} bytes of the game files")
    # Started from System, the program must have saved nothing beside itself.
    saved = os.listdir(os.path.dirname(program))
    if saved != ["vn3patch"]:
        raise BenchError(f"the program left files beside itself: {sorted(saved)}")
    dd = dd_baseline(root, options.work, snapshots, options.runs)
    floor = [run_plain(["/bin/true"], root)[:2] for _ in range(options.runs)]
    report(sessions, syscalls, dd, floor)


if __name__ == "__main__":
    try:
        main()
    except BenchError as error:
        sys.exit(f"bench: {error}")
