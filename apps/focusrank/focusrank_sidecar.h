// What focusrank writes into an image's sidecar (--xmp).
#ifndef FOCUSRATE_FOCUSRANK_SIDECAR_H
#define FOCUSRATE_FOCUSRANK_SIDECAR_H

#include "focusrank_options.h"
#include "rated_image.h"
#include "xmp_sidecar.h"

namespace focusrate {

/// The five classic figures, the other figures among `asked` (a figure that
/// is not finite is left out) and, with --bursts, the burst, relative figure
/// and pick, as focusrate:Laplace, VarianceLap, ... (FigureColumn::xmp),
/// Burst, Relative, Pick; focusrate:Rendition ("half 3012x2008", "image
/// 1512x1008") for a raw file or an image rated at a reduced scale, whose
/// figures are not the full picture's; xmp:Rating -1 below --reject-below and the
/// --label-picks colour on a pick, each kind of mark revised only when its
/// option is given.
SidecarUpdate SidecarFor(const RatedImage& rated, const CullOptions& cull,
                         const std::vector<FigureColumn>& asked);

}  // namespace focusrate

#endif  // FOCUSRATE_FOCUSRANK_SIDECAR_H
