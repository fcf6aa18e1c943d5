#include "option_table.h"

#include <algorithm>
#include <cstdio>

#include "exit_status.h"
#include "figure_columns.h"
#include "quiet_stderr.h"

namespace focusrate {

namespace {

const std::string kHelp = "--help", kVersion = "--version";

static_assert(RankExit::kAllRated == RateExit::kSaved && RankExit::kUsage == RateExit::kUsage &&
                  RankExit::kOtherFailure == RateExit::kOtherFailure,
              "--help, --version and usage errors end alike in every program");

class Parser {
 public:
  Parser(const OptionTable& table, const std::vector<std::string>& args, std::string& error)
      : table_(table), args_(args), error_(error) {}

  ParseOutcome Run(std::vector<std::string>& positional) {
    bool onlyPositional = false;
    for (i_ = 0; i_ < args_.size(); ++i_) {
      const std::string& arg = args_[i_];
      ParseOutcome outcome = ParseOutcome::Run;
      if (onlyPositional || arg.size() < 2 || arg[0] != '-') {
        positional.push_back(arg);
      } else if (arg == "--") {
        onlyPositional = true;
      } else if (arg[1] == '-') {
        const std::string::size_type eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : arg.substr(eq + 1);
        outcome = Take(name, Find([&](const OptionSpec& o) { return o.longName == name; }),
                       eq == std::string::npos ? nullptr : &value);
      } else {
        outcome = ShortCluster(arg);
      }
      if (outcome != ParseOutcome::Run) return outcome;
    }
    return ParseOutcome::Run;
  }

 private:
  // "-j4", "-qj2", "-ofile": short options run together as getopt takes
  // them; one with a value takes the rest of the word, or the next argument
  // when the word ends with it.
  ParseOutcome ShortCluster(const std::string& arg) {
    for (size_t k = 1; k < arg.size(); ++k) {
      const std::string name = {'-', arg[k]}, rest = arg.substr(k + 1);
      const OptionSpec* spec = Find([&](const OptionSpec& o) { return o.shortName == arg[k]; });
      if (spec && !spec->valueName.empty() && !rest.empty()) return Take(name, spec, &rest);
      const ParseOutcome outcome = Take(name, spec, nullptr);
      if (outcome != ParseOutcome::Run) return outcome;
    }
    return ParseOutcome::Run;
  }

  template <typename Named>
  const OptionSpec* Find(Named named) const {
    for (const OptionSection& section : table_.sections)
      for (const OptionSpec& spec : section.options)
        if (spec.store && named(spec)) return &spec;
    return nullptr;
  }

  // Stores the option spec (null: unknown) given as name, with the value
  // attached to it when there is one.
  ParseOutcome Take(const std::string& name, const OptionSpec* spec, const std::string* attached) {
    if (!spec) return Fail("unknown option '" + name + "'");
    std::string value, why;
    if (attached && spec->valueName.empty()) return Fail("option '" + name + "' takes no value");
    if (attached) {
      value = *attached;
    } else if (spec->implied) {
      value = spec->implied;
    } else if (!spec->valueName.empty()) {
      if (i_ + 1 >= args_.size()) return Fail("option '" + name + "' needs a value");
      value = args_[++i_];
    }
    if (!spec->store(value, why))
      return Fail("invalid value '" + value + "' for '" + name + "'" + why);
    if (spec->longName == kHelp) return ParseOutcome::Help;
    return spec->longName == kVersion ? ParseOutcome::Version : ParseOutcome::Run;
  }

  ParseOutcome Fail(const std::string& text) {
    error_ = text;
    return ParseOutcome::Usage;
  }

  const OptionTable& table_;
  const std::vector<std::string>& args_;
  std::string& error_;
  size_t i_ = 0;
};

}  // namespace

std::vector<OptionSpec> HelpAndVersion() {
  const OptionStore answered = [](const std::string&, std::string&) { return true; };
  return {{'h', kHelp, "", "print this help", {}, answered},
          {0, kVersion, "", "print the version", {}, answered}};
}

std::vector<OptionSpec> DecodingOptions(DecodeOptions& decode) {
  std::vector<std::string> modes, scales;
  for (RawRendition mode : kRawRenditions) modes.push_back(RawRenditionText(mode));
  for (int scale : kDecodeScales) scales.push_back("1/" + std::to_string(scale));
  return {{0, "--raw", "MODE",
           "how camera raw files become pixels: half (half size,\n"
           "camera white balance, sRGB), full (the same at full\n"
           "size) or preview (the embedded JPEG; half without\n"
           "one) [default: half]",
           {ValueWords::Words, modes},
           [&decode](const std::string& value, std::string&) {
             return ParseRawRendition(value, decode.raw);
           }},
          {0, "--scale", "1/N",
           "rate each image reduced to 1/N of its width and height\n"
           "(N 2, 4 or 8; JPEG scaled in its DCT, other formats\n"
           "resized by area after decoding): quicker, but blur\n"
           "finer than about N/2 pixels fades [default: 1/1]",
           {ValueWords::Words, scales},
           [&decode, scales](const std::string& value, std::string&) {
             const auto k = std::find(scales.begin(), scales.end(), value) - scales.begin();
             if (k < static_cast<long>(scales.size())) decode.scale = kDecodeScales[k];
             return k < static_cast<long>(scales.size());
           }}};
}

std::vector<std::string> FigureNames(const std::string& prefix) {
  std::vector<std::string> names;
  for (const FigureColumn& column : AllFigureColumns()) names.push_back(prefix + column.name);
  return names;
}

std::string FigureNameLines() {
  constexpr size_t kWidth = 54;  // the width of a help text column
  const std::vector<std::string> names = FigureNames();
  std::string text, line;
  for (const std::string& name : names) {
    const std::string word = name + (&name == &names.back() ? "" : ",");
    if (!line.empty() && line.size() + 1 + word.size() > kWidth) {
      text += line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  return text + line;
}

ParseOutcome ParseOptions(const OptionTable& table, const std::vector<std::string>& args,
                          std::vector<std::string>& positional, std::string& error) {
  return Parser(table, args, error).Run(positional);
}

int AnswerWithoutRunning(const OptionTable& table, ParseOutcome outcome, const std::string& error) {
  if (outcome == ParseOutcome::Usage) {
    WriteStderr(table.program + ": " + error + "\nTry '" + table.program + " --help'.\n");
    return RateExit::kUsage;
  }
  const std::string text = outcome == ParseOutcome::Help
                               ? HelpText(table)
                               : table.program + " " + FOCUSRATE_VERSION + "\n";
  std::fputs(text.c_str(), stdout);
  return std::fflush(stdout) == 0 ? RateExit::kSaved : RateExit::kOtherFailure;
}

}  // namespace focusrate
