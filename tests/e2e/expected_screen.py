#!/usr/bin/env python3
"""The screen a fresh terminal of ROWS rows shows after the prime search for
ANSWER: the answered prompt, one line per prime, the summary and the next
prompt, the last ROWS lines of them from the top row down (blank rows below
when there are fewer).

usage: expected_screen.py ROWS ANSWER"""
import sys

PROMPT = "mø prime search<=1646:"


def primes(count):
    found, n = [], 2
    while len(found) < count:
        if all(n % d for d in range(2, int(n**0.5) + 1)):
            found.append(n)
        n += 1
    return found


def transcript(answer):
    return [PROMPT + str(answer)] + [f"{p} is PRIME!" for p in primes(answer)]


def expected(rows, answer, summary):
    lines = transcript(answer) + [summary, PROMPT]
    shown = lines[-rows:]
    return shown + [""] * (rows - len(shown))


if __name__ == "__main__":
    rows, answer = int(sys.argv[1]), int(sys.argv[2])
    summary = {1646: "LastP=13921 NumPtot=1646 NumOP=1088138", 10: "LastP=29 NumPtot=10 NumOP=94"}[answer]
    print("\n".join(expected(rows, answer, summary)))
