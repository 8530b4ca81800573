#!/usr/bin/env bash
# The bash completion against the program's own help, driving its function
# through COMP_WORDS and COMP_CWORD as bash does on a Tab:
#
#   completion_test.sh PROGRAM COMPLETION_SCRIPT
#
# - after `quorvex`, every command `PROGRAM --help` lists is offered;
# - after `quorvex COMMAND -`, exactly the long options of `PROGRAM COMMAND
#   --help` are offered;
# - after an option, what its value in the help calls for: the formats the
#   help names after --format, file names after a FILE (only *.svg and
#   folders after FILE.svg), nothing after any other value, and the options
#   again after a flag.
# Exit status 0 when all hold; each difference is printed on its own line.
set -euo pipefail
program=$1
completion=$2
source "$(dirname "$0")/program_help.sh"
source "$completion"

failures=0
fail() {
  printf '%s\n' "$*" >&2
  failures=$((failures + 1))
}

# The words offered for the command line WORDS..., the last one being the one
# completed: sorted, one a line.
offered() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _quorvex
  if [ ${#COMPREPLY[@]} -gt 0 ]; then printf '%s\n' "${COMPREPLY[@]}" | sort; fi
}

# In a folder of its own: one file of each kind the values may name.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
mkdir plots
touch report.txt scores.svg

commands=0
while IFS=$'\t' read -r command _; do
  commands=$((commands + 1))
  [[ $(offered quorvex "") == *"$command"* ]] || fail "quorvex <Tab>: $command is not offered"
  [[ $(offered quorvex "${command:0:2}") == *"$command"* ]] || fail "quorvex ${command:0:2}<Tab>: $command is not offered"

  help_text=$("$program" "$command" --help)
  expected=$(help_options <<<"$help_text" | cut -f1 | while read -r synopsis _; do synopsis_names "$synopsis"; done | grep -- '^--' | sort)
  actual=$(offered quorvex "$command" -)
  [ "$actual" = "$expected" ] ||
    fail "quorvex $command -<Tab>: offers [$(echo $actual)], the help lists [$(echo $expected)]"

  while IFS=$'\t' read -r synopsis words; do
    value=$(synopsis_value "$synopsis")
    option=$(synopsis_names "$synopsis" | grep -- '^--' | head -1)
    actual=$(offered quorvex "$command" "$option" "")
    case $value in
      "") expected=$(offered quorvex "$command" -) ; actual=$(offered quorvex "$command" "$option" -) ;;
      FORMAT) expected=$(sed -E 's/ *\(.*//; s/,? or /\n/g; s/, /\n/g' <<<"$words" | sort) ;;
      FILE) expected=$(printf '%s\n' plots report.txt scores.svg) ;;
      FILE.svg) expected=$(printf '%s\n' plots scores.svg) ;;
      *) expected="" ;;
    esac
    [ "$actual" = "$expected" ] ||
      fail "quorvex $command $option <Tab>: offers [$(echo $actual)], expected [$(echo $expected)] for \"$synopsis\""
  done < <(help_options <<<"$help_text" | grep -v '^-h,--help')
done < <(help_commands "$program")
[ "$commands" -gt 0 ] || fail "no commands read from $program --help"

# The top level: its options after a dash.
expected=$(help_options <<<"$("$program" --help)" | cut -f1 | while read -r synopsis _; do synopsis_names "$synopsis"; done | grep -- '^--' | sort)
actual=$(offered quorvex -)
[ "$actual" = "$expected" ] || fail "quorvex -<Tab>: offers [$(echo $actual)], the help lists [$(echo $expected)]"

[ "$failures" -eq 0 ] || { echo "$failures differences between $completion and the program's help" >&2; exit 1; }
echo "the completion offers the $commands commands, their options and values as the program's help lists them"
