#!/usr/bin/env python3
"""The screen a terminal of ROWS rows shows after prime searches for the
ANSWERs in turn, started on a blank screen: the answered prompts, one line per
prime, the summaries and the last prompt. The last USED lines of them (ROWS
unless given) are on the top rows, blank rows below.

usage: expected_screen.py ROWS ANSWER... [--used USED]"""
import sys

PROMPT = "mø prime search<=1646:"
SUMMARIES = {
    5: "LastP=11 NumPtot=5 NumOP=21",
    10: "LastP=29 NumPtot=10 NumOP=94",
    20: "LastP=71 NumPtot=20 NumOP=371",
    1646: "LastP=13921 NumPtot=1646 NumOP=1088138",
}


def primes(count):
    found, n = [], 2
    while len(found) < count:
        if all(n % d for d in range(2, int(n**0.5) + 1)):
            found.append(n)
        n += 1
    return found


def transcript(answers):
    lines = []
    for answer in answers:
        lines += [PROMPT + str(answer)] + [f"{p} is PRIME!" for p in primes(answer)] + [SUMMARIES[answer]]
    return lines + [PROMPT]


def expected(rows, answers, used=None):
    shown = transcript(answers)[-(used or rows) :]
    return shown + [""] * (rows - len(shown))


if __name__ == "__main__":
    args = sys.argv[1:]
    used = None
    if "--used" in args:
        used = int(args[args.index("--used") + 1])
        args = args[: args.index("--used")]
    rows = int(args[0])
    print("\n".join(expected(rows, [int(a) for a in args[1:]], used)).rstrip("\n"))
