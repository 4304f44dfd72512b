#!/usr/bin/env python3
"""Prints the box around the pixels of a screenshot (raw RGB) that are not
black, as "left top right bottom" (inclusive), or "none".
    lit_box.py WIDTH HEIGHT FILE"""
import sys

width, height = int(sys.argv[1]), int(sys.argv[2])
data = open(sys.argv[3], "rb").read()
assert len(data) == width * height * 3, "size does not match"
rows = [y for y in range(height) if data[y * width * 3:(y + 1) * width * 3].strip(b"\0")]
if not rows:
    print("none")
    sys.exit()
columns = [x for x in range(width) if any(data[(y * width + x) * 3:(y * width + x) * 3 + 3] != b"\0\0\0" for y in rows)]
print(columns[0], rows[0], columns[-1], rows[-1])
