#include "call_arguments.h"

#include "figure_columns.h"
#include "image_region.h"
#include "subject_region.h"

namespace focusrate {

namespace py = pybind11;

namespace {

// A burst gap under 10^9 s, in microseconds, as focusrank reads one.
constexpr long long kMaxGap = 999999999999999;

// "'laplace', 'variance_lap', ...": the names a figure may go by.
std::string FigureNames() {
  std::string names;
  for (const FigureColumn& column : AllFigureColumns())
    names += std::string(names.empty() ? "'" : ", '") + column.name + "'";
  return names;
}

// A str argument, or nothing for None.
std::optional<std::string> Text(const py::handle& value, const std::string& what) {
  if (value.is_none()) return std::nullopt;
  if (!py::isinstance<py::str>(value))
    throw py::type_error(what + " must be a str or None, not " + TypeName(value));
  return value.cast<std::string>();
}

// A tuple (x, y, w, h) becomes the text focusrank reads, so one rule
// checks both.
std::string RegionText(const py::handle& region, const std::string& what) {
  if (py::isinstance<py::str>(region)) return region.cast<std::string>();
  if (!py::isinstance<py::tuple>(region) && !py::isinstance<py::list>(region))
    throw py::type_error(what + " must be a str, a tuple (x, y, w, h) or None, not " +
                         TypeName(region));
  const py::sequence box = py::reinterpret_borrow<py::sequence>(region);
  if (box.size() != 4) throw py::value_error(what + " must hold 4 ints (x, y, w, h)");
  std::string text;
  for (const py::handle n : box)
    text += (text.empty() ? "" : ",") + std::to_string(IntArgument(n, what, 0, 1LL << 40));
  return text;
}

}  // namespace

std::string TypeName(const py::handle& value) {
  return py::str(py::type::of(value).attr("__name__")).cast<std::string>();
}

long long IntArgument(const py::handle& value, const std::string& what, long long low,
                      long long high, std::optional<long long> otherwise) {
  if (value.is_none() && otherwise) return *otherwise;
  if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value))
    throw py::type_error(what + " must be an int" + (otherwise ? " or None" : "") + ", not " +
                         TypeName(value));
  int overflow = 0;
  const long long n = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (overflow != 0 || n < low || n > high)
    throw py::value_error(what + " must be " + std::to_string(low) + " to " + std::to_string(high));
  return n;
}

std::string PathBytes(const py::handle& path, const std::string& function) {
  std::string bytes = py::module_::import("os").attr("fsencode")(path).cast<std::string>();
  if (bytes.find('\0') != std::string::npos)
    throw py::value_error(function + ": embedded null byte in path");
  return bytes;
}

std::vector<std::string> PathList(const py::handle& paths, const std::string& function) {
  if (py::isinstance<py::str>(paths) || py::isinstance<py::bytes>(paths) ||
      py::hasattr(paths, "__fspath__"))
    return {PathBytes(paths, function)};
  std::vector<std::string> list;
  for (const py::handle path : py::iter(paths)) list.push_back(PathBytes(path, function));
  return list;
}

DecodeOptions DecodeArguments(const std::string& function, const py::handle& raw,
                              const py::handle& scale) {
  DecodeOptions options;
  if (const std::optional<std::string> mode = Text(raw, function + ": raw"))
    if (!ParseRawRendition(*mode, options.raw))
      throw py::value_error(function + ": raw must be None, 'half', 'full' or 'preview', not '" +
                            *mode + "'");
  if (scale.is_none()) return options;
  if ((!py::isinstance<py::int_>(scale) && !py::isinstance<py::float_>(scale)) ||
      py::isinstance<py::bool_>(scale))
    throw py::type_error(function + ": scale must be a number or None, not " + TypeName(scale));
  // 1/2, 1/4 and 1/8 are exact as floats: equal, never near.
  const double fraction = scale.cast<double>();
  for (int n : kDecodeScales)
    if (fraction * n == 1) options.scale = n;
  if (fraction * options.scale != 1)
    throw py::value_error(function + ": scale must be None, 1, 1/2, 1/4 or 1/8, not " +
                          py::repr(scale).cast<std::string>());
  return options;
}

RateSettings RateArguments(const std::string& function, const py::handle& region,
                           const py::handle& subject, const py::handle& maxPixels,
                           const DecodeOptions& decode) {
  RateSettings settings;
  settings.decode = decode;
  if (!region.is_none()) {
    const std::string what = function + ": region";
    const std::string text = RegionText(region, what);
    if (!ParseRegion(text, settings.region))
      throw py::value_error(what + " must be 'X,Y,W,H' (W, H at least 1) or 'center:P' "
                            "(0 < P <= 100), not '" + text + "'");
  }
  if (const std::optional<std::string> mode = Text(subject, function + ": subject"))
    if (!ParseSubjectMode(*mode, settings.subject))
      throw py::value_error(function + ": subject must be None, 'faces', 'center' or 'peak', "
                            "not '" + *mode + "'");
  settings.maxPixels =
      IntArgument(maxPixels, function + ": max_pixels", 1, 1LL << 60, kDefaultMaxPixels);
  // A row has a field for every figure, and one left NaN unless asked for
  // would be a trap; measuring them all adds about a third to the engine's
  // time, less than decoding a file takes.
  settings.figures = FigureSet::All;
  return settings;
}

RankSettings RankArguments(const py::handle& jobs, const py::handle& sort, const py::handle& top,
                           const py::handle& bursts, const RateSettings& rate) {
  RankSettings settings;
  settings.rate = rate;
  settings.jobs = static_cast<int>(IntArgument(jobs, "rank: jobs", 1, kMaxThreads, 0));
  if (const std::optional<std::string> name = Text(sort, "rank: sort")) {
    if (!ParseSortKey(*name, settings.sortBy))
      throw py::value_error("rank: sort must be None or a figure name (" + FigureNames() +
                            "), 'subject_' before it with a subject, not '" + *name + "'");
    if (settings.sortBy.subject && rate.subject == SubjectMode::None)
      throw py::value_error("rank: sort '" + *name + "' needs a subject");
    settings.sorted = true;
  }
  const long long keep = IntArgument(top, "rank: top", 1, 1LL << 60, -1);
  if (keep > 0) settings.top = static_cast<std::size_t>(keep);
  if (py::isinstance<py::bool_>(bursts)) {
    settings.bursts = bursts.cast<bool>();  // True: the default gap
  } else if (!bursts.is_none()) {
    settings.bursts = true;
    settings.gap = IntArgument(bursts, "rank: bursts in microseconds", 1, kMaxGap);
  }
  return settings;
}

}  // namespace focusrate
