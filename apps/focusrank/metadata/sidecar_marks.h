// Whose a rating or label is: the user's, or ours from an earlier run.
#ifndef FOCUSRATE_SIDECAR_MARKS_H
#define FOCUSRATE_SIDECAR_MARKS_H

#include <string>

namespace focusrate {

/// One kind of mark (xmp:Rating or xmp:Label) as one packet holds it. We
/// record each mark we set (focusrate:SetRating, SetLabel), so a mark that
/// still equals its record is ours; any other mark is the user's, who may
/// have changed ours since or set it without us.
struct MarkState {
  std::string value;   ///< "" none
  std::string record;  ///< what we set last time, "" none

  /// The user's mark, "" when there is none (or it is ours).
  std::string Users() const { return value == record ? std::string() : value; }
};

/// Chooses a sidecar's mark and record from what it holds (here), the
/// user's mark found in another packet of the image (elsewhere, "" none) and
/// the mark the run wants ("" none). The user's mark wins, and is copied so
/// the packets agree, unless overwrite and the run wants a mark; ours is
/// replaced or cleared freely. Only for kinds of mark the run was asked to set.
MarkState DecideMark(const MarkState& here, const std::string& elsewhere, const std::string& wanted,
                     bool overwrite);

}  // namespace focusrate

#endif  // FOCUSRATE_SIDECAR_MARKS_H
