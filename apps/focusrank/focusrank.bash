# bash completion for focusrank. The options come from `focusrank --help`,
# so options added to the program complete without touching this file.
_focusrank() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  case "$prev" in
    --format) COMPREPLY=($(compgen -W 'csv jsonl' -- "$cur")); return ;;
    --sort) COMPREPLY=($(compgen -W 'laplace variance-lap tenengrad gray-level' -- "$cur")); return ;;
    -o|--output|--files-from) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    -j|--jobs|--top|--max-pixels|--roi) COMPREPLY=(); return ;;
  esac
  if [[ "$cur" == -* ]]; then
    local options
    options=$("${COMP_WORDS[0]}" --help 2>/dev/null |
      grep -oE '^ +-[^ ]*(, --[^ ]*)?' | grep -oE -- '-[-a-zA-Z0-9]+')
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -o filenames -F _focusrank focusrank
