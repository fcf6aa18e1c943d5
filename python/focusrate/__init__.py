"""Sharpness (focus) figures of images: the figures focusrate and focusrank
write, bit for bit, for numpy arrays and for image files.

The functions are plain Python functions over the C++ module
focusrate._native, so they pickle by name and travel to Dask or
multiprocessing workers.
"""
from collections import namedtuple
from decimal import Decimal
import numbers

from . import _native

__version__ = _native.version

Figures = namedtuple("Figures", _native.figure_names)
Figures.__doc__ = """The figures of one image, named as focusrank's --figures
names them; larger is sharper, but for noise (the estimated standard
deviation of the image's noise, 0..255). Every figure is measured.
gray_level is NaN for a black image, variance_lap_norm (variance_lap over
the squared mean grey level, fair between exposures) and
variance_lap_denoised_norm too."""

Row = namedtuple("Row", ("path",) + Figures._fields + (
    "status", "subject", "subject_how", "subject_figures", "burst", "relative", "pick"))
Row.__doc__ = """One focusrank row: the path, every figure (None when the
image was not rated) and the status focusrank gives it: 'ok', 'damaged',
'not found', 'permission denied', 'symlink loop', 'name too long', 'not a
regular file', 'too large', 'out of memory', 'cannot decode', 'cannot
rate'. With a subject: its box `subject` (x, y, w, h) in the upright image,
`subject_how` ('face', 'af-point', 'salient', 'center', 'center (no face)',
'peak') and its Figures `subject_figures`. With bursts: `burst` (1, 2, ... in input order),
`relative` (the figure over the best of its burst) and `pick` (the best
frame of its burst). Fields not asked for, and burst and relative of a
frame in no burst, are None."""


def _row(fields):
    row = Row(*fields)
    if row.subject_figures is None:
        return row
    return row._replace(subject_figures=Figures(*row.subject_figures))


def _microseconds(bursts):
    """bursts as _native.rank takes it: None, a bool, or the gap in whole
    microseconds, read from the number's decimal text as focusrank reads
    --bursts=SECONDS (0.3 is 300000 us, not a binary fraction short of it)."""
    if bursts is None or isinstance(bursts, bool):
        return bursts
    if isinstance(bursts, numbers.Integral):
        text = str(int(bursts))
    elif isinstance(bursts, numbers.Real):
        text = repr(float(bursts))  # the shortest text naming the same float
    else:
        raise TypeError("rank: bursts must be a bool, an int or a float of seconds, not "
                        + type(bursts).__name__)
    gap = Decimal(text) * 1000000
    if not gap.is_finite() or gap != gap.to_integral_value():
        raise ValueError("rank: bursts must be whole microseconds, not %s s" % text)
    return int(gap)


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


def decode(path, raw=None, scale=None):
    """The pixels focusrank rates for the file `path` (str, bytes or
    os.PathLike): a uint8 H x W x 3 array, blue-green-red, turned upright by
    its EXIF orientation. `raw` ('half', the default, 'full' or 'preview')
    renders camera raw files as focusrank's --raw; `scale` (1/2, 1/4 or 1/8)
    reduces the image as --scale. Raises ValueError naming the status when
    the file cannot be decoded, and for a path holding a NUL byte."""
    return _native.decode(path, raw, scale)


def rate(path, region=None, subject=None, max_pixels=None, raw=None, scale=None):
    """Decodes and rates the file `path` as focusrank does and returns its
    Row. `region` rates only part of the image, as focusrank's --roi: the
    text 'X,Y,W,H' or 'center:P', or a tuple (x, y, w, h). `subject`
    ('faces', 'center', 'peak' or 'auto') also rates the subject found in that
    part, as --subject. Images of more than `max_pixels` pixels (default
    2^30, counted at `scale`) are refused as 'too large'. `raw` and `scale`
    are decode's. A file that cannot be rated gets its
    status, not an exception; bad arguments and a path holding a NUL byte
    raise TypeError or ValueError."""
    return _row(_native.rate(path, region, subject, max_pixels, raw, scale))


def rank(paths, jobs=None, sort=None, top=None, region=None, subject=None, bursts=None,
         max_pixels=None, raw=None, scale=None):
    """An iterator over the Rows focusrank gives for `paths` (one path or an
    iterable of them; folders are searched recursively for images, as by
    expand), rating `jobs` images at once (default: every core) on threads
    of its own, without the GIL. Rows come in input order as they are rated,
    or, with `sort` (a name of Figures._fields, or 'subject_' and one with a
    subject), sharpest first once all are rated; `top` keeps only the first
    rows. `region`, `subject`, `max_pixels`, `raw` and `scale` are rate's. `bursts` groups
    frames of one scene taken at most that many seconds apart (True: 2 s)
    and picks the sharpest of each, by `sort` or else by variance_lap_norm,
    as focusrank --bursts. Rows always carry every figure, so there is no
    choice of figures to make. Dropping the iterator stops the run, and so
    does Ctrl-C while waiting for a row (KeyboardInterrupt comes within a
    tenth of a second, also while a sorted run rates). Bad arguments (a
    path holding a NUL byte too) raise TypeError or ValueError here, before
    any image is rated."""
    rows = _native.rank(paths, jobs, sort, top, region, subject, _microseconds(bursts),
                        max_pixels, raw, scale)
    return (_row(row) for row in rows)


def expand(paths):
    """The files a rank run over `paths` rates, in its order: folders
    searched recursively for image names (sorted at each level; links to
    folders inside them not followed), other paths kept as given. Folders
    that cannot be read are named on stderr and skipped."""
    return _native.expand(paths)
