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
#include "call_arguments.h"
#include "engine.h"
#include "figure_columns.h"
#include "image_input.h"
#include "numpy_pixels.h"
#include "rank_run.h"

using namespace focusrate;

namespace py = pybind11;

namespace {

// Messages about folders that cannot be read start with this.
constexpr char kModule[] = "focusrate";

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

// The figures in the order of AllFigureColumns, which names them.
py::tuple FiguresTuple(const FocusFigures& f) {
  py::list values;
  for (const FigureColumn& column : AllFigureColumns()) values.append(column.value(f));
  return py::tuple(values);
}

// The fields of focusrate.Row. None stands for what a row lacks: the
// figures of an image not rated, the subject's fields without a subject
// (or a rated image), the burst's without bursts, and burst and relative of
// a frame in no burst.
py::tuple RowTuple(const std::string& path, const RatedImage& rated, const RankSettings& run) {
  const py::object none = py::none();
  const bool wasRated = WasRated(rated);
  py::list row;
  row.append(py::module_::import("os").attr("fsdecode")(py::bytes(path)));
  for (const py::handle figure : FiguresTuple(rated.figures)) row.append(wasRated ? figure : none);
  row.append(StatusText(rated.status));
  const bool subject = wasRated && run.rate.subject != SubjectMode::None;
  const cv::Rect& box = rated.subject;
  row.append(subject ? py::make_tuple(box.x, box.y, box.width, box.height) : none);
  row.append(subject ? py::str(rated.subjectHow) : none);
  row.append(subject ? FiguresTuple(rated.subjectFigures) : none);
  const BurstPlace& place = rated.place;
  const bool inBurst = run.bursts && place.burst > 0;
  row.append(inBurst ? py::int_(place.burst) : none);
  row.append(inBurst ? py::float_(place.relative) : none);
  row.append(run.bursts ? py::bool_(place.pick) : none);
  return py::tuple(row);
}

// Folders searched for images; what cannot be searched is said on stderr.
std::vector<std::string> Expanded(const std::vector<std::string>& given) {
  std::vector<std::string> images, problems;
  {
    py::gil_scoped_release release;
    images = ExpandPaths(given, [&](const std::string& line) { problems.push_back(line); });
  }
  for (const std::string& line : problems)
    PySys_WriteStderr("%s: %s\n", kModule, line.c_str());
  return images;
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
  const long long threads = IntArgument(threadCount, "figures: threads", 1, kMaxThreads);
  const py::array array = py::reinterpret_borrow<py::array>(object);
  FocusFigures figures;
  {
    py::gil_scoped_release release;
    figures = ArrayFigures(array, order == "rgb" ? ChannelOrder::Rgb : ChannelOrder::Bgr,
                           static_cast<int>(threads));
  }
  return FiguresTuple(figures);
}

py::tuple Rate(const py::object& path, const py::object& region, const py::object& subject,
               const py::object& maxPixels, const py::object& raw, const py::object& scale) {
  const std::string bytes = PathBytes(path, "rate");
  RankSettings one;
  one.rate = RateArguments("rate", region, subject, maxPixels, DecodeArguments("rate", raw, scale));
  RatedImage rated;
  {
    py::gil_scoped_release release;
    rated = RateFile(bytes, one.rate);
  }
  return RowTuple(bytes, rated, one);
}

py::object Decode(const py::object& path, const py::object& raw, const py::object& scale) {
  const std::string bytes = PathBytes(path, "decode");
  const DecodeOptions options = DecodeArguments("decode", raw, scale);
  DecodedImage decoded;
  {
    py::gil_scoped_release release;
    decoded = DecodeImage(bytes, options);
  }
  if (!WasDecoded(decoded.status))
    throw py::value_error("decode: " + py::str(path).cast<std::string>() + ": " +
                          StatusText(decoded.status));
  const cv::Mat& image = decoded.image;  // continuous, as decoded
  py::array_t<uint8_t> array({image.rows, image.cols, 3});
  std::copy(image.datastart, image.dataend, array.mutable_data());
  return std::move(array);
}

// Every argument is checked before the folders are searched.
RunHolder Rank(const py::object& paths, const py::object& jobs, const py::object& sort,
               const py::object& top, const py::object& region, const py::object& subject,
               const py::object& bursts, const py::object& maxPixels, const py::object& raw,
               const py::object& scale) {
  const std::vector<std::string> given = PathList(paths, "rank");
  const RankSettings settings = RankArguments(
      jobs, sort, top, bursts,
      RateArguments("rank", region, subject, maxPixels, DecodeArguments("rank", raw, scale)));
  return RunHolder(new RankRun(Expanded(given), settings));
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
  return RowTuple(run.Path(row->first), row->second, run.Settings());
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
  SetDecoderPluginDirectory(ModuleDirectory() + FOCUSRATE_PLUGIN_FROM_MODULE);
  py::list names;
  for (const FigureColumn& column : AllFigureColumns()) names.append(column.name);
  m.attr("figure_names") = py::tuple(names);
  m.def("figures", &Figures, "The figures of an array, in the order of figure_names.");
  m.def("decode", &Decode, "The BGR pixels of a file, or ValueError.");
  m.def("rate", &Rate, "The row of one file.");
  py::class_<RankRun, RunHolder>(m, "RankRun", "The rows of a run, as they come.")
      .def("__iter__", [](RankRun& run) -> RankRun& { return run; },
           py::return_value_policy::reference_internal)
      .def("__next__", &NextRow);
  m.def("rank", &Rank, "The rows of a run, as an iterator.");
  m.def("expand", [](const py::object& paths) { return Expanded(PathList(paths, "expand")); },
        "The files a run rates: folders searched for images.");
}
