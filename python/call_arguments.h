// Python arguments turned into the rating library's settings, by the same
// rules focusrank's options follow. A wrong type raises TypeError and a
// wrong value ValueError, each naming the function and the argument
// ("rank: jobs must be 1 to 1024").
#ifndef FOCUSRATE_CALL_ARGUMENTS_H
#define FOCUSRATE_CALL_ARGUMENTS_H

#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <vector>

#include "rank_images.h"

namespace focusrate {

/// Threads of one image, jobs of a run: as many as focusrank allows.
constexpr long long kMaxThreads = 1024;

/// The type name of an argument, for saying what was given instead.
std::string TypeName(const pybind11::handle& value);

/// An int argument (`what`: "rank: jobs") in [low, high]; None gives
/// `otherwise` where one is given and is refused elsewhere.
long long IntArgument(const pybind11::handle& value, const std::string& what, long long low,
                      long long high, std::optional<long long> otherwise = std::nullopt);

/// The bytes the file system sees for a str, bytes or os.PathLike path. The
/// system would end a path at a NUL byte and name another file, so such a
/// path is refused.
std::string PathBytes(const pybind11::handle& path, const std::string& function);

/// One path, or an iterable of them, as PathBytes gives each.
std::vector<std::string> PathList(const pybind11::handle& paths, const std::string& function);

/// raw ('half', 'full', 'preview') and scale (1, 1/2, 1/4 or 1/8, as a
/// number), each None for focusrank's default.
DecodeOptions DecodeArguments(const std::string& function, const pybind11::handle& raw,
                              const pybind11::handle& scale);

/// region ("X,Y,W,H", "center:P" or (x, y, w, h)), subject ('faces',
/// 'center', 'peak') and max_pixels, each None for focusrank's default,
/// and decode.
RateSettings RateArguments(const std::string& function, const pybind11::handle& region,
                           const pybind11::handle& subject, const pybind11::handle& maxPixels,
                           const DecodeOptions& decode);

/// The settings of a rank run: jobs, sort (a figure name, "subject_" before
/// it only with a subject), top and bursts (None or False for none, True for
/// the default gap, else the gap as an int of microseconds) over
/// RateArguments.
RankSettings RankArguments(const pybind11::handle& jobs, const pybind11::handle& sort,
                           const pybind11::handle& top, const pybind11::handle& bursts,
                           const RateSettings& rate);

}  // namespace focusrate

#endif  // FOCUSRATE_CALL_ARGUMENTS_H
