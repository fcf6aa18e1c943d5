#include "focusrank_options.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace focusrate {

namespace {

constexpr long long kMaxJobs = 1024;
constexpr char kDefaultGap[] = "2";  // seconds between frames of one burst

// A whole number in [low, high], nothing around it.
bool ParseNumber(const std::string& text, long long low, long long high, long long& out) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  out = std::stoll(text);
  return out >= low && out <= high;
}

// A decimal number in (low, high), nothing around it.
bool ParseBetween(const std::string& text, double low, double high, double& out) {
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return *end == '\0' && out > low && out < high;
}

// Seconds as decimal text ("0.3"), in whole microseconds below 10^9 s and
// above 0: read digit by digit, as a binary fraction would make 0.3 s a
// hair less than 0.9 s - 0.6 s. Decimals past the sixth must be zeros.
bool ParseMicroseconds(const std::string& text, std::int64_t& out) {
  const std::string::size_type dot = text.find('.');
  const std::string whole = text.substr(0, dot);
  std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
  while (fraction.size() > 6 && fraction.back() == '0') fraction.pop_back();
  if ((whole + fraction).empty() || whole.size() > 9 || fraction.size() > 6 ||
      (whole + fraction).find_first_not_of("0123456789") != std::string::npos)
    return false;
  fraction.resize(6, '0');
  out = (whole.empty() ? 0 : std::stoll(whole)) * 1000000 + std::stoll(fraction);
  return out > 0;
}

// The position of text among words, or -1; words[k] in lower case counts
// too when anyCase (label colours).
int IndexOf(const std::vector<std::string>& words, const std::string& text, bool anyCase = false) {
  for (size_t k = 0; k < words.size(); ++k) {
    std::string lower = words[k];
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    if (text == words[k] || (anyCase && text == lower)) return static_cast<int>(k);
  }
  return -1;
}

// A store for a whole number in [low, high].
template <typename Number>
OptionStore NumberInto(Number& out, long long low, long long high) {
  return [&out, low, high](const std::string& value, std::string&) {
    long long n = 0;
    if (!ParseNumber(value, low, high, n)) return false;
    out = static_cast<Number>(n);
    return true;
  };
}

OptionStore FlagInto(bool& flag) {
  return [&flag](const std::string&, std::string&) { return flag = true; };
}

// A store for a path; empty is refused.
OptionStore PathInto(std::string& out) {
  return [&out](const std::string& value, std::string&) {
    out = value;
    return !value.empty();
  };
}

// The option, now also noting when it is given that it only serves --xmp.
OptionSpec XmpOnly(OptionSpec spec, CullOptions& cull) {
  spec.store = [&cull, name = spec.longName, store = spec.store](const std::string& value,
                                                                 std::string& why) {
    cull.xmpOnly = name;
    return store(value, why);
  };
  return spec;
}

}  // namespace

OptionTable RankOptionTable(RankOptions& o) {
  static const std::vector<std::string> kFormats = {"csv", "jsonl"},
                                        kNamings = {"append", "replace"},
                                        kColours = {"Red", "Yellow", "Green", "Blue", "Purple"};
  std::vector<std::string> sortKeys = FigureNames(), subjectKeys = FigureNames("subject_");
  sortKeys.insert(sortKeys.end(), subjectKeys.begin(), subjectKeys.end());
  const ValueWords files{ValueWords::Files, {}};
  CullOptions& cull = o.cull;
  std::vector<OptionSection> sections = {
      {"Input",
       {{0, "", "PATH",
         "an image file, or a directory searched recursively for\n"
         ".jpg .jpeg .jpe .png .tif .tiff .webp .bmp .dib .pbm\n"
         ".pgm .ppm .pnm .pxm .sr .ras .exr .hdr .pic .jp2\n"
         ".heic .heif .hif .avif files and camera raw files\n"
         "(.dng .cr2 .cr3 .crw .nef .nrw .arw .srf .sr2 .orf\n"
         ".rw2 .raf .pef .srw .x3f .3fr .iiq .erf .kdc .dcr\n"
         ".mrw .mos .rwl), rendered as --raw says",
         files, nullptr},
        {0, "--files-from", "FILE", "also read paths from FILE, one a line ('-': stdin)", files,
         PathInto(o.listFile)},
        {'0', "--null", "", "paths in --files-from end with NUL, not newline", {},
         FlagInto(o.nulSeparated)},
        {0, "--roi", "X,Y,W,H",
         "rate only that region of each image, clipped to it,\nin the pixels rated (see --raw, --scale)", {},
         [&o](const std::string& value, std::string&) {
           return ParseRegion(value, o.rate.region);
         }},
        {0, "--roi", "center:P", "rate only the centred P percent of width and height", {},
         nullptr},
        {0, "--subject", "MODE",
         "also rate the subject of each image, within it, and\n"
         "add the columns subject (x y w h and how it was found)\n"
         "and subject_FIGURE for each figure; MODE is\n"
         "faces    the largest face; the centre when none\n"
         "center   the central 50% of width and height\n"
         "peak     3x3 tiles around the sharpest tile\n"
         "auto     the largest face, else the camera's AF point,\n"
         "         else the patch whose colour stands out\n"
         "         most, else the centre",
         {ValueWords::Words, SubjectModeNames()},
         [&o](const std::string& value, std::string&) {
           return ParseSubjectMode(value, o.rate.subject);
         }}}},
      {"Output",
       {{'o', "--output", "FILE",
         "write rows to FILE, replaced only once complete, but\n"
         "never an input image, the list or a sidecar ('-':\n"
         "standard output) [default: standard output]",
         files,
         [&o](const std::string& value, std::string&) {
           o.outputPath = value == "-" ? "" : value;  // "-": standard output
           return !value.empty();
         }},
        {0, "--format", "FMT", "csv or jsonl [default: csv]", {ValueWords::Words, kFormats},
         [&o](const std::string& value, std::string&) {
           const int k = IndexOf(kFormats, value);
           o.format = k == 0 ? RowFormat::Csv : RowFormat::Jsonl;
           return k >= 0;
         }},
        {0, "--figures", "LIST",
         "figure columns in this order, comma-separated, from\n" + FigureNameLines() +
             "\n(each *_norm is fair between exposures; see README)\n"
             "[default: laplace,variance_lap,tenengrad,gray_level]",
         {ValueWords::CommaList, FigureNames()},
         [&o](const std::string& value, std::string&) {
           return ParseFigureList(value, o.layout.figures);
         }},
        {0, "--report", "DIR",
         "also write DIR/index.html, a page of thumbnails with\n"
         "their figures (bursts, picks, subjects), and\n"
         "DIR/thumbs/; DIR is made when missing and may not be\n"
         "an input or lie in a folder searched",
         {ValueWords::Files, {}}, PathInto(o.reportDir)},
        {'q', "--quiet", "", "no progress line, nor the closing summary, on a\nterminal", {},
         FlagInto(o.quiet)}}},
      {"Ranking",
       {{0, "--sort", "FIGURE",
         "sharpest first by a figure named as in --figures\n"
         "('-' may stand for '_'), or by subject_FIGURE with\n"
         "--subject; rows without a figure last\n"
         "[default: input order]",
         {ValueWords::Words, sortKeys},
         [&o](const std::string& value, std::string&) {
           return o.sorted = ParseSortKey(value, o.sortBy);
         }},
        {0, "--top", "K", "keep only the first K rows [default: all]", {},
         NumberInto(o.top, 1, 1LL << 60)}}},
      {"Bursts and sidecars",
       {{0, "--bursts", "SECONDS",
         "group consecutive frames shot at most SECONDS apart\n"
         "(to the microsecond) that show one scene; adds the\n"
         "columns burst, relative (figure / best figure of the\n"
         "burst, by the --sort figure, else variance_lap_norm)\n"
         "and pick; a damaged frame gets neither\n"
         "[default gap: " + std::string(kDefaultGap) + "]",
         {},
         [&cull](const std::string& value, std::string&) {
           cull.bursts = true;
           return ParseMicroseconds(value, cull.gap);
         },
         kDefaultGap},
        {0, "--xmp", "",
         "write the first five figures, any other of --figures\n"
         "(and burst, relative, pick) into an XMP sidecar\n"
         "beside each rated image, keeping all else in it; adds\n"
         "the column sidecar",
         {}, FlagInto(cull.xmp)},
        XmpOnly({0, "--xmp-name", "NAMING",
                 "append (IMG.JPG.xmp) or replace (IMG.xmp)\n[default: append]",
                 {ValueWords::Words, kNamings},
                 [&cull](const std::string& value, std::string&) {
                   const int k = IndexOf(kNamings, value);
                   cull.naming = k == 1 ? SidecarNaming::Replace : SidecarNaming::Append;
                   return k >= 0;
                 }},
                cull),
        XmpOnly({0, "--label-picks", "COLOR",
                 "set xmp:Label Red, Yellow, Green, Blue or Purple on\n"
                 "each burst's pick; a label set by an earlier run\n"
                 "moves to the new pick",
                 {ValueWords::Words, kColours},
                 [&cull](const std::string& value, std::string&) {
                   // As xmp:Label spells them, also in lower case.
                   const int k = IndexOf(kColours, value, true);
                   if (k >= 0) cull.label = kColours[k];
                   return k >= 0;
                 }},
                cull),
        XmpOnly({0, "--reject-below", "R", "set xmp:Rating -1 where relative < R (0 < R < 1)",
                 {},
                 [&cull](const std::string& value, std::string&) {
                   return ParseBetween(value, 0, 1, cull.rejectBelow);
                 }},
                cull),
        XmpOnly({0, "--overwrite-ratings", "",
                 "replace the user's rating or label (found in either\n"
                 "sidecar or in the image) where focusrank sets one",
                 {}, FlagInto(cull.overwriteRatings)},
                cull),
        XmpOnly({0, "--dry-run", "", "say in the sidecar column what would change; write\nnothing",
                 {}, FlagInto(cull.dryRun)},
                cull)}},
      {"Performance",
       {{'j', "--jobs", "N", "images rated at once [default: number of cores]", {},
         NumberInto(o.jobs, 1, kMaxJobs)},
        {0, "--max-pixels", "N",
         "refuse larger images before decoding them\n[default: " +
             std::to_string(kDefaultMaxPixels) + "]",
         {}, NumberInto(o.rate.maxPixels, 1, 1LL << 60)}}},
      {"", HelpAndVersion()}};
  for (const OptionSpec& spec : DecodingOptions(o.rate.decode)) sections[0].options.push_back(spec);
  return {kRankProgram, kRankHelpIntro, sections, kRankHelpOutro};
}

ParseOutcome ParseRankOptions(const std::vector<std::string>& args, RankOptions& options,
                              std::string& error) {
  const unsigned cores = std::thread::hardware_concurrency();
  options.jobs = cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, kMaxJobs));
  const ParseOutcome outcome = ParseOptions(RankOptionTable(options), args, options.paths, error);
  if (outcome != ParseOutcome::Run) return outcome;
  auto fail = [&error](const std::string& text) {
    error = text;
    return ParseOutcome::Usage;
  };
  if (options.nulSeparated && options.listFile.empty())
    return fail("option '-0' needs '--files-from'");
  options.layout.subject = options.rate.subject != SubjectMode::None;
  if (options.sortBy.subject && !options.layout.subject)
    return fail("option '--sort " + std::string("subject_") + options.sortBy.column.name +
                "' needs '--subject'");
  if (options.paths.empty() && options.listFile.empty())
    return fail("no image or directory given");
  const CullOptions& cull = options.cull;
  if (!cull.bursts && (!cull.label.empty() || cull.rejectBelow > 0))
    return fail(std::string("option '") +
                (cull.label.empty() ? "--reject-below" : "--label-picks") + "' needs '--bursts'");
  if (!cull.xmp && !cull.xmpOnly.empty())
    return fail("option '" + cull.xmpOnly + "' needs '--xmp'");
  std::vector<FigureColumn> asked = options.layout.figures;
  if (options.sorted) asked.push_back(options.sortBy.column);
  options.rate.figures = SetMeasuring(asked);
  options.layout.bursts = cull.bursts;
  options.layout.sidecars = cull.xmp;
  return ParseOutcome::Run;
}

}  // namespace focusrate
