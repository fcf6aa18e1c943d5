// consumer IMAGE: rates IMAGE with the installed libraries and prints the
// document focusrate writes for it; 1 when the engine and the reference differ.
#include <focusrate/engine.h>
#include <focusrate/image_input.h>
#include <focusrate/jzon.h>
#include <focusrate/measures.h>

#include <iostream>

using namespace focusrate;

int main(int argc, char** argv) {
  const DecodedImage decoded = DecodeImage(argc > 1 ? argv[1] : "");
  if (!WasDecoded(decoded.status)) return 1;
  const FocusFigures f = FastFigures(decoded.image, 1);
  const FocusFigures r = ReferenceFigures(decoded.image);
  if (f.laplace != r.laplace || f.tenengrad != r.tenengrad) return 1;
  Jzon::Object doc;
  doc.Add("Laplace", static_cast<float>(f.laplace));
  doc.Add("Variance-Lap", static_cast<float>(f.varianceLap));
  doc.Add("Tenengrad", static_cast<float>(f.tenengrad));
  doc.Add("Gray-Level", static_cast<float>(f.grayLevel));
  Jzon::Emitter emitter(doc, Jzon::IndentedStyle);
  emitter.Write();
  std::cout << emitter.GetResult();
}
