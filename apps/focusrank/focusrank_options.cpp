#include "focusrank_options.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace {

constexpr long long kMaxJobs = 1024;

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

// The label colours photo managers agree on, as xmp:Label spells them.
bool ParseColour(const std::string& text, std::string& out) {
  for (const char* colour : {"Red", "Yellow", "Green", "Blue", "Purple"}) {
    std::string lower = colour;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    if (text == colour || text == lower) {
      out = colour;
      return true;
    }
  }
  return false;
}

class Parser {
 public:
  Parser(const std::vector<std::string>& args, RankOptions& options, std::string& error)
      : args_(args), options_(options), error_(error) {}

  ParseOutcome Run() {
    const unsigned cores = std::thread::hardware_concurrency();
    options_.jobs = cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, kMaxJobs));
    bool onlyPaths = false;
    for (i_ = 0; i_ < args_.size(); ++i_) {
      const std::string& arg = args_[i_];
      if (onlyPaths || arg.size() < 2 || arg[0] != '-') {
        options_.paths.push_back(arg);
      } else if (arg == "--") {
        onlyPaths = true;
      } else if (arg == "-h" || arg == "--help") {
        return ParseOutcome::Help;
      } else if (arg == "--version") {
        return ParseOutcome::Version;
      } else if (arg[1] != '-' && arg.size() > 2) {
        if (!ShortCluster(arg)) return ParseOutcome::Usage;
        if (help_) return ParseOutcome::Help;
      } else if (!Option(arg)) {
        return ParseOutcome::Usage;
      }
    }
    if (options_.nulSeparated && options_.listFile.empty())
      return Fail("option '-0' needs '--files-from'");
    options_.layout.subject = options_.rate.subject != SubjectMode::None;
    if (options_.sortBy.subject && !options_.layout.subject)
      return Fail("option '--sort " + std::string("subject_") + options_.sortBy.column.name +
                  "' needs '--subject'");
    if (options_.paths.empty() && options_.listFile.empty())
      return Fail("no image or directory given");
    const CullOptions& cull = options_.cull;
    if (!cull.bursts && (!cull.label.empty() || cull.rejectBelow > 0))
      return Fail(std::string("option '") +
                  (cull.label.empty() ? "--reject-below" : "--label-picks") + "' needs '--bursts'");
    if (!cull.xmp && !needsXmp_.empty()) return Fail("option '" + needsXmp_ + "' needs '--xmp'");
    options_.layout.bursts = cull.bursts;
    options_.layout.sidecars = cull.xmp;
    return ParseOutcome::Run;
  }

 private:
  bool Refuse(const std::string& text) {
    error_ = text;
    return false;
  }

  ParseOutcome Fail(const std::string& text) {
    Refuse(text);
    return ParseOutcome::Usage;
  }

  // "-j4", "-ofile", "-q0": short options run together as getopt takes
  // them; a short option with a value takes the rest of the word, or the
  // next argument when the word ends with it.
  bool ShortCluster(const std::string& arg) {
    for (size_t k = 1; k < arg.size(); ++k) {
      const std::string name = std::string("-") + arg[k];
      if (name == "-h") {
        help_ = true;
      } else if (name == "-o" || name == "-j") {
        if (k + 1 == arg.size()) return Option(name);
        const std::string value = arg.substr(k + 1);
        return Valued(name, value) || Refuse("invalid value '" + value + "' for '" + name + "'");
      } else if (!Option(name)) {
        return false;
      }
    }
    return true;
  }

  // Handles one option (with its value); false after setting error_.
  bool Option(const std::string& arg) {
    std::string name = arg, value;
    bool inlineValue = false;
    const std::string::size_type eq = arg.find('=');
    if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    if (name == "-0" || name == "--null") return Flag(inlineValue, name, options_.nulSeparated);
    if (name == "-q" || name == "--quiet") return Flag(inlineValue, name, options_.quiet);
    CullOptions& cull = options_.cull;
    if (name == "--bursts") {
      cull.bursts = true;
      return !inlineValue || ParseMicroseconds(value, cull.gap) ||
             Refuse("invalid value '" + value + "' for '" + name + "'");
    }
    if (name == "--xmp") return Flag(inlineValue, name, cull.xmp);
    if (name == "--overwrite-ratings" || name == "--dry-run") {
      needsXmp_ = name;
      return Flag(inlineValue, name, name == "--dry-run" ? cull.dryRun : cull.overwriteRatings);
    }
    static const char* const kValued[] = {
        "-o",        "--output",  "--format",   "--files-from", "-j",          "--jobs",
        "--sort",    "--top",     "--roi",      "--max-pixels", "--figures",   "--subject",
        "--xmp-name", "--label-picks", "--reject-below"};
    for (const char* valued : kValued) {
      if (name != valued) continue;
      if (!inlineValue) {
        if (i_ + 1 >= args_.size()) return Refuse("option '" + name + "' needs a value");
        value = args_[++i_];
      }
      return Valued(name, value) || Refuse("invalid value '" + value + "' for '" + name + "'");
    }
    return Refuse("unknown option '" + name + "'");
  }

  bool Flag(bool inlineValue, const std::string& name, bool& flag) {
    if (inlineValue) return Refuse("option '" + name + "' takes no value");
    flag = true;
    return true;
  }

  // Stores one option's value; false when the value is not acceptable.
  bool Valued(const std::string& name, const std::string& value) {
    long long n = 0;
    if (name == "-o" || name == "--output") {
      options_.outputPath = value == "-" ? "" : value;  // "-": standard output
      return !value.empty();
    }
    if (name == "--files-from") {
      options_.listFile = value;
      return !value.empty();
    }
    if (name == "--format") {
      if (value != "csv" && value != "jsonl") return false;
      options_.format = value == "csv" ? RowFormat::Csv : RowFormat::Jsonl;
      return true;
    }
    if (name == "-j" || name == "--jobs") {
      if (!ParseNumber(value, 1, kMaxJobs, n)) return false;
      options_.jobs = static_cast<int>(n);
      return true;
    }
    if (name == "--sort") return options_.sorted = ParseSortKey(value, options_.sortBy);
    if (name == "--figures") return ParseFigureList(value, options_.layout.figures);
    if (name == "--subject") return ParseSubjectMode(value, options_.rate.subject);
    if (name == "--top") {
      if (!ParseNumber(value, 1, 1LL << 60, n)) return false;
      options_.top = static_cast<size_t>(n);
      return true;
    }
    if (name == "--roi") return ParseRegion(value, options_.rate.region);
    CullOptions& cull = options_.cull;
    if (name == "--xmp-name") {
      needsXmp_ = name;
      cull.naming = value == "replace" ? SidecarNaming::Replace : SidecarNaming::Append;
      return value == "replace" || value == "append";
    }
    if (name == "--label-picks") {
      needsXmp_ = name;
      return ParseColour(value, cull.label);
    }
    if (name == "--reject-below") {
      needsXmp_ = name;
      return ParseBetween(value, 0, 1, cull.rejectBelow);
    }
    if (!ParseNumber(value, 1, 1LL << 60, n)) return false;  // --max-pixels
    options_.rate.maxPixels = n;
    return true;
  }

  const std::vector<std::string>& args_;
  RankOptions& options_;
  std::string& error_;
  size_t i_ = 0;
  bool help_ = false;
  std::string needsXmp_;  ///< the last option given that only --xmp uses
};

}  // namespace

ParseOutcome ParseRankOptions(const std::vector<std::string>& args, RankOptions& options,
                              std::string& error) {
  return Parser(args, options, error).Run();
}
