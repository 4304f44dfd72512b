#!/usr/bin/env python3
"""Compares the plots of two screenshots of the graph window (raw RGB), each
found by its grey row of 640 pixels at y = 480 of the client area, over the
640 x 481 pixels the plot draws in.
    compare_plots.py W1 H1 FILE1 W2 H2 FILE2"""
import sys


def load(width, height, path):
    data = open(path, "rb").read()
    assert len(data) == width * height * 3, f"{path}: size does not match"
    return width, height, data


def plot_origin(shot):
    width, height, data = shot
    grey = bytes((168, 168, 168)) * 640
    for y in range(480, height):
        at = data.find(grey, y * width * 3, (y + 1) * width * 3)
        if at >= 0 and (at - y * width * 3) % 3 == 0:
            return (at - y * width * 3) // 3, y - 480
    sys.exit("no grey row of 640 pixels: no plot in the screenshot")


def region(shot, origin):
    width, _, data = shot
    x0, y0 = origin
    return [data[((y0 + y) * width + x0) * 3:((y0 + y) * width + x0 + 640) * 3] for y in range(481)]


a = load(int(sys.argv[1]), int(sys.argv[2]), sys.argv[3])
b = load(int(sys.argv[4]), int(sys.argv[5]), sys.argv[6])
ra, rb = region(a, plot_origin(a)), region(b, plot_origin(b))
different = sum(1 for y in range(481) for x in range(640) if ra[y][x * 3:x * 3 + 3] != rb[y][x * 3:x * 3 + 3])
lit = sum(1 for row in ra for x in range(640) if row[x * 3:x * 3 + 3] != b"\0\0\0")
if different:
    sys.exit(f"{different} of 640 x 481 pixels differ")
print(f"plots identical: {lit} lit pixels in 640 x 481")
