// --help written from the option table: one row per option, the names on
// the left, the help lines from a fixed column on.
#include "option_table.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr size_t kHelpColumn = 24;

// "  -o, --output FILE", "  --bursts[=SECONDS]", "  PATH".
std::string LeftColumn(const OptionSpec& o) {
  std::string names = o.shortName ? std::string{'-', o.shortName} : "";
  if (!o.longName.empty()) names += (names.empty() ? "" : ", ") + o.longName;
  if (o.implied) return "  " + names + "[=" + o.valueName + "]";
  return "  " + names + (names.empty() || o.valueName.empty() ? "" : " ") + o.valueName;
}

}  // namespace

std::string HelpText(const OptionTable& table) {
  std::string text = table.intro;
  for (const OptionSection& section : table.sections) {
    text += section.heading.empty() ? "\n" : "\n" + section.heading + ":\n";
    for (const OptionSpec& o : section.options) {
      std::string left = LeftColumn(o);
      std::istringstream lines(o.help);
      for (std::string line; std::getline(lines, line); left.clear())
        text += left + std::string(kHelpColumn - std::min(left.size(), kHelpColumn - 2), ' ') +
                line + "\n";
    }
  }
  return text + "\n" + table.outro;
}
