// focusrate._native, the C++ half of the Python package: figures of numpy
// arrays, and files rated and ranked as focusrank rates them, as plain
// tuples that focusrate/__init__.py names. Every measurement runs without
// the GIL.
#include <dlfcn.h>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch_inputs.h"
#include "batch_runner.h"
#include "engine.h"
#include "image_input.h"
#include "numpy_pixels.h"
#include "opencv_fallback.h"
#include "rank_run.h"
#include "row_ranking.h"

namespace py = pybind11;

namespace {

// Messages about folders that cannot be read start with this.
constexpr char kModule[] = "focusrate";

// Threads of one image, jobs of a run.
constexpr long long kMaxThreads = 1024;

// How long a wait for a row may keep Ctrl-C from the interpreter.
constexpr std::chrono::milliseconds kSignalCheck{100};

// A run is dropped with the GIL held; its thread is joined without it, so
// other Python threads go on while the images being rated are finished.
struct ReleasingDelete {
  void operator()(RankRun* run) const {
    py::gil_scoped_release release;
    delete run;
  }
};
using RunHolder = std::unique_ptr<RankRun, ReleasingDelete>;

// The type name of an argument, for saying what was given instead.
std::string TypeName(const py::handle& value) {
  return py::str(py::type::of(value).attr("__name__")).cast<std::string>();
}

// An int argument (`what`: "rank: jobs") in [1, high]; None gives
// `otherwise` where one is given and is refused elsewhere.
long long Count(const py::object& value, const std::string& what, long long high,
                std::optional<long long> otherwise = std::nullopt) {
  if (value.is_none() && otherwise) return *otherwise;
  if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value))
    throw py::type_error(what + " must be an int" + (otherwise ? " or None" : "") + ", not " +
                         TypeName(value));
  int overflow = 0;
  const long long n = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (overflow != 0 || n < 1 || n > high)
    throw py::value_error(what + " must be 1 to " + std::to_string(high));
  return n;
}

py::tuple FiguresTuple(const FocusFigures& f) {
  return py::make_tuple(f.laplace, f.varianceLap, f.tenengrad, f.grayLevel);
}

// Paths go to C++ as the bytes the file system sees and come back as str,
// undecodable bytes escaped as os.fsdecode does. The system would end a path
// at a NUL byte and name another file, so such a path is refused.
std::string PathBytes(const py::handle& path, const std::string& function) {
  std::string bytes = py::module_::import("os").attr("fsencode")(path).cast<std::string>();
  if (bytes.find('\0') != std::string::npos)
    throw py::value_error(function + ": embedded null byte in path");
  return bytes;
}

// (path, laplace, variance_lap, tenengrad, gray_level, status); the figures
// are None when the image was not rated.
py::tuple RowTuple(const std::string& path, const RatedImage& rated) {
  const py::object name = py::module_::import("os").attr("fsdecode")(py::bytes(path));
  const py::object none = py::none();
  const FocusFigures& f = rated.figures;
  const bool rated_ = WasRated(rated);
  return py::make_tuple(name, rated_ ? py::float_(f.laplace) : none,
                   rated_ ? py::float_(f.varianceLap) : none,
                   rated_ ? py::float_(f.tenengrad) : none,
                   rated_ ? py::float_(f.grayLevel) : none, StatusText(rated.status));
}

// Arguments are checked here rather than by pybind11, whose message for a
// wrong type would print the whole array.
py::tuple Figures(const py::object& object, const py::object& orderName,
                  const py::object& threadCount) {
  CheckPixels(object, "figures");
  if (!py::isinstance<py::str>(orderName))
    throw py::type_error("figures: order must be a str, not " + TypeName(orderName));
  const std::string order = orderName.cast<std::string>();
  if (order != "bgr" && order != "rgb")
    throw py::value_error("figures: order must be 'bgr' or 'rgb', not '" + order + "'");
  const long long threads = Count(threadCount, "figures: threads", kMaxThreads);
  const py::array array = py::reinterpret_borrow<py::array>(object);
  FocusFigures figures;
  {
    py::gil_scoped_release release;
    figures = ArrayFigures(array, order == "rgb" ? ChannelOrder::Rgb : ChannelOrder::Bgr,
                           static_cast<int>(threads));
  }
  return FiguresTuple(figures);
}

py::tuple Rate(const py::object& path) {
  const std::string bytes = PathBytes(path, "rate");
  RatedImage rated;
  {
    py::gil_scoped_release release;
    rated = RateFile(bytes, RateSettings());
  }
  return RowTuple(bytes, rated);
}

py::object Decode(const py::object& path) {
  const std::string bytes = PathBytes(path, "decode");
  DecodedImage decoded;
  {
    py::gil_scoped_release release;
    decoded = DecodeImage(bytes);
  }
  if (!WasDecoded(decoded.status))
    throw py::value_error("decode: " + py::str(path).cast<std::string>() + ": " +
                          StatusText(decoded.status));
  const cv::Mat& image = decoded.image;  // continuous, as decoded
  py::array_t<uint8_t> array({image.rows, image.cols, 3});
  std::copy(image.datastart, image.dataend, array.mutable_data());
  return std::move(array);
}

RunHolder Rank(const py::object& paths, const py::object& jobs, const py::object& sort,
               const py::object& top) {
  std::vector<std::string> given;
  const bool one = py::isinstance<py::str>(paths) || py::isinstance<py::bytes>(paths) ||
                   py::hasattr(paths, "__fspath__");
  if (one) {
    given.push_back(PathBytes(paths, "rank"));
  } else {
    for (const py::handle path : py::iter(paths)) given.push_back(PathBytes(path, "rank"));
  }
  const long long jobCount = Count(jobs, "rank: jobs", kMaxThreads, 0);  // 0: one per core
  if (!sort.is_none() && !py::isinstance<py::str>(sort))
    throw py::type_error("rank: sort must be a str or None");
  const std::string name = sort.is_none() ? "laplace" : sort.cast<std::string>();
  SortKey key;
  if (!ParseSortKey(name, key) || key.subject)
    throw py::value_error("rank: sort must be None or a figure name ('laplace', 'variance_lap', "
                          "'tenengrad', 'gray_level', 'variance_lap_norm'), not '" + name + "'");
  const long long keep = Count(top, "rank: top", 1LL << 60, -1);

  std::vector<std::string> images, problems;
  {
    py::gil_scoped_release release;
    images = ExpandPaths(given, [&](const std::string& line) { problems.push_back(line); });
  }
  for (const std::string& line : problems)
    PySys_WriteStderr("%s: %s\n", kModule, line.c_str());
  RankSettings settings;
  settings.jobs = static_cast<int>(jobCount);
  settings.sorted = !sort.is_none();
  settings.sortBy = key;
  if (keep > 0) settings.top = static_cast<size_t>(keep);
  return RunHolder(new RankRun(std::move(images), settings));
}

// The next row of a run as a tuple; StopIteration at its end. Python runs
// its signal handlers only with the GIL, so the wait is cut into short
// steps: Ctrl-C raises KeyboardInterrupt here and stops the run.
py::tuple NextRow(RankRun& run) {
  for (;;) {
    bool ready;
    {
      py::gil_scoped_release release;
      ready = run.Wait(kSignalCheck);
    }
    if (ready) break;
    if (PyErr_CheckSignals() != 0) {
      run.Stop();
      throw py::error_already_set();
    }
  }
  const std::optional<RankedRow> row = run.Next();
  if (!row) throw py::stop_iteration();
  return RowTuple(run.Path(row->first), row->second);
}

// The folder of this module's own file, where the decoder plugin is sought.
std::string ModuleDirectory() {
  Dl_info info;
  if (::dladdr(reinterpret_cast<void*>(&ModuleDirectory), &info) == 0 || !info.dli_fname)
    return std::string();
  const std::string file(info.dli_fname);
  return file.substr(0, file.rfind('/') + 1);
}

}  // namespace

// The docstrings users read are those of focusrate/__init__.py.
PYBIND11_MODULE(_native, m) {
  m.doc() = "The C++ half of focusrate; use the functions of focusrate itself.";
  m.attr("version") = FOCUSRATE_VERSION;
  SetImreadPluginDirectory(ModuleDirectory() + FOCUSRATE_PLUGIN_FROM_MODULE);
  m.def("figures", &Figures, "(laplace, variance_lap, tenengrad, gray_level) of an array.");
  m.def("decode", &Decode, "The BGR pixels of a file, or ValueError.");
  m.def("rate", &Rate, "The row of one file.");
  py::class_<RankRun, RunHolder>(m, "RankRun", "The rows of a run, as they come.")
      .def("__iter__", [](RankRun& run) -> RankRun& { return run; },
           py::return_value_policy::reference_internal)
      .def("__next__", &NextRow);
  m.def("rank", &Rank, "The rows of a run, as an iterator.");
}
