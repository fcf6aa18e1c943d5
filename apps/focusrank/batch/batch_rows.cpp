#include "batch_rows.h"

#include "jzon.h"
#include "result_document.h"
#include "text_encoding.h"

namespace {

std::string CsvLine(const RowLayout& layout, const std::string& path, const RatedImage& rated) {
  const FocusFigures& f = rated.figures;
  std::string line = CsvField(path) + ',' + FigureText(f.laplace) + ',' +
                     FigureText(f.varianceLap) + ',' + FigureText(f.tenengrad) + ',' +
                     FigureText(f.grayLevel) + ',' + StatusText(rated.status);
  const BurstPlace& place = rated.place;
  if (layout.bursts)
    line += ',' + (place.burst ? std::to_string(place.burst) : "") + ',' +
            FigureText(place.relative) + ',' + (place.pick ? '1' : '0');
  if (layout.sidecars) line += ',' + CsvField(rated.sidecar);
  return line + '\n';
}

std::string JsonLine(const RowLayout& layout, const std::string& path, const RatedImage& rated) {
  Jzon::Object row;
  // Raw: a path is bytes, and backslashes in it are not escapes. A path that
  // is not UTF-8 cannot be JSON text as it is: it is shown with U+FFFD in
  // place of the bad bytes, and its exact bytes follow in base64.
  if (IsValidUtf8(path)) {
    row.Add("path", Jzon::Value(Jzon::StringValue, path));
  } else {
    row.Add("path", Jzon::Value(Jzon::StringValue, ToValidUtf8(path)));
    row.Add("path_bytes", Jzon::Value(Jzon::StringValue, Base64(path)));
  }
  AddFigures(row, rated.figures);
  row.Add("status", Jzon::Value(Jzon::StringValue, StatusText(rated.status)));
  const BurstPlace& place = rated.place;
  if (layout.bursts) {
    row.Add("burst", place.burst ? Jzon::Value(static_cast<int>(place.burst)) : Jzon::Value());
    row.Add("relative", Jzon::Value(static_cast<float>(place.relative)));
    row.Add("pick", place.pick ? 1 : 0);
  }
  if (layout.sidecars) row.Add("sidecar", Jzon::Value(Jzon::StringValue, rated.sidecar));
  Jzon::Emitter emitter(row, Jzon::CompactStyle);
  emitter.Write();
  return emitter.GetResult() + '\n';
}

}  // namespace

std::string HeaderLine(const RowLayout& layout) {
  if (layout.format != RowFormat::Csv) return "";
  return std::string("path,laplace,variance_lap,tenengrad,gray_level,status") +
         (layout.bursts ? ",burst,relative,pick" : "") + (layout.sidecars ? ",sidecar" : "") +
         '\n';
}

std::string RowLine(const RowLayout& layout, const std::string& path, const RatedImage& rated) {
  return layout.format == RowFormat::Csv ? CsvLine(layout, path, rated)
                                         : JsonLine(layout, path, rated);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}
