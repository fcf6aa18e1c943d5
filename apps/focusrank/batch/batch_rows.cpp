#include "batch_rows.h"

#include "jzon.h"
#include "result_document.h"
#include "text_encoding.h"

namespace {

std::string CsvLine(const std::string& path, const RatedImage& rated) {
  const FocusFigures& f = rated.figures;
  return CsvField(path) + ',' + FigureText(f.laplace) + ',' + FigureText(f.varianceLap) +
         ',' + FigureText(f.tenengrad) + ',' + FigureText(f.grayLevel) + ',' +
         StatusText(rated.status) + '\n';
}

std::string JsonLine(const std::string& path, const RatedImage& rated) {
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
  Jzon::Emitter emitter(row, Jzon::CompactStyle);
  emitter.Write();
  return emitter.GetResult() + '\n';
}

}  // namespace

std::string HeaderLine(RowFormat format) {
  return format == RowFormat::Csv ? "path,laplace,variance_lap,tenengrad,gray_level,status\n"
                                  : "";
}

std::string RowLine(RowFormat format, const std::string& path, const RatedImage& rated) {
  return format == RowFormat::Csv ? CsvLine(path, rated) : JsonLine(path, rated);
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
