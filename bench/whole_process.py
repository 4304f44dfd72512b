#!/usr/bin/env python3
"""The program as whole processes beside its baselines: the search in a
pseudo-terminal, the search's processor time with its output discarded,
start-up to the first prompt and peak memory at it. Medians of several runs,
each row printed as a ratio to its baseline.

Usage: whole_process.py BUILD_DIR [RUNS]; BENCH_DISPLAY names an X display
for a start-up row with a display.
"""
import fcntl
import os
import pty
import re
import select
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import time

ROWS, COLUMNS = 30, 100
PROMPT = "m\u00f8 prime search<=1646:".encode()
HELLO = b"Hello, world!"
CURSOR_REQUEST = b"\x1b[6n"
WAIT_SECONDS = 10


def environment(display):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(TERM="xterm-256color", LANG="C.UTF-8", LC_ALL="C.UTF-8")
    if display:
        env["DISPLAY"] = display
    return env


class Terminal:
    """A program on the slave side of a 100x30 pseudo-terminal; the master
    side reads its output as fast as it comes and answers cursor requests as
    a terminal would."""

    def __init__(self, argv, env):
        # Times count from the child's exec, not from Python's fork.
        readable, writable = os.pipe()
        self.pid, self.master = pty.fork()
        if self.pid == 0:
            fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", ROWS, COLUMNS, 0, 0))
            os.write(writable, struct.pack("d", time.perf_counter()))
            os.execve(argv[0], argv, env)
        os.close(writable)
        self.started = struct.unpack("d", os.read(readable, 8))[0]
        os.close(readable)
        self.output = b""
        self.answered = 0

    def read_until(self, wanted, count=1):
        """Seconds from the start until `wanted` has appeared `count` times."""
        deadline = time.perf_counter() + WAIT_SECONDS
        while self.output.count(wanted) < count:
            left = deadline - time.perf_counter()
            if left <= 0 or not select.select([self.master], [], [], left)[0]:
                raise TimeoutError(f"no {wanted!r} within {WAIT_SECONDS} s")
            try:
                chunk = os.read(self.master, 1 << 16)
            except OSError:
                chunk = b""
            if not chunk:
                raise EOFError(f"ended before {wanted!r}")
            self.output += chunk
            while self.output.count(CURSOR_REQUEST) > self.answered:
                os.write(self.master, b"\x1b[1;1R")
                self.answered += 1
        return time.perf_counter() - self.started

    def type(self, text):
        os.write(self.master, text)

    def end(self):
        """Stops the program (SIGTERM: it puts the terminal back) and reaps it."""
        try:
            os.kill(self.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        while True:
            try:
                if select.select([self.master], [], [], 0.05)[0]:
                    os.read(self.master, 1 << 16)
            except OSError:
                pass
            done, _ = os.waitpid(self.pid, os.WNOHANG)
            if done:
                break
        os.close(self.master)


def search_in_terminal(program):
    """Start to the prompt after a 1646-prime search, typed at the first prompt."""
    t = Terminal([program], environment(None))
    t.read_until(PROMPT)
    t.type(b"1646\r")
    seconds = t.read_until(PROMPT, 2)
    t.end()
    return seconds


def start_to_first_prompt(program, marker, display=None):
    t = Terminal([program], environment(display))
    seconds = t.read_until(marker)
    t.end()
    return seconds


def search_processor_time(program):
    """User plus system time of the whole search with output to /dev/null."""
    with open(os.devnull, "wb") as null:
        child = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=null, stderr=null, env=environment(None))
        child.stdin.write(b"1646\n0\n")
        child.stdin.close()
        _, _, usage = os.wait4(child.pid, 0)
        child.returncode = 0
    return usage.ru_utime + usage.ru_stime


def peak_memory_at_prompt(program, marker):
    """Maximum resident set (kB) by /usr/bin/time -v, the program stopped at `marker`."""
    with tempfile.NamedTemporaryFile("r", suffix=".time") as report:
        t = Terminal(["/usr/bin/time", "-v", "-o", report.name, program], environment(None))
        t.read_until(marker)
        children = open(f"/proc/{t.pid}/task/{t.pid}/children").read().split()
        for pid in children:
            try:
                os.kill(int(pid), signal.SIGTERM)
            except ProcessLookupError:
                pass  # a baseline that has ended by itself
        while True:
            done, _ = os.waitpid(t.pid, os.WNOHANG)
            if done:
                break
            try:
                if select.select([t.master], [], [], 0.05)[0]:
                    os.read(t.master, 1 << 16)
            except OSError:
                pass
        os.close(t.master)
        found = re.search(r"Maximum resident set size \(kbytes\): (\d+)", report.read())
        return int(found.group(1))


def medians(runs, measure, ours, floor):
    """Runs of the program and of its baseline alternate, so that a busy
    machine weighs on both alike."""
    measure(*ours), measure(*floor)  # first runs warm the caches
    pairs = [(measure(*ours), measure(*floor)) for _ in range(runs)]
    return statistics.median(p[0] for p in pairs), statistics.median(p[1] for p in pairs)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    primes = os.path.join(build, "primes")
    search = os.path.join(build, "bench", "baseline_search")
    hello = os.path.join(build, "bench", "baseline_hello")
    rows = [
        ("1646-search in a 100x30 pty, to 2nd prompt", "ms", 1e3, search_in_terminal, (primes,), (search,)),
        ("same, output to /dev/null, CPU user+sys", "ms", 1e3, search_processor_time, (primes,), (search,)),
        ("start-up to the first prompt (pty)", "ms", 1e3, start_to_first_prompt, (primes, PROMPT), (hello, HELLO)),
        ("peak memory (max RSS) at the prompt", "MB", 1 / 1024, peak_memory_at_prompt, (primes, PROMPT), (hello, HELLO)),
    ]
    # With a display the graphics start-up asks the X server for the screen's size.
    display = os.environ.get("BENCH_DISPLAY")
    if display:
        rows.append(("start-up to the first prompt, DISPLAY set", "ms", 1e3, start_to_first_prompt,
                     (primes, PROMPT, display), (hello, HELLO, display)))
    print(f"medians of {runs} runs; baselines: {os.path.basename(search)} (rows 1-2), {os.path.basename(hello)} (3-4)")
    print(f"{'path':<46} {'primes':>10} {'baseline':>10} {'ratio':>7}")
    for name, unit, scale, measure, ours, floor in rows:
        a, b = (value * scale for value in medians(runs, measure, ours, floor))
        print(f"{name:<46} {a:>7.2f} {unit} {b:>7.2f} {unit} {a / b:>6.2f}x", flush=True)


if __name__ == "__main__":
    main()
