#!/usr/bin/env python3
"""bench_python.py IMAGE REPEATS: the median time of focusrate.figures on the
decoded image from Python, and of the literal OpenCV pipeline written in
Python with cv2; checks both give the same figures. Prints
"<figures ms> <cv2 ms> <laplace>" for scripts/bench_python.sh."""
import statistics
import sys
import time

import cv2
import numpy as np

import focusrate


def literal_pipeline(bgr):
    """The reference pipeline, call for call, as a Python user would write it."""
    src = cv2.GaussianBlur(bgr, (3, 3), 0)
    grey = cv2.cvtColor(src, cv2.COLOR_RGB2GRAY)
    m = np.array([-1.0, 2.0, -1.0])
    g = cv2.getGaussianKernel(3, -1, cv2.CV_64F)
    lx = cv2.sepFilter2D(grey, cv2.CV_64F, m, g)
    ly = cv2.sepFilter2D(grey, cv2.CV_64F, g, m)
    laplace = cv2.mean(np.abs(lx) + np.abs(ly))[0]
    _, sd = cv2.meanStdDev(cv2.Laplacian(grey, cv2.CV_64F, ksize=1))
    gx = cv2.Sobel(grey, cv2.CV_64F, 1, 0, ksize=3)
    gy = cv2.Sobel(grey, cv2.CV_64F, 0, 1, ksize=3)
    tenengrad = cv2.mean(gx * gx + gy * gy)[0]
    mu, sg = cv2.meanStdDev(grey)
    return laplace, sd[0][0] ** 2, tenengrad, sg[0][0] ** 2 / mu[0][0]


def median_ms(call, repeats):
    times = []
    for _ in range(repeats):
        t0 = time.perf_counter()
        result = call()
        times.append((time.perf_counter() - t0) * 1000)
    return statistics.median(times), result


def main():
    pixels = focusrate.decode(sys.argv[1])
    repeats = int(sys.argv[2])
    fast_ms, fast = median_ms(lambda: focusrate.figures(pixels), repeats)
    cv2.setNumThreads(1)
    literal_ms, literal = median_ms(lambda: literal_pipeline(pixels), max(1, repeats // 3))
    if tuple(fast) != literal:
        sys.exit("bench_python.py: figures differ: %s against %s" % (tuple(fast), literal))
    print("%.2f %.2f %.17g" % (fast_ms, literal_ms, fast.laplace))


if __name__ == "__main__":
    main()
