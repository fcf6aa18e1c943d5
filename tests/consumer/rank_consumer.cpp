// rank_consumer DIR: ranks the images under DIR with the installed rating
// library as `focusrank --sort laplace DIR` does: "path,status" per row.
#include <focusrate/batch_inputs.h>
#include <focusrate/rank_images.h>

#include <iostream>

using namespace focusrate;

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  RankSettings settings;
  settings.sorted = ParseSortKey("laplace", settings.sortBy);
  const std::vector<std::string> images =
      ExpandPaths({argv[1]}, [](const std::string& problem) { std::cerr << problem << '\n'; });
  RankImages(
      images, settings, [](size_t, RatedImage&) { return true; },
      [&](size_t index, const RatedImage& rated) {
        std::cout << images[index] << ',' << StatusText(rated.status) << '\n';
        return true;
      });
}
