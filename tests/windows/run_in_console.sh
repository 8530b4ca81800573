#!/bin/bash
# Runs a Windows executable under wine as it would run from a console window:
# wine gives a process a console when its standard input is a terminal, so
# the executable is started by script(1) on a pseudo-terminal of its own
# (whose screen is thrown away), while its standard output and error stay
# this script's. The exit status is the executable's. Used as the test
# emulator of the windows preset: every test has a console to measure and
# clear, and the program runner starts the program detached from it.
set -euo pipefail
export WINEDEBUG=-all
command=wine
for argument in "$@"; do
  command+=" $(printf '%q' "$argument")"
done
exec script --quiet --return --command "$command >&3 2>&4" /dev/null 3>&1 4>&2 </dev/null >/dev/null
