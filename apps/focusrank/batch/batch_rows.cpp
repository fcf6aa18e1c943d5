#include "batch_rows.h"

#include "jzon.h"
#include "result_document.h"
#include "text_encoding.h"

namespace focusrate {

namespace {

constexpr char kSubjectPrefix[] = "subject_";

// ",burst,relative,pick" with --bursts and ",sidecar" with --xmp: what
// follows the status. A frame in no burst has no burst and no relative figure.
std::string CullFields(const RowLayout& layout, const RatedImage& rated) {
  const BurstPlace& place = rated.place;
  std::string fields;
  if (layout.bursts)
    fields += ',' + (place.burst ? std::to_string(place.burst) : "") + ',' +
              FigureText(place.relative) + ',' + (place.pick ? '1' : '0');
  if (layout.sidecars) fields += ',' + CsvField(rated.sidecar);
  return fields;
}

// "x y w h how": the region in the upright image and how it was found.
std::string SubjectText(const RatedImage& rated) {
  const cv::Rect& r = rated.subject;
  return std::to_string(r.x) + ' ' + std::to_string(r.y) + ' ' + std::to_string(r.width) +
         ' ' + std::to_string(r.height) + ' ' + rated.subjectHow;
}

std::string CsvLine(const RowLayout& layout, const std::string& path, const RatedImage& rated) {
  std::string line = CsvField(path);
  for (const FigureColumn& column : layout.figures)
    line += ',' + FigureText(column.value(rated.figures));
  if (layout.subject) {
    line += ',' + (WasRated(rated) ? SubjectText(rated) : std::string());
    for (const FigureColumn& column : layout.figures)
      line += ',' + FigureText(column.value(rated.subjectFigures));
  }
  return line + ',' + StatusText(rated.status) + CullFields(layout, rated) + '\n';
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
  for (const FigureColumn& column : layout.figures)
    row.Add(column.member, FigureValue(column.value(rated.figures)));
  if (layout.subject) {
    row.Add("subject", WasRated(rated) ? Jzon::Value(Jzon::StringValue, SubjectText(rated))
                                       : Jzon::Value());
    for (const FigureColumn& column : layout.figures)
      row.Add(std::string("Subject-") + column.member,
              FigureValue(column.value(rated.subjectFigures)));
  }
  row.Add("status", Jzon::Value(Jzon::StringValue, StatusText(rated.status)));
  // A raw file is rated in one of its renditions: say which.
  if (WasRated(rated) && rated.rendition.raw)
    row.Add("rendition", Jzon::Value(Jzon::StringValue, RenditionText(rated.rendition)));
  const BurstPlace& place = rated.place;
  if (layout.bursts) {
    row.Add("burst", place.burst ? Jzon::Value(static_cast<int>(place.burst)) : Jzon::Value());
    row.Add("relative", FigureValue(place.relative));
    row.Add("pick", place.pick ? 1 : 0);
  }
  if (layout.sidecars) row.Add("sidecar", Jzon::Value(Jzon::StringValue, rated.sidecar));
  Jzon::Emitter emitter(row, Jzon::CompactStyle);
  emitter.Write();
  return emitter.GetResult() + '\n';
}

}  // namespace

std::string HeaderLine(RowFormat format, const RowLayout& layout) {
  if (format == RowFormat::Jsonl) return "";
  std::string line = "path";
  for (const FigureColumn& column : layout.figures) line += std::string(",") + column.name;
  if (layout.subject) {
    line += ",subject";
    for (const FigureColumn& column : layout.figures)
      line += std::string(",") + kSubjectPrefix + column.name;
  }
  return line + ",status" + (layout.bursts ? ",burst,relative,pick" : "") +
         (layout.sidecars ? ",sidecar" : "") + '\n';
}

std::string RowLine(RowFormat format, const RowLayout& layout, const std::string& path,
                    const RatedImage& rated) {
  return format == RowFormat::Csv ? CsvLine(layout, path, rated)
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

}  // namespace focusrate
