// The four figures as JSON members, and the result file of one image.
#ifndef FOCUSRATE_RESULT_DOCUMENT_H
#define FOCUSRATE_RESULT_DOCUMENT_H

#include <string>

#include "focus_figures.h"
#include "jzon.h"

namespace focusrate {

/// Appends "Laplace", "Variance-Lap", "Tenengrad", "Gray-Level", in that
/// order, each narrowed to float (a non-finite figure becomes null).
void AddFigures(Jzon::Object& doc, const FocusFigures& figures);

/// A figure as the result file holds it: narrowed to float (six significant
/// digits when written), null when it is not finite.
Jzon::Value FigureValue(double figure);

/// The number text a figure is written with (six significant digits), or ""
/// when it is not finite. Rows of other formats use it so they match the
/// result file character for character.
std::string FigureText(double figure);

/// Writes the result document (tab-indented) to path; false, with error set
/// to the errno saying why, when it could not be written, and then an
/// existing file keeps its old content.
bool SaveResultDocument(const std::string& path, const FocusFigures& figures, int& error);

}  // namespace focusrate

#endif  // FOCUSRATE_RESULT_DOCUMENT_H
