#include "focusrank_options.h"

const char* RankHelpText() {
  return R"(Usage: focusrank [OPTIONS] PATH...
Rates the sharpness of many images: one row per image with the figures
focusrate writes (Laplace, Variance-Lap, Tenengrad, Gray-Level) or those
chosen with --figures.

Input:
  PATH                  an image file, or a directory searched recursively for
                        .jpg .jpeg .jpe .png .tif .tiff .webp .bmp .dib .pbm
                        .pgm .ppm .pnm .pxm .sr .ras .exr .hdr .pic .jp2
                        .heic .heif .hif .avif files and camera raw files
                        (.dng .cr2 .cr3 .crw .nef .nrw .arw .srf .sr2 .orf
                        .rw2 .raf .pef .srw .x3f .3fr .iiq .erf .kdc .dcr
                        .mrw .mos .rwl), rated at half size
  --files-from FILE     also read paths from FILE, one a line ('-': stdin)
  -0, --null            paths in --files-from end with NUL, not newline
  --roi X,Y,W,H         rate only that region of each image, clipped to it
  --roi center:P        rate only the centred P percent of width and height
  --subject MODE        also rate the subject of each image, within it, and
                        add the columns subject (x y w h and how it was found)
                        and subject_FIGURE for each figure; MODE is
                        faces    the largest face; the centre when none
                        center   the central 50% of width and height
                        peak     3x3 tiles around the sharpest tile

Output:
  -o, --output FILE     write rows to FILE, replaced only once complete, but
                        never an input image, the list or a sidecar ('-':
                        standard output) [default: standard output]
  --format FMT          csv or jsonl [default: csv]
  --figures LIST        figure columns in this order, comma-separated, from
                        laplace, variance_lap, tenengrad, gray_level,
                        variance_lap_norm (variance_lap over the squared mean
                        grey level: fair between exposures)
                        [default: laplace,variance_lap,tenengrad,gray_level]
  -q, --quiet           no progress line on a terminal

Ranking:
  --sort FIGURE         sharpest first by a figure named as in --figures
                        ('-' may stand for '_'), or by subject_FIGURE with
                        --subject; rows without a figure last
                        [default: input order]
  --top K               keep only the first K rows [default: all]

Bursts and sidecars:
  --bursts[=SECONDS]    group consecutive frames shot at most SECONDS apart
                        (to the microsecond) that show one scene; adds the
                        columns burst, relative (figure / best figure of the
                        burst, by the --sort figure, else variance_lap_norm)
                        and pick; a damaged frame gets neither
                        [default gap: 2]
  --xmp                 write the figures (and burst, relative, pick) into an
                        XMP sidecar beside each rated image, keeping all else
                        in it; adds the column sidecar
  --xmp-name NAMING     append (IMG.JPG.xmp) or replace (IMG.xmp)
                        [default: append]
  --label-picks COLOR   set xmp:Label Red, Yellow, Green, Blue or Purple on
                        each burst's pick; a label set by an earlier run
                        moves to the new pick
  --reject-below R      set xmp:Rating -1 where relative < R (0 < R < 1)
  --overwrite-ratings   replace the user's rating or label (found in either
                        sidecar or in the image) where focusrank sets one
  --dry-run             say in the sidecar column what would change; write
                        nothing

Performance:
  -j, --jobs N          images rated at once [default: number of cores]
  --max-pixels N        refuse larger images before decoding them
                        [default: 1073741824]

  -h, --help            print this help
  --version             print the version

Row status: ok, damaged (rated, but the decoder read around corrupt or
missing data), not found, permission denied, symlink loop, name too long,
not a regular file, too large, out of memory, cannot decode (read, but no
decoder took it), region outside image, cannot rate (rating it failed; the
reason is on stderr).

Sidecar column: written, would write, unchanged, or 'sidecar not written:'
with why: symbolic link, not a regular file, not XMP, not well-formed XMP,
foreign namespace for prefix P (a standard prefix bound to another URI),
cannot keep namespace URI (one ending in neither / nor #), shared with IMAGE
(another input's sidecar too), cannot read, cannot replace.

Exit status: 0 every image rated, 1 some not rated (their rows say why), a
sidecar not written or a directory, entry or list could not be read, 2 usage
error (also an output that is an input), 3 output not written.
)";
}
