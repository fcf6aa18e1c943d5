"""The Python module against focusrank: same figures for every array layout,
clear errors for bad input, measuring without the GIL, and the Dask example."""
import io
import os
import re
import signal
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import focusrate

SOURCE = os.environ["FOCUSRATE_SOURCE_DIR"]
FOCUSRANK = os.path.join(os.environ["FOCUSRATE_BINARY_DIR"], "bin", "focusrank")
SAMPLES = sorted(os.path.join(SOURCE, "samples", n) for n in os.listdir(os.path.join(SOURCE, "samples")))
sys.path.insert(0, os.path.join(SOURCE, "examples"))
import dask_rate  # noqa: E402


def focusrank(*args):
    return subprocess.run([FOCUSRANK, *args], capture_output=True, text=True).stdout


def csv_of(rows):
    out = io.StringIO()
    dask_rate.write_csv(rows, out)
    return out.getvalue()


def padded(a):
    """a inside a larger buffer: rows contiguous, row step wider than a row."""
    big = np.zeros((a.shape[0] + 2, a.shape[1] + 5) + a.shape[2:], np.uint8)
    big[1:-1, 2:-3] = a
    return big[1:-1, 2:-3]


# (name, order, layout of the decoded BGR pixels); each must give the
# figures focusrank gives the file.
LAYOUTS = [
    ("bgr", "bgr", lambda a: a),
    ("bgr in a wider buffer", "bgr", padded),
    ("bgr column-major", "bgr", np.asfortranarray),
    ("rgb", "rgb", lambda a: np.ascontiguousarray(a[..., ::-1])),
    ("rgb reversed view", "rgb", lambda a: a[..., ::-1]),
    ("bgr upside-down view", "bgr", lambda a: a[::-1][::-1]),
]


@pytest.mark.parametrize("path", SAMPLES)
def test_figures_equal_focusrank(path):
    row = focusrate.rate(path)
    assert csv_of([row]) == focusrank("--jobs", "1", path)
    pixels = focusrate.decode(path)
    for name, order, layout in LAYOUTS:
        assert focusrate.figures(layout(pixels), order) == row[1:5], name
    if "grey" in path:
        grey = pixels[..., 1]
        for view in (grey, np.ascontiguousarray(grey), padded(grey)):
            assert focusrate.figures(view) == row[1:5]


def test_rank_gives_focusrank_rows():
    paths = SAMPLES + [os.path.join(SOURCE, "missing.png")]
    assert csv_of(focusrate.rank(paths, jobs=2)) == focusrank("-j2", *paths)
    assert csv_of(focusrate.rank(paths, sort="tenengrad", top=3)) == focusrank(
        "--sort", "tenengrad", "--top", "3", *paths)
    # Rows come as they are rated; a reader that stops early stops the run.
    rows = focusrate.rank(SAMPLES * 200, jobs=2)
    assert csv_of([next(rows)]) == focusrank(SAMPLES[0])
    del rows


GREY = np.zeros((4, 5), np.uint8)
BAD_CALLS = [
    (lambda: focusrate.figures(GREY.astype(np.float32)), TypeError, "dtype uint8, got float32"),
    (lambda: focusrate.figures(GREY.tolist()), TypeError, "expected a numpy array, got list"),
    (lambda: focusrate.figures(np.zeros((4, 5, 4), np.uint8)), ValueError, "got (4, 5, 4)"),
    (lambda: focusrate.figures(np.zeros((4, 5, 3, 1), np.uint8)), ValueError, "shape (H, W)"),
    (lambda: focusrate.figures(np.zeros(7, np.uint8)), ValueError, "shape (H, W)"),
    (lambda: focusrate.figures(GREY[:, :0]), ValueError, "empty"),
    (lambda: focusrate.figures(np.zeros((0, 5, 3), np.uint8)), ValueError, "empty"),
    (lambda: focusrate.figures(GREY, order="bgra"), ValueError, "order must be"),
    (lambda: focusrate.figures(GREY, threads=0), ValueError, "threads"),
    (lambda: focusrate.figures(GREY, None), TypeError, "figures: order must be a str, not NoneType"),
    (lambda: focusrate.figures(GREY, "bgr", 2.5), TypeError, "threads must be an int, not float"),
    (lambda: focusrate.rate(42), TypeError, "int"),
    # The system would read these as SAMPLES[0].
    (lambda: focusrate.rate(SAMPLES[0] + "\0junk"), ValueError, "rate: embedded null byte"),
    (lambda: focusrate.decode(os.fsencode(SAMPLES[0]) + b"\0"), ValueError, "decode: embedded null"),
    (lambda: focusrate.rank([SAMPLES[1], SAMPLES[0] + "\0"]), ValueError, "rank: embedded null"),
    (lambda: focusrate.decode(SOURCE), ValueError, "not a regular file"),
    (lambda: focusrate.rank(SAMPLES, jobs=0), ValueError, "jobs"),
    (lambda: focusrate.rank(SAMPLES, sort="sharpest"), ValueError, "sort must be"),
    (lambda: focusrate.rank(SAMPLES, top=0), ValueError, "top"),
    (lambda: focusrate.rank(SAMPLES, top=2**70), ValueError, "top"),
    (lambda: focusrate.rank(SAMPLES, jobs="2"), TypeError, "jobs must be an int"),
    (lambda: focusrate.rank(SAMPLES, sort=1), TypeError, "sort must be a str"),
]


@pytest.mark.parametrize("call,error,words", BAD_CALLS)
def test_bad_input_raises(call, error, words):
    with pytest.raises(error, match=re.escape(words)):
        call()


def test_ctrl_c_stops_a_sorted_rank_and_its_threads():
    # Sorted, no row comes before every image is rated: Ctrl-C must not wait that long.
    script = ("import os, sys, focusrate\n"
              "threads = lambda: len(os.listdir('/proc/self/task'))\n"
              "before, rows = threads(), focusrate.rank(sys.argv[1:] * 3000, jobs=2, sort='laplace')\n"
              "print('rating', flush=True)\n"
              "try:\n    list(rows)\nexcept KeyboardInterrupt:\n    print('interrupted')\n"
              "del rows\nprint(threads() - before)\n")
    child = subprocess.Popen([sys.executable, "-c", script, *SAMPLES], stdout=subprocess.PIPE,
                             text=True)
    try:
        assert child.stdout.readline() == "rating\n"
        time.sleep(0.5)
        child.send_signal(signal.SIGINT)
        sent = time.monotonic()
        out = child.communicate(timeout=30)[0]
        assert (out, time.monotonic() - sent < 3) == ("interrupted\n0\n", True)
    finally:
        child.kill()


def test_measuring_leaves_the_interpreter_to_other_threads():
    # While this thread measures, a pure-Python thread keeps ticking: its
    # ticks fall in the middle of the measuring intervals. Holding the GIL,
    # it could tick only at their very edges.
    pixels = np.random.default_rng(1).integers(0, 256, (3000, 4000, 3), np.uint8)
    spans, ticks, done = [], [], threading.Event()

    def measure():
        for _ in range(3):
            begin = time.perf_counter()
            focusrate.figures(pixels)
            spans.append((begin, time.perf_counter()))
        done.set()

    def tick():
        while not done.is_set():
            ticks.append(time.perf_counter())

    interval = sys.getswitchinterval()
    sys.setswitchinterval(1e-5)
    ticker = threading.Thread(target=tick)
    ticker.start()
    measure()
    ticker.join()
    sys.setswitchinterval(interval)
    middles = [(b + (e - b) / 3, e - (e - b) / 3) for b, e in spans]
    assert any(lo < t < hi for t in ticks for lo, hi in middles)


def test_dask_example_equals_focusrank():
    example = os.path.join(SOURCE, "examples", "dask_rate.py")
    paths = SAMPLES * 3 + [os.path.join(SOURCE, "missing.png")]
    out = subprocess.run([sys.executable, example, "--workers", "2", *paths],
                         capture_output=True, text=True, check=True).stdout
    assert out == focusrank("--jobs", "1", *paths)
