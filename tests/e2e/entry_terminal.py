#!/usr/bin/env python3
"""A terminal that knows only the sequences of one terminfo entry.

Runs PROGRAM on a pseudo-terminal with TERM=ENTRY, answers 1646 at its prompt
and checks that every control sequence the program sends is one the entry
defines, and that the screen rendered from those sequences alone is exactly
the expected last screen of the search. Then ends the dialogue and checks
that the terminal was left in its default colours.

usage: entry_terminal.py PROGRAM ENTRY [COLUMNS ROWS]"""
import curses
import fcntl
import os
import pty
import re
import select
import struct
import subprocess
import sys
import termios
import time

from expected_screen import expected

# What the renderer does with each capability; any other the entry defines
# is accepted as defined but fails the check as one this screen cannot show.
NO_SCREEN_EFFECT = {"smkx", "rmkx", "civis", "cnorm", "cvvis", "bel", "smcup", "rmcup", "rmacs", "smacs"}


def capability_names(entry):
    listing = subprocess.run(["infocmp", "-1", entry], capture_output=True, text=True, check=True).stdout
    return [m.group(1) for m in re.finditer(r"^\t([A-Za-z0-9_]+)=", listing, re.M)]


class EntryTerminal:
    def __init__(self, entry, columns, rows):
        curses.setupterm(entry, sys.stdout.fileno() if sys.stdout.isatty() else -1)
        self.columns, self.rows = columns, rows
        self.auto_wrap = curses.tigetflag("am") > 0
        self.late_wrap = curses.tigetflag("xenl") > 0
        self.sequences = {}  # bytes -> (capability, parameters)
        for name in capability_names(entry):
            raw = curses.tigetstr(name)
            if not raw:
                continue
            raw = re.sub(rb"\$<[0-9.*/]+>", b"", raw)
            if b"%p" not in raw:
                self.sequences.setdefault(raw, (name, ()))
                continue
            if b"%p3" in raw:
                continue  # sgr and its like: the host has no use for them
            high = max(columns, rows) + 1
            for p1 in range(high):
                for p2 in range(high) if b"%p2" in raw else [0]:
                    try:
                        self.sequences.setdefault(curses.tparm(raw, p1, p2), (name, (p1, p2)))
                    except curses.error:
                        pass
        self.longest = max(len(s) for s in self.sequences)
        self.cells = [[" "] * columns for _ in range(rows)]
        self.pens = [[None] * columns for _ in range(rows)]
        self.x = self.y = 0
        self.top, self.bottom = 0, rows - 1
        self.pending_wrap = False
        self.pen = None  # None: the terminal's default colours
        self.faults, self.replies = [], b""
        self.text = b""

    def row(self, y):
        return "".join(self.cells[y]).rstrip()

    def screen(self):
        return [self.row(y) for y in range(self.rows)]

    def scroll_up(self, lines):
        for _ in range(lines):
            del self.cells[self.top]
            del self.pens[self.top]
            self.cells.insert(self.bottom, [" "] * self.columns)
            self.pens.insert(self.bottom, [None] * self.columns)

    def line_feed(self):
        if self.y == self.bottom:
            self.scroll_up(1)
        elif self.y < self.rows - 1:
            self.y += 1

    def put(self, character):
        if self.pending_wrap:
            self.pending_wrap = False
            self.x = 0
            self.line_feed()
        self.cells[self.y][self.x] = character
        self.pens[self.y][self.x] = self.pen
        if self.x < self.columns - 1:
            self.x += 1
        elif self.late_wrap:
            self.pending_wrap = True
        elif self.auto_wrap:
            self.x = 0
            self.line_feed()

    def erase(self, y, x0, x1):
        for x in range(x0, x1):
            self.cells[y][x] = " "
            self.pens[y][x] = None

    def act(self, name, p):
        if name != "cnorm":
            self.pending_wrap = False
        if name == "cup":
            self.y, self.x = min(p[0], self.rows - 1), min(p[1], self.columns - 1)
        elif name == "csr":
            self.top, self.bottom = p[0], p[1]
            self.x = self.y = 0
        elif name in ("ind", "cud1"):
            self.line_feed()
        elif name == "nel":
            self.x = 0
            self.line_feed()
        elif name == "cr":
            self.x = 0
        elif name == "indn":
            self.scroll_up(p[0])
        elif name == "el":
            self.erase(self.y, self.x, self.columns)
        elif name == "ed":
            self.erase(self.y, self.x, self.columns)
            for y in range(self.y + 1, self.rows):
                self.erase(y, 0, self.columns)
        elif name == "clear":
            self.x = self.y = 0
            for y in range(self.rows):
                self.erase(y, 0, self.columns)
        elif name in ("sgr0", "op"):
            self.pen = None
        elif name in ("setaf", "setab", "bold"):
            self.pen = (self.pen or ()) + ((name,) + tuple(p[:1]),)
        elif name == "cub1":
            self.x = max(0, self.x - 1)
        elif name == "u7":
            self.replies += b"\x1b[%d;%dR" % (self.y + 1, self.x + 1)
        elif name not in NO_SCREEN_EFFECT:
            self.faults.append("the renderer has no meaning for " + name)

    def feed(self, data):
        data = self.text + data
        i = 0
        while i < len(data):
            b = data[i]
            if b >= 0x20 and b != 0x7F:
                length = 1 if b < 0x80 else 2 if b < 0xE0 else 3 if b < 0xF0 else 4
                if i + length > len(data):
                    break
                self.put(data[i : i + length].decode("utf-8", "replace"))
                i += length
                continue
            for length in range(min(self.longest, len(data) - i), 0, -1):
                found = self.sequences.get(data[i : i + length])
                if found:
                    self.act(*found)
                    i += length
                    break
            else:
                if len(data) - i < self.longest and b == 0x1B:
                    break  # perhaps the start of a sequence that has not all come
                self.faults.append("not in the entry: %r" % data[i : i + 8])
                i += 1
        self.text = data[i:]


def run(program, entry, columns, rows):
    terminal = EntryTerminal(entry, columns, rows)
    pid, master = pty.fork()
    if pid == 0:
        fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "LC_ALL")}
        env.update(TERM=entry, LANG="C.UTF-8")
        os.execve(program, [program], env)

    def pump(until, seconds=30):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if select.select([master], [], [], 0.1)[0]:
                try:
                    chunk = os.read(master, 65536)
                except OSError:
                    return until(None)
                if not chunk:
                    return until(None)
                terminal.feed(chunk)
                if terminal.replies:
                    os.write(master, terminal.replies)
                    terminal.replies = b""
            elif until(terminal.screen()):
                return True
        return False

    on_screen = lambda text: lambda screen: screen is not None and any(text in row for row in screen)
    ok = pump(on_screen("prime search<=1646:"))
    os.write(master, b"1646\r")
    ok = ok and pump(on_screen("LastP=13921"))
    screen = terminal.screen()
    want = expected(rows, [1646])
    coloured = sum(1 for row in terminal.pens for pen in row if pen is not None)
    os.write(master, b"0\r")
    pump(on_screen("LastP=-1"))
    os.write(master, b"q")
    pump(lambda screen: screen is None, 10)
    os.waitpid(pid, 0)
    failures = list(terminal.faults)
    if not ok:
        failures.append("the search did not finish")
    for y, (got, wanted) in enumerate(zip(screen, want)):
        if got != wanted:
            failures.append(f"row {y}: {got!r}, expected {wanted!r}")
    if coloured:
        failures.append(f"{coloured} cells drawn in explicit colours")
    if terminal.pen is not None:
        failures.append("the terminal was left in other than its default colours")
    print(f"{entry} {columns}x{rows}: {len(terminal.sequences)} sequences known, last screen:")
    print("\n".join("  |" + row for row in screen))
    for failure in failures:
        print("FAIL:", failure)
    return not failures


if __name__ == "__main__":
    columns, rows = (int(sys.argv[3]), int(sys.argv[4])) if len(sys.argv) > 4 else (80, 24)
    sys.exit(0 if run(os.path.abspath(sys.argv[1]), sys.argv[2], columns, rows) else 1)
