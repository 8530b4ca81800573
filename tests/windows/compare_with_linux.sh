#!/bin/bash
# The Windows build against the Linux build, byte for byte: each case is typed
# into both programs, started in the same second (the seed is the clock's
# second), and their standard output, standard error, exit status and results
# file must be the same bytes.
#
#   tests/windows/compare_with_linux.sh LINUX_PROGRAM WINDOWS_PROGRAM.exe
#
# The cases are the dialogue's end-to-end cases (tests/driver_test.cpp) and a
# few runs long enough to use every thread and the vector kernels. Both
# programs are started at the start of a second and detached from any
# terminal, so neither clears a screen. A case whose bytes differ is tried
# again only when the clock's second changed while it ran (the two may then
# have had different seeds); a difference within one second is a failure.
# Exit status 0 when every case matched, 1 otherwise.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 LINUX_PROGRAM WINDOWS_PROGRAM.exe" >&2
  exit 2
fi
linux_program=$(realpath "$1")
windows_program=$(realpath "$2")
for program in "$linux_program" "$windows_program"; do
  if [ ! -x "$program" ]; then
    echo "$program: not built (make build and make windows build both)" >&2
    exit 1
  fi
done
export WINEDEBUG=-all

# What is typed, one case an entry ($'...' keeps tabs, carriage returns and
# the missing final newline of some).
cases=(
  $'3\n100\n0.9\n'
  $'10 400 0.95\n'
  $'2000 300 0.99'
  $'500\t7\r\n0.5\n'
  $'50 1 1\n'
  $'20 100 -0.95\n'
  $'0 100 0.9\n'
  $'-3 100 0.9\n'
  $'08\n0.9\n'
  $'0 5 0\n'
  $'4 -5 0.9\n'
  $'4294967297 0x64 0.9\n'
  $'12.5\n'
  ''
  $'abc\n'
  $'10 0 0.9\n'
  $'10\n'
  $'5 100 0\n'
  $'5 100 x\n'
  $'5 100 1e400\n'
  $'5 100 -1e400\n'
  $'5 100 6e15\n'
  $'2 100 0.9\n'
  $'300 400 0.95\n'
  # Long enough for many chunks on every thread, in the kernels.
  $'200000 400 0.95\n'
  $'20000 1000 0.999\n'
  $'100000 50 0.5\n'
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs one program on the typed text in an empty folder of its own; keeps
# what it wrote and its status.
run_in() {
  local folder=$1 typed=$2
  shift 2
  rm -rf "$folder"
  mkdir -p "$folder"
  local status=0
  (cd "$folder" && printf '%s' "$typed" | setsid --wait "$@" >stdout 2>stderr) || status=$?
  echo "$status" >"$folder/status"
}

# Sleeps until just after the clock's next whole second.
wait_for_next_second() {
  local now
  now=$(date +%s.%N)
  sleep "$(awk -v t="$now" 'BEGIN { printf "%.3f", int(t) + 1.02 - t }')"
}

same_bytes() {
  local a=$1 b=$2 file
  for file in stdout stderr status QuorvexResults.txt; do
    if [ -e "$a/$file" ] || [ -e "$b/$file" ]; then
      cmp -s "$a/$file" "$b/$file" || return 1
    fi
  done
}

failures=0
compared=0
for typed in "${cases[@]}"; do
  shown=$(printf '%q' "$typed")
  matched=no
  for attempt in 1 2 3 4 5; do
    wait_for_next_second
    before=$(date +%s)
    run_in "$work/linux" "$typed" "$linux_program" &
    run_in "$work/windows" "$typed" wine "$windows_program" &
    wait
    after=$(date +%s)
    if same_bytes "$work/linux" "$work/windows"; then
      matched=yes
      break
    fi
    if [ "$before" = "$after" ]; then
      break # the same second, so the same seed: a real difference
    fi
  done
  compared=$((compared + 1))
  if [ $matched = yes ]; then
    results="no results file"
    if [ -e "$work/linux/QuorvexResults.txt" ]; then
      results="results file of $(wc -c <"$work/linux/QuorvexResults.txt") bytes"
    fi
    echo "same bytes: $shown (exit status $(cat "$work/linux/status"), $results, attempt $attempt)"
  else
    failures=$((failures + 1))
    echo "DIFFERENT: $shown (second $before to $after)" >&2
    for file in stdout stderr status QuorvexResults.txt; do
      cmp "$work/linux/$file" "$work/windows/$file" >&2 || true
    done
  fi
done
echo "$compared cases, $failures different"
[ $failures -eq 0 ]
