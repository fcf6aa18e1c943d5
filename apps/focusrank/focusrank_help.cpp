// The prose of focusrank --help around its options (RankOptionTable).
#include "focusrank_options.h"

const char kRankHelpIntro[] = R"(Usage: focusrank [OPTIONS] PATH...
Rates the sharpness of many images: one row per image with the figures
focusrate writes (Laplace, Variance-Lap, Tenengrad, Gray-Level) or those
chosen with --figures.
)";

const char kRankHelpOutro[] =
    R"(Row status: ok, damaged (rated, but the decoder read around corrupt or
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
