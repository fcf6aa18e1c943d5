#include "focusrank_sidecar.h"

#include <cmath>

#include "result_document.h"

namespace focusrate {

SidecarUpdate SidecarFor(const RatedImage& rated, const CullOptions& cull,
                         const std::vector<FigureColumn>& asked) {
  SidecarUpdate update;
  // Every sidecar has the classic figures, so a cataloguer can count on
  // them; the others only when asked, as measuring them costs more.
  std::vector<FigureColumn> written = MeasuredFigureColumns(FigureSet::Classic);
  for (const FigureColumn& column : asked)
    if (column.set != FigureSet::Classic) written.push_back(column);
  for (const FigureColumn& column : written) {
    const double figure = column.value(rated.figures);
    if (std::isfinite(figure)) update.own.emplace_back(column.xmp, FigureText(figure));
  }
  // Figures of a raw rendition or a reduced image are not the full picture's:
  // a later reader must know which they are to compare them.
  const Rendition& rendition = rated.rendition;
  if (rendition.raw || rendition.scale != 1)
    update.own.emplace_back("Rendition", RenditionText(rendition));
  if (!cull.bursts) return update;
  const BurstPlace& place = rated.place;
  update.own.emplace_back("Burst", std::to_string(place.burst));
  if (std::isfinite(place.relative))
    update.own.emplace_back("Relative", FigureText(place.relative));
  update.own.emplace_back("Pick", place.pick ? "1" : "0");
  // A frame without a relative figure is not judged: NaN < R is false.
  update.rating = {cull.rejectBelow > 0, place.relative < cull.rejectBelow ? "-1" : ""};
  update.label = {!cull.label.empty(), place.pick ? cull.label : ""};
  return update;
}

}  // namespace focusrate
