"""Sharpness (focus) figures of images: the four measures focusrate and
focusrank write, bit for bit, for numpy arrays and for image files.

The functions are plain Python functions over the C++ module
focusrate._native, so they pickle by name and travel to Dask or
multiprocessing workers.
"""
from collections import namedtuple

from . import _native

__version__ = _native.version

Figures = namedtuple("Figures", "laplace variance_lap tenengrad gray_level")
Figures.__doc__ = """The four figures of one image; larger is sharper.
gray_level is NaN for a black image."""

Row = namedtuple("Row", "path laplace variance_lap tenengrad gray_level status")
Row.__doc__ = """One focusrank row: the path, the four figures (None when the
image was not rated) and the status focusrank gives it: 'ok', 'damaged',
'not found', 'permission denied', 'symlink loop', 'name too long', 'not a
regular file', 'too large', 'out of memory', 'cannot decode', 'cannot
rate'."""


def figures(array, order="bgr", threads=1):
    """The Figures of a uint8 numpy array: H x W x 3 colour with channels in
    `order` ('bgr' as cv2 gives them, 'rgb' as Pillow and imageio do), or
    H x W grey. Any strides, never copied whole: arrays whose rows are
    contiguous are read in place, others one row at a time. The GIL is
    released while measuring;
    `threads` splits one image over threads without changing the figures.
    Raises TypeError for anything but a uint8 array, a str order and an int
    of threads, ValueError for another shape, an empty array, an unknown
    order or threads outside 1 to 1024."""
    return Figures(*_native.figures(array, order, threads))


def decode(path):
    """The pixels focusrank rates for the file `path` (str, bytes or
    os.PathLike): a uint8 H x W x 3 array, blue-green-red, turned upright by
    its EXIF orientation. Raises ValueError naming the status when the file
    cannot be decoded, and for a path holding a NUL byte."""
    return _native.decode(path)


def rate(path):
    """Decodes and rates the file `path` as focusrank does and returns its
    Row. A file that cannot be rated gets its status, not an exception; a
    path holding a NUL byte raises ValueError."""
    return Row(*_native.rate(path))


def rank(paths, jobs=None, sort=None, top=None):
    """An iterator over the Rows focusrank gives for `paths` (one path or an iterable
    of them; folders are searched recursively for images), rating `jobs`
    images at once (default: every core) on threads of its own, without the
    GIL. Rows come in input order as they are rated, or, with `sort`
    ('laplace', 'variance_lap', 'tenengrad', 'gray_level',
    'variance_lap_norm'), sharpest first once all are rated; `top` keeps only
    the first rows. Dropping the iterator stops the run, and so does Ctrl-C
    while waiting for a row (KeyboardInterrupt comes within a tenth of a
    second, also while a sorted run rates). Bad arguments (a path holding a
    NUL byte too) raise TypeError or ValueError here, before any image is
    rated."""
    rows = _native.rank(paths, jobs, sort, top)
    return (Row(*row) for row in rows)
