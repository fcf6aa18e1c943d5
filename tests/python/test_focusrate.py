"""The Python module against focusrank: same rows for every setting, same
figures for every array layout, clear errors for bad input, measuring
without the GIL, and the Dask example."""
import importlib.util
import json
import os
import re
import shutil
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
MISSING = os.path.join(SOURCE, "missing.png")
FIGURES = focusrate.Figures._fields


def focusrank(*args):
    """focusrank's run with every figure, as Rows carry them."""
    return subprocess.run([FOCUSRANK, "--figures", ",".join(FIGURES), *args],
                          capture_output=True, text=True)


def figures_of(row):
    return focusrate.Figures(*(getattr(row, name) for name in FIGURES))


# Fields focusrank writes as they are; the others are figures.
AS_IS = {"path", "status", "subject", "burst", "pick"}


def member(name):
    return "-".join(word.capitalize() for word in name.split("_"))  # gray_level: Gray-Level


def comparable(fields):
    """Fields with figures as focusrank prints them (float, six digits),
    None for null or not finite."""
    def text(v):
        return None if v is None or not np.isfinite(np.float32(v)) else "%g" % np.float32(v)
    return {k: v if k in AS_IS else text(v) for k, v in fields.items()}


def focusrank_fields(row):
    """The Row as focusrank's JSON line would hold it."""
    box = row.subject and " ".join(map(str, row.subject + (row.subject_how,)))
    fields = {"path": row.path, "status": row.status, "subject": box, "burst": row.burst,
              "relative": row.relative, "pick": None if row.pick is None else int(row.pick)}
    for name in FIGURES:
        fields[member(name)] = getattr(row, name)
        fields["Subject-" + member(name)] = row.subject_figures and getattr(row.subject_figures, name)
    return comparable(fields)


def focusrank_rows(*args):
    """focusrank's JSON Lines rows; what it leaves out, Rows have as None."""
    empty = dict.fromkeys(focusrank_fields(focusrate.Row(*(None,) * len(focusrate.Row._fields))))
    lines = focusrank("--format", "jsonl", *args).stdout.splitlines()
    return [comparable({**empty, **json.loads(line)}) for line in lines]


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
    assert [focusrank_fields(row)] == focusrank_rows(path)
    pixels = focusrate.decode(path)
    for name, order, layout in LAYOUTS:
        assert focusrate.figures(layout(pixels), order) == figures_of(row), name
    if "grey" in path:
        grey = pixels[..., 1]
        # The classic five; the noise figures know a grey array was never
        # rounded by a colour conversion.
        for view in (grey, np.ascontiguousarray(grey), padded(grey)):
            assert focusrate.figures(view)[:5] == figures_of(row)[:5]


@pytest.fixture(scope="module")
def frames(tmp_path_factory):
    """Copies of the samples taken 1 s, 0.5 s and 2.01 s apart (file times),
    a small crop as PPM (through the imread plugin) and a file that is no
    image."""
    folder = tmp_path_factory.mktemp("frames")
    start = 1_700_000_000_000_000_000  # ns
    for name, sample, after in [("a.jpg", 2, 0), ("b.png", 0, 1.0), ("c.png", 3, 1.5),
                                ("d.png", 1, 3.51)]:
        shutil.copy(SAMPLES[sample], folder / name)
        os.utime(folder / name, ns=(start, start + round(after * 1e9)))
    crop = focusrate.decode(SAMPLES[2])[100:180, 150:250, ::-1]
    (folder / "e.ppm").write_bytes(b"P6\n100 80\n255\n" + crop.tobytes())
    (folder / "f.jpg").write_bytes(b"not an image")
    return [str(folder), *SAMPLES, MISSING]


# (rank's arguments, focusrank's options): the same rows, every field.
PARITY = [
    (dict(subject="center", bursts=2.0), ["--subject", "center", "--bursts=2"]),
    (dict(subject="peak", bursts=2.01, sort="subject_tenengrad", top=6),
     ["--subject", "peak", "--bursts=2.01", "--sort", "subject_tenengrad", "--top", "6"]),
    (dict(region=(40, 30, 200, 100), bursts=True, sort="variance_lap_norm"),
     ["--roi", "40,30,200,100", "--bursts", "--sort", "variance_lap_norm"]),
    (dict(region="center:50", max_pixels=100_000, jobs=2, subject="faces"),
     ["--roi", "center:50", "--max-pixels", "100000", "-j2", "--subject", "faces"]),
    (dict(scale=1/4, raw="preview", max_pixels=20_000), ["--scale=1/4", "--raw=preview", "--max-pixels=20000"]),
]


@pytest.mark.parametrize("arguments,options", PARITY)
def test_rank_gives_focusrank_rows(frames, arguments, options):
    rows = focusrate.rank(frames, **arguments)
    assert [focusrank_fields(row) for row in rows] == focusrank_rows(*options, *frames)


def test_rank_hands_rows_over_as_they_come():
    # A reader that stops early stops the run.
    rows = focusrate.rank(SAMPLES * 200, jobs=2)
    assert [focusrank_fields(next(rows))] == focusrank_rows(SAMPLES[0])
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
    (lambda: focusrate.rank(SAMPLES, sort="subject_laplace"), ValueError, "needs a subject"),
    (lambda: focusrate.rank(SAMPLES, subject="face"), ValueError, "subject must be None, 'faces'"),
    (lambda: focusrate.rate(SAMPLES[0], subject=1), TypeError, "subject must be a str or None, not int"),
    (lambda: focusrate.rate(SAMPLES[0], region="1,2,0,4"), ValueError, "not '1,2,0,4'"),
    (lambda: focusrate.rate(SAMPLES[0], region=(1, 2, 0, 4)), ValueError, "not '1,2,0,4'"),
    (lambda: focusrate.rate(SAMPLES[0], region=(1, 2, 3)), ValueError, "4 ints"),
    (lambda: focusrate.rate(SAMPLES[0], region=[1, -2, 3, 4]), ValueError, "region must be 0 to"),
    (lambda: focusrate.rate(SAMPLES[0], region=5), TypeError, "a tuple (x, y, w, h) or None, not int"),
    (lambda: focusrate.rate(SAMPLES[0], max_pixels=0), ValueError, "max_pixels must be 1 to"),
    (lambda: focusrate.rank(SAMPLES, scale=1/3), ValueError, "rank: scale must be None, 1, 1/2"),
    (lambda: focusrate.decode(SAMPLES[0], raw="small"), ValueError, "decode: raw must be None, 'half'"),
    (lambda: focusrate.rank(SAMPLES, bursts=1e-7), ValueError, "whole microseconds, not 1e-07 s"),
    (lambda: focusrate.rank(SAMPLES, bursts=0), ValueError, "bursts in microseconds must be 1 to"),
    (lambda: focusrate.rank(SAMPLES, bursts="2"), TypeError, "float of seconds, not str"),
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


@pytest.mark.skipif(not all(map(importlib.util.find_spec, ("dask", "distributed"))),
                    reason="needs dask and distributed")
def test_dask_example_equals_focusrank():
    example = os.path.join(SOURCE, "examples", "dask_rate.py")
    paths = [os.path.dirname(SAMPLES[0]), *SAMPLES, MISSING]
    ran = subprocess.run([sys.executable, example, "--workers", "2", *paths], capture_output=True,
                         text=True)
    want = focusrank("--jobs", "1", *paths)
    assert (ran.stdout, ran.returncode) == (want.stdout, want.returncode) == (want.stdout, 1)
    assert os.access(example, os.X_OK)  # python3 found on PATH may lack dask: run by ours
