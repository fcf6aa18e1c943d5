// A program's command line as one table: each option once, with its names,
// its value, its lines of --help, the words that complete its value and
// where the value goes. The parser, --help and the bash completion all read
// it, so they cannot disagree.
#ifndef FOCUSRATE_OPTION_TABLE_H
#define FOCUSRATE_OPTION_TABLE_H

#include <functional>
#include <string>
#include <vector>

#include "decode_options.h"

namespace focusrate {

/// What completes an option's value.
struct ValueWords {
  enum Kind { Nothing, Files, Words, CommaList } kind = Nothing;
  std::vector<std::string> words;  ///< for Words, and each item of a CommaList
};

/// Stores an option's value ("" for a flag); false refuses the value, and
/// why may add words to the message (" (at most 65536 tiles)").
using OptionStore = std::function<bool(const std::string& value, std::string& why)>;

struct OptionSpec {
  char shortName;         ///< 'j' for -j; 0 none
  std::string longName;   ///< "--jobs"; "" in a row of help alone (PATH)
  std::string valueName;  ///< "N"; "" for a flag
  std::string help;       ///< the right column of --help, lines split by '\n'
  ValueWords values;
  OptionStore store;              ///< null: a row of help alone, never parsed
  const char* implied = nullptr;  ///< the value when none is attached: --bursts[=SECONDS]
};

struct OptionSection {
  std::string heading;  ///< "Input"; "" none
  std::vector<OptionSpec> options;
};

struct OptionTable {
  std::string program;
  std::string intro;  ///< --help before the options: usage line and purpose
  std::vector<OptionSection> sections;
  std::string outro;  ///< --help after them: statuses
};

/// The rows "-h, --help" and "--version", which the parser answers itself.
std::vector<OptionSpec> HelpAndVersion();

/// The rows --raw MODE and --scale 1/N of focusrank and focusmap, storing
/// into decode.
std::vector<OptionSpec> DecodingOptions(DecodeOptions& decode);

/// The name of every figure, after prefix: what --figures, --sort and
/// --measure complete.
std::vector<std::string> FigureNames(const std::string& prefix = "");

/// "laplace, variance_lap, ...": the figure names for --help, broken into
/// lines that fit its column.
std::string FigureNameLines();

enum class ParseOutcome { Run, Help, Version, Usage };

/// Parses args (those after the program name) as getopt would: short
/// options run together ("-qj2", "-ofile"), "--name=value" or "--name
/// value", "--" ends the options; the other arguments go to positional in
/// order. Stops at the first --help, --version or error; on Usage, error
/// holds one line without the program name.
ParseOutcome ParseOptions(const OptionTable& table, const std::vector<std::string>& args,
                          std::vector<std::string>& positional, std::string& error);

/// The --help text: intro, each section's rows in aligned columns, outro.
std::string HelpText(const OptionTable& table);

/// Answers an outcome other than Run: the help or the version on standard
/// output, or the usage error and where to look on standard error. Returns
/// the exit status.
int AnswerWithoutRunning(const OptionTable& table, ParseOutcome outcome, const std::string& error);

}  // namespace focusrate

#endif  // FOCUSRATE_OPTION_TABLE_H
