// The result file: four named numbers, tab-indented, written by Jzon.
#include "result_document.h"

#include "figure_columns.h"

namespace focusrate {

// Figures are narrowed to float before they are written: the file has always
// carried single-precision figures with six significant digits.
Jzon::Value FigureValue(double figure) { return Jzon::Value(static_cast<float>(figure)); }

void AddFigures(Jzon::Object& doc, const FocusFigures& figures) {
  for (const FigureColumn& column : DefaultFigureColumns())
    doc.Add(column.member, FigureValue(column.value(figures)));
}

std::string FigureText(double figure) {
  // The same Value the document holds, so the texts cannot drift apart.
  Jzon::Value value = FigureValue(figure);
  return value.IsNumber() ? value.ToString() : std::string();
}

bool SaveResultDocument(const std::string& path, const FocusFigures& figures, int& error) {
  Jzon::Object jroot;
  AddFigures(jroot, figures);
  const Jzon::FileSaver saver(path);
  if (saver.Save(jroot, Jzon::IndentedStyle)) return true;
  error = saver.LastErrno();
  return false;
}

}  // namespace focusrate
