// bench_figures IMAGE REPEATS: the median time of FastFigures(image, 1) on
// the decoded image, the call focusrate.figures makes from Python; prints
// "<milliseconds> <laplace>" for scripts/bench_python.sh.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine.h"
#include "image_input.h"

using namespace focusrate;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_figures IMAGE REPEATS\n");
    return 2;
  }
  const DecodedImage decoded = DecodeImage(argv[1]);
  if (!WasDecoded(decoded.status)) return 1;
  std::vector<double> ms;
  FocusFigures figures{};
  for (int i = 0; i < std::max(1, std::atoi(argv[2])); ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    figures = FastFigures(decoded.image, 1);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
  std::printf("%.2f %.17g\n", ms[ms.size() / 2], figures.laplace);
}
