# What the built program says of itself, read from its --help: sourced by the
# manual page and completion tests, so that both follow the program and not
# the source files that declare its options.

# The commands `quorvex --help` lists, one a line: "NAME<TAB>SUMMARY".
help_commands() {
  "$1" --help | awk '
    /^Commands:$/ { listing = 1; next }
    listing && /^$/ { exit }
    listing {
      line = substr($0, 3)
      gap = index(line, "  ")
      name = substr(line, 1, gap - 1)
      summary = substr(line, gap)
      sub(/^ +/, "", summary)
      print name "\t" summary
    }'
}

# The options a help text lists, one a line: "SYNOPSIS<TAB>WORDS", where SYNOPSIS is
# the option with its value as shown ("--songs N", "-h,--help") and WORDS its
# description with the continuation lines joined and spaces collapsed.
help_options() {
  awk '
    function flush() {
      if (!open) return
      gsub(/ +/, " ", words); sub(/^ /, "", words); sub(/ $/, "", words)
      print synopsis "\t" words
      open = 0
    }
    /^  -/ {
      flush()
      line = substr($0, 3)
      gap = index(line, "  ")
      if (gap) { synopsis = substr(line, 1, gap - 1); words = substr(line, gap) } else { synopsis = line; words = "" }
      open = 1
      next
    }
    open && /^   +[^ ]/ { words = words " " $0; next }
    { flush() }
    END { flush() }'
}

# The names of an option SYNOPSIS ("-h,--help" gives -h and --help), one a line.
synopsis_names() {
  local names=${1%% *}
  tr ',' '\n' <<<"$names"
}

# The value an option SYNOPSIS takes ("--songs N" gives N), empty for a flag.
synopsis_value() {
  case $1 in
    *" "*) echo "${1#* }" ;;
    *) echo "" ;;
  esac
}
