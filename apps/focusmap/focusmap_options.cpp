#include "focusmap_options.h"

#include "default_grid.h"

namespace focusrate {

namespace {

// "CxR": two whole numbers from 1; why adds what else is wrong with it.
bool ParseGrid(const std::string& text, int& columns, int& rows, std::string& why) {
  const std::string::size_type x = text.find('x');
  if (x == std::string::npos) return false;
  int parsed[2];
  const std::string parts[2] = {text.substr(0, x), text.substr(x + 1)};
  for (int k = 0; k < 2; ++k) {
    const std::string& part = parts[k];
    if (part.empty() || part.size() > 6 ||
        part.find_first_not_of("0123456789") != std::string::npos)
      return false;
    parsed[k] = std::stoi(part);
    if (parsed[k] < 1) return false;
  }
  // Every tile's figures are held and written: the count must stay small
  // whatever the image (4096x4096 tiles once took 24 GB).
  if (static_cast<long long>(parsed[0]) * parsed[1] > kMaxGridTiles) {
    why = " (at most " + std::to_string(kMaxGridTiles) + " tiles)";
    return false;
  }
  columns = parsed[0];
  rows = parsed[1];
  return true;
}

}  // namespace

OptionTable MapOptionTable(MapOptions& o) {
  std::vector<OptionSpec> options = {
      {0, "--grid", "CxR",
       "C columns by R rows of tiles, at most " + std::to_string(kMaxGridTiles) +
           " tiles and\n"
           "no more than the image has pixels\n"
           "[default: 8 along the short side, tiles about square]",
       {},
       [&o](const std::string& value, std::string& why) {
         return ParseGrid(value, o.columns, o.rows, why);
       }},
      {0, "--measure", "FIGURE",
       "the figure mapped and marked sharpest, one of\n" + FigureNameLines() +
           "\n[default: variance_lap]",
       {ValueWords::Words, FigureNames()},
       [&o](const std::string& value, std::string&) {
         const FigureColumn* column = FindFigureColumn(value);
         if (column) o.measure = *column;
         return column != nullptr;
       }},
      {0, "--tiles-json", "FILE", "also write the grid and every figure of every tile",
       {ValueWords::Files, {}},
       [&o](const std::string& value, std::string&) {
         o.tilesPath = value;
         return !value.empty();
       }}};
  for (const std::vector<OptionSpec>& more : {DecodingOptions(o.decode), HelpAndVersion()})
    options.insert(options.end(), more.begin(), more.end());
  return {kMapProgram, R"(Usage: focusmap IMAGE OUT.png [OPTIONS]
Shows where an image is sharp: a picture of it, reduced to at most 1600
pixels along its long side and dimmed to grey, under a colour for the chosen
figure of each tile (log scale, dark violet to yellow), with the sharpest tile
outlined in white and a legend bar with the scale on the right.
)",
          {{"Options", options}},
          R"(Exit status: 0 map written, 255 (-1) the image could not be decoded (nothing
written), 1 nothing written: OUT.png or the tiles file could not be written
(an existing file keeps its old content), is the image, or the grid has more
tiles than the image has pixels, 2 usage error, 3 any other failure.
)"};
}

ParseOutcome ParseMapOptions(const std::vector<std::string>& args, MapOptions& options,
                             std::string& error) {
  std::vector<std::string> positional;
  const ParseOutcome outcome = ParseOptions(MapOptionTable(options), args, positional, error);
  if (outcome != ParseOutcome::Run) return outcome;
  if (positional.size() != 2) {
    error = "expected IMAGE and OUT.png";
    return ParseOutcome::Usage;
  }
  options.imagePath = positional[0];
  options.mapPath = positional[1];
  return ParseOutcome::Run;
}

}  // namespace focusrate
