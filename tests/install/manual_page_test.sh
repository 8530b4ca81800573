#!/usr/bin/env bash
# The manual page against the program's own help:
#
#   manual_page_test.sh PROGRAM MANUAL_PAGE
#
# - it renders with groff without a single warning;
# - every command `PROGRAM --help` lists has a section "quorvex COMMAND" that
#   holds the command's summary and, for each option of `PROGRAM COMMAND
#   --help`, the option with its value followed by the help's words for it
#   (the manual may add words after them); -h,--help is named once, under
#   OPTIONS, with the top-level --version;
# - no section names an option its command does not have.
# The help's thread count for this machine (", 2 here") is not compared: the
# manual cannot know it. Exit status 0 when all hold; each difference is
# printed on its own line.
set -euo pipefail
program=$1
manual=$2
source "$(dirname "$0")/program_help.sh"

failures=0
fail() {
  printf '%s\n' "$*" >&2
  failures=$((failures + 1))
}

warnings=$(groff -ww -man -Tutf8 "$manual" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "groff warns about $manual: $warnings"

# One paragraph a line, no hyphenation, plain ASCII.
rendered=$(groff -man -Tascii -rLL=5000n -rHY=0 -P-c -P-b -P-o -P-u "$manual")

# The lines of one section: from its heading to the next heading of the same
# or a higher level (headings are indented 0, subsection headings 3).
section() {
  awk -v heading="$1" '
    $0 == heading { inside = 1; next }
    inside && /^([^ ]| [^ ]|  [^ ]|   [^ ])/ { exit }
    inside { print }' <<<"$rendered"
}

# A text with every run of white space made one space, with spaces around it.
flat() {
  tr -s ' \t\n' '   ' <<<" $1 "
}

# Every option of one help text in one section; the section's options that
# help does not have.
compare_options() {
  local title=$1 heading=$2 help_text=$3 skip_help=$4
  local text flat_text synopsis words shown names=" "
  text=$(section "$heading")
  [ -n "$text" ] || { fail "$title: no section \"${heading#   }\" in the manual page"; return; }
  flat_text=$(flat "$text")
  while IFS=$'\t' read -r synopsis words; do
    names+="$(synopsis_names "$synopsis" | tr '\n' ' ')"
    [ "$skip_help" = yes ] && [ "$synopsis" = "-h,--help" ] && continue
    words=$(sed -E 's/, [0-9]+ here\)/)/' <<<"$words")
    shown="${synopsis//,-/, -} $words"
    [[ $flat_text == *" $shown "* || $flat_text == *" $shown."* || $flat_text == *" $shown;"* ||
      $flat_text == *" $shown:"* ]] ||
      fail "$title: the manual page lacks \"$shown\""
  done < <(help_options <<<"$help_text")
  local tag name
  while read -r tag; do
    for name in $(tr ',' ' ' <<<"${tag%% *}"); do
      [[ $names == *" $name "* ]] || fail "$title: the manual page names $name, which the program does not have"
    done
  done < <(sed -nE 's/^       (-[^ ].*)$/\1/p' <<<"$text" | sed -E 's/, -/,-/')
}

# The top-level options: --help and --version.
compare_options "quorvex" "OPTIONS" "$("$program" --help)" no

commands=0
while IFS=$'\t' read -r command summary; do
  commands=$((commands + 1))
  text=$(section "   quorvex $command")
  [[ $(flat "$text") == *" $summary"* ]] || fail "quorvex $command: the manual page lacks its summary \"$summary\""
  compare_options "quorvex $command" "   quorvex $command" "$("$program" "$command" --help)" yes
done < <(help_commands "$program")
[ "$commands" -gt 0 ] || fail "no commands read from $program --help"

[ "$failures" -eq 0 ] || { echo "$failures differences between $manual and the program's help" >&2; exit 1; }
echo "the manual page names the $commands commands and every option as the program's help does"
