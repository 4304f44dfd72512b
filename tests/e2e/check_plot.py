#!/usr/bin/env python3
"""Checks a screenshot of the graph window after the plot of a search for
PRIMES primes: grey exactly at the plotted points, white only in the
signature's cells (and some there), black everywhere else.
    check_plot.py WIDTH HEIGHT RAW_RGB_FILE PRIMES"""
import sys

width, height, path, primes = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], int(sys.argv[4])
data = open(path, "rb").read()
assert len(data) == width * height * 3, "screenshot size does not match"

counts, n, found = {}, 2, 0
while found < primes:
    if all(n % d for d in range(2, int(n ** 0.5) + 1)):
        found += 1
        counts[n] = found
    n += 1
grey = set()
for n in range(15966):
    y = 480 - round(counts.get(n, 0) / 3)
    x = round(n / 4) % 640
    if y >= 0:
        grey.add((x, y))

problems, white = [], 0
for y in range(height):
    row = data[y * width * 3:(y + 1) * width * 3]
    for x in range(width):
        pixel = tuple(row[x * 3:x * 3 + 3])
        if (x, y) in grey:
            if pixel != (168, 168, 168):
                problems.append(f"({x},{y}) should be grey, is {pixel}")
        elif pixel == (255, 255, 255) and x < 88 and y < 8:
            white += 1
        elif pixel != (0, 0, 0):
            problems.append(f"({x},{y}) should be black, is {pixel}")
if white < 50:
    problems.append(f"only {white} white signature pixels")
if problems:
    print("\n".join(problems[:20]), f"\n{len(problems)} wrong pixels", file=sys.stderr)
    sys.exit(1)
print(f"plot checked: {len(grey)} grey points, {white} white signature pixels, the rest black")
