// focusrate_completions PROGRAM FILE: writes the bash completion script of
// focusrank, focusmap or focusrate, made from the program's option table at
// build time, so completion knows every option and value the program does.
#include <fstream>
#include <iostream>
#include <string>

#include "focusmap_options.h"
#include "focusrank_options.h"

namespace {

// The shell words that set COMPREPLY to what completes values.
std::string Reply(const ValueWords& values) {
  std::string words;
  for (const std::string& word : values.words) words += (words.empty() ? "" : " ") + word;
  switch (values.kind) {
    case ValueWords::Files:
      return "COMPREPLY=($(compgen -f -- \"$cur\"))";
    case ValueWords::Words:
      return "COMPREPLY=($(compgen -W '" + words + "' -- \"$cur\"))";
    case ValueWords::CommaList:  // the last item, after the items before it
      return "COMPREPLY=($(compgen -P \"${cur%\"${cur##*,}\"}\" -W '" + words +
             "' -- \"${cur##*,}\"))";
    case ValueWords::Nothing:
      break;
  }
  return "COMPREPLY=()";
}

std::string BashCompletion(const OptionTable& table) {
  std::string names, arms;
  for (const OptionSection& section : table.sections) {
    for (const OptionSpec& o : section.options) {
      if (!o.store) continue;  // a row of help alone
      const std::string shortName = o.shortName ? std::string{'-', o.shortName} : "";
      names += " " + (shortName.empty() ? "" : shortName + " ") + o.longName;
      // An optional value is never the next word.
      if (o.valueName.empty() || o.implied) continue;
      arms += "    " + (shortName.empty() ? "" : shortName + "|") + o.longName + ") " +
              Reply(o.values) + " ;;\n";
    }
  }
  const std::string& p = table.program;
  return "# bash completion for " + p + ", written from its option table.\n_" + p +
         "() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
         "  # Bash splits \"--sort=va\" into \"--sort\" \"=\" \"va\".\n"
         "  if [[ $cur == = ]]; then\n"
         "    cur=\n"
         "  elif [[ $prev == = ]]; then\n"
         "    prev=${COMP_WORDS[COMP_CWORD-2]}\n"
         "  fi\n"
         "  case $prev in\n" +
         arms +
         "    *)\n"
         "      if [[ $cur == -* ]]; then\n"
         "        COMPREPLY=($(compgen -W '" + names.substr(names.empty() ? 0 : 1) +
         "' -- \"$cur\"))\n"
         "      else\n"
         "        " + Reply({ValueWords::Files, {}}) + "\n"
         "      fi ;;\n"
         "  esac\n"
         "}\n"
         "complete -o filenames -F _" + p + " " + p + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc == 3 ? argv[1] : "";
  RankOptions rank;
  MapOptions map;
  OptionTable table{program, "", {}, ""};  // focusrate IMAGE OUT.json: files alone
  if (program == "focusrank") table = RankOptionTable(rank);
  if (program == "focusmap") table = MapOptionTable(map);
  if (program != "focusrank" && program != "focusmap" && program != "focusrate") {
    std::cerr << "usage: focusrate_completions focusrank|focusmap|focusrate FILE\n";
    return 2;
  }
  std::ofstream out(argv[2]);
  out << BashCompletion(table);
  out.close();
  if (out) return 0;
  std::cerr << "focusrate_completions: " << argv[2] << ": cannot write\n";
  return 1;
}
