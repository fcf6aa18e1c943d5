#include "focusmap_options.h"

#include <cmath>
#include <cstdlib>
#include <map>

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

// The whole of text as a finite number.
bool ParseNumber(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value);
}

// "MIN,MAX": figures on a log scale, so both above zero and in order.
bool ParseScale(const std::string& text, double& low, double& high) {
  const std::string::size_type comma = text.find(',');
  return comma != std::string::npos && ParseNumber(text.substr(0, comma), low) &&
         ParseNumber(text.substr(comma + 1), high) && low > 0 && low < high;
}

const std::map<std::string, cv::Vec3b>& ColourNames() {
  static const std::map<std::string, cv::Vec3b> names = {
      {"red", {0, 0, 255}},     {"green", {0, 255, 0}},  {"blue", {255, 0, 0}},
      {"yellow", {0, 255, 255}}, {"cyan", {255, 255, 0}}, {"magenta", {255, 0, 255}},
      {"white", {255, 255, 255}}};
  return names;
}

// A name of ColourNames or "#RRGGBB".
bool ParseColour(const std::string& text, cv::Vec3b& colour) {
  const auto named = ColourNames().find(text);
  if (named != ColourNames().end()) {
    colour = named->second;
    return true;
  }
  if (text.size() != 7 || text[0] != '#' ||
      text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
    return false;
  const long rgb = std::strtol(text.c_str() + 1, nullptr, 16);
  colour = cv::Vec3b(rgb & 255, (rgb >> 8) & 255, (rgb >> 16) & 255);
  return true;
}

std::vector<std::string> Keys(const std::map<std::string, cv::Vec3b>& map) {
  std::vector<std::string> keys;
  for (const auto& entry : map) keys.push_back(entry.first);
  return keys;
}

}  // namespace

bool MapIsJpeg(const std::string& path, bool& jpeg) {
  const std::string::size_type dot = path.rfind('.');
  std::string extension = dot == std::string::npos ? "" : path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  jpeg = extension == "jpg" || extension == "jpeg";
  return jpeg || extension == "png";
}

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
       }},
      {0, "--scale-from", "FILE", "the scale recorded in another map's tiles file",
       {ValueWords::Files, {}},
       [&o](const std::string& value, std::string&) {
         o.scaleFrom = value;
         return !value.empty();
       }},
      {0, "--output-dir", "DIR",
       "map every IMAGE to DIR/NAME.png, all on one scale",
       {ValueWords::Files, {}},
       [&o](const std::string& value, std::string&) {
         o.outputDir = value;
         return !value.empty();
       }},
      {0, "--opacity", "A", "share of the colour over the photo, 0 to 1\n[default: 0.6]",
       {},
       [&o](const std::string& value, std::string&) {
         return ParseNumber(value, o.opacity) && o.opacity >= 0 && o.opacity <= 1;
       }},
      {0, "--style", "STYLE",
       "tiles (a colour per tile) or peaking (the sharpest\n"
       "pixels painted) [default: tiles]",
       {ValueWords::Words, {"tiles", "peaking"}},
       [&o](const std::string& value, std::string&) {
         o.style = value == "peaking" ? MapStyle::Peaking : MapStyle::Tiles;
         return value == "peaking" || value == "tiles";
       }},
      {0, "--color", "COLOR",
       "peaking colour: a name or #RRGGBB [default: red]",
       {ValueWords::Words, Keys(ColourNames())},
       [&o](const std::string& value, std::string&) { return ParseColour(value, o.colour); }},
      {0, "--max-size", "N",
       "peaking picture at most N pixels along its long side\n"
       "[default: the image's own size]",
       {},
       [&o](const std::string& value, std::string&) {
         double n = 0;
         if (!ParseNumber(value, n) || n < 1 || n > 1e6 || n != std::floor(n)) return false;
         o.maxSize = static_cast<int>(n);
         return true;
       }}};
  // --scale is focusrank's 1/N (the picture reduced) or, as MIN,MAX, the
  // colour scale fixed.
  std::vector<OptionSpec> decoding = DecodingOptions(o.decode);
  for (OptionSpec& spec : decoding) {
    if (spec.longName != "--scale") continue;
    spec.valueName = "1/N|MIN,MAX";
    // One default for both meanings, at the end.
    const std::string::size_type reducedDefault = spec.help.rfind(" [default:");
    spec.help = spec.help.substr(0, reducedDefault) +
                ";\nas MIN,MAX, colours from figure MIN to figure MAX\n(log scale) [default: 1/1, "
                "and the image's own\nrange, or all images' range]";
    spec.store = [&o, reduce = spec.store](const std::string& value, std::string& why) {
      return value.find('/') != std::string::npos ? reduce(value, why)
                                                  : ParseScale(value, o.scaleMin, o.scaleMax);
    };
  }
  for (const std::vector<OptionSpec>& more : {decoding, HelpAndVersion()})
    options.insert(options.end(), more.begin(), more.end());
  return {kMapProgram, R"(Usage: focusmap IMAGE OUT.png|OUT.jpg [OPTIONS]
       focusmap --output-dir DIR IMAGE... [OPTIONS]
Shows where an image is sharp: a picture of it, reduced to at most 1600
pixels along its long side and dimmed to grey, under a colour for the chosen
figure of each tile (log scale, from black for soft tiles, barely laid over
the photo, to pale yellow for sharp ones), with the sharpest tile outlined in
white and a legend bar with the scale on the right. With --output-dir, every
image is mapped on one scale spanning them all (each decoded twice). With
--style peaking, the photo in grey with its sharpest pixels painted instead.
)",
          {{"Options", options}},
          R"(Exit status: 0 map written, 255 (-1) the image could not be decoded (nothing
written; with --output-dir, no map written), 1 a map or the tiles file could
not be written (an existing file keeps its old content), would be an input or
another output, or the grid has more tiles than the image has pixels, 2 usage
error, 3 any other failure.
)"};
}

ParseOutcome ParseMapOptions(const std::vector<std::string>& args, MapOptions& options,
                             std::string& error) {
  std::vector<std::string> positional;
  const ParseOutcome outcome = ParseOptions(MapOptionTable(options), args, positional, error);
  if (outcome != ParseOutcome::Run) return outcome;
  bool jpeg = false;
  if (!options.outputDir.empty()) {
    if (positional.empty()) error = "expected IMAGE... with --output-dir";
    else if (!options.tilesPath.empty()) error = "--tiles-json names one file: not with --output-dir";
    options.imagePaths = positional;
  } else if (positional.size() != 2) {
    error = "expected IMAGE and OUT.png";
  } else if (!MapIsJpeg(positional[1], jpeg)) {
    error = positional[1] + ": a map is written as .png, .jpg or .jpeg";
  } else {
    options.imagePaths = {positional[0]};
    options.mapPath = positional[1];
  }
  const bool scaled = options.scaleMax > 0 || !options.scaleFrom.empty();
  if (options.scaleMax > 0 && !options.scaleFrom.empty())
    error = "--scale and --scale-from both give the scale";
  else if (scaled && options.style == MapStyle::Peaking)
    error = "--scale and --scale-from are for --style tiles";
  return error.empty() ? ParseOutcome::Run : ParseOutcome::Usage;
}

}  // namespace focusrate
