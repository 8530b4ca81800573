#!/bin/bash
# The Windows build against the Linux build, byte for byte.
#
#   tests/windows/compare_with_linux.sh dialogue|command-line|serve LINUX_PROGRAM WINDOWS_PROGRAM.exe
#
# dialogue: each of the dialogue's end-to-end cases (tests/sim/dialogue_test.cpp),
#   and a few runs long enough to use every thread and the vector kernels, is
#   typed into both programs started in the same second (the seed is the
#   clock's second). A case whose bytes differ is tried again only when the
#   clock's second changed while it ran (the two may then have had different
#   seeds); a difference within one second is a failure.
# command-line: seeded `quorvex simulate` runs writing the results file, csv,
#   json and the SVG plot, on several thread counts, seeded `quorvex sweep`
#   runs writing csv, json and the plot, and the help, version and error texts.
# serve: `quorvex.exe serve` under wine on 127.0.0.1, port 0 (the port is read
#   from its first line); a seeded simulate run is posted to it over loopback
#   (curl), followed until done, and its json output must be the bytes the
#   Linux program writes for the same command line. Then the server is stopped
#   with Ctrl+C (wine turns SIGINT into the console's Ctrl+C event).
#
# Every case runs in an empty folder of its own for each program, detached
# from any terminal (so neither clears a screen or shows progress); their
# standard output, standard error, exit status and every file they leave
# must be the same bytes. Exit status 0 when every case matched, 1 otherwise.
set -euo pipefail

if [ $# -ne 3 ] || { [ "$1" != dialogue ] && [ "$1" != command-line ] && [ "$1" != serve ]; }; then
  echo "usage: $0 dialogue|command-line|serve LINUX_PROGRAM WINDOWS_PROGRAM.exe" >&2
  exit 2
fi
mode=$1
linux_program=$(realpath "$2")
windows_program=$(realpath "$3")
for program in "$linux_program" "$windows_program"; do
  if [ ! -x "$program" ]; then
    echo "$program: not built (make build and make windows build both)" >&2
    exit 1
  fi
done
export WINEDEBUG=-all

work=$(mktemp -d)
server_pid=
cleanup() {
  [ -z "$server_pid" ] || kill -KILL "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Runs one program with the typed text on standard input, in an empty folder
# of its own, keeping what it wrote and its exit status beside what it left.
run_in() {
  local folder=$1 typed=$2
  shift 2
  rm -rf "$folder"
  mkdir -p "$folder/files"
  local status=0
  (cd "$folder/files" && printf '%s' "$typed" | setsid --wait "$@" >../stdout 2>../stderr) || status=$?
  echo "$status" >"$folder/status"
}

# Both programs on one case, side by side.
run_both() {
  local typed=$1
  shift
  run_in "$work/linux" "$typed" "$linux_program" "$@" &
  run_in "$work/windows" "$typed" wine "$windows_program" "$@" &
  wait
}

# True when the two runs left the same bytes everywhere.
same_bytes() {
  diff -r "$work/linux" "$work/windows" >/dev/null
}

# One line on what the case left, for the log.
summary() {
  local files
  files=$(cd "$work/linux/files" && find . -type f -printf '%P %s bytes, ' | sed 's/, $//')
  echo "exit status $(cat "$work/linux/status"), standard output $(wc -c <"$work/linux/stdout") bytes${files:+, $files}"
}

report_difference() {
  echo "DIFFERENT: $1" >&2
  diff -r "$work/linux" "$work/windows" >&2 || true
}

failures=0
compared=0

# Sleeps until just after the clock's next whole second.
wait_for_next_second() {
  local now
  now=$(date +%s.%N)
  sleep "$(awk -v t="$now" 'BEGIN { printf "%.3f", int(t) + 1.02 - t }')"
}

compare_dialogue() {
  # What is typed, one case an entry ($'...' keeps tabs, carriage returns and
  # the missing final newline of some).
  local cases=(
    $'3\n100\n0.9\n' $'10 400 0.95\n' $'2000 300 0.99' $'500\t7\r\n0.5\n' $'50 1 1\n'
    $'20 100 -0.95\n' $'0 100 0.9\n' $'-3 100 0.9\n' $'08\n0.9\n' $'0 5 0\n' $'4 -5 0.9\n'
    $'4294967297 0x64 0.9\n' $'12.5\n' '' $'abc\n' $'10 0 0.9\n' $'10\n' $'5 100 0\n' $'5 100 x\n'
    $'5 100 1e400\n' $'5 100 -1e400\n' $'5 100 6e15\n' $'2 100 0.9\n' $'300 400 0.95\n'
    # Long enough for many chunks on every thread, in the kernels.
    $'200000 400 0.95\n' $'20000 1000 0.999\n' $'100000 50 0.5\n'
  )
  local typed shown matched attempt before after
  for typed in "${cases[@]}"; do
    shown=$(printf '%q' "$typed")
    matched=no
    for attempt in 1 2 3 4 5; do
      wait_for_next_second
      before=$(date +%s)
      run_both "$typed"
      after=$(date +%s)
      if same_bytes; then
        matched=yes
        break
      fi
      [ "$before" != "$after" ] || break # the same second, so the same seed: a real difference
    done
    compared=$((compared + 1))
    if [ $matched = yes ]; then
      echo "same bytes: typed $shown: $(summary) (attempt $attempt)"
    else
      failures=$((failures + 1))
      report_difference "typed $shown (second $before to $after)"
    fi
  done
}

compare_command_line() {
  # The arguments of one case a line.
  local cases=(
    "simulate --songs 10 --steps 400 --perfect 0.95 --seed 1700000000 --results QuorvexResults.txt --format csv --quiet"
    "simulate --songs 100000 --steps 400 --perfect 0.95 --seed 1765222492 --at-least 950,990 --format json --output scores.json --plot scores.svg --results classic.txt --quiet"
    "simulate --songs 1000000 --steps 300 --perfect 0.99 --seed 42 --format csv --output report.csv --quiet"
    "simulate --songs 1000000 --steps 300 --perfect 0.99 --seed 42 --format csv --output report.csv --threads 3 --quiet"
    "simulate --songs 2000000 --steps 7 --perfect 0.9 --seed 3 --format json --threads 1 --quiet"
    "simulate --songs 4 --steps 5000000 --perfect 0.95 --seed 11 --format csv --results classic.txt --quiet"
    "simulate --songs 20000 --steps 1000 --perfect 1 --seed 5 --format json --plot plot.svg --quiet"
    "simulate --songs 50 --steps 100 --perfect .5 --seed 7 --format json --quiet"
    "simulate --songs 50 --steps 100 --perfect 1e-1 --seed 7 --format csv --results classic.txt --quiet"
    "simulate --songs 50 --steps 100 --perfect 0.002877 --seed 7 --format csv --results classic.txt --quiet"
    "simulate --songs 1 --steps 1 --perfect 0.5 --seed 0 --format json --plot one.svg --quiet"
    "sweep --songs 20000 --steps 400 --perfect 0.9:1:0.01 --seed 42 --at-least 950,990 --format json --output sweep.json --plot sweep.svg --quiet"
    "sweep --songs 20000 --steps 100 --perfect 0.95,.5,0.002877,1 --seed 42 --format csv --threads 3 --quiet"
    "sweep --songs 1 --steps 300 --perfect 0.99:1:0.0005 --seed 7 --format json --plot one.svg --quiet"
    "--help"
    "--version"
    "simulate --help"
    "simulate --songs 0 --steps 1 --perfect 0.5"
    "simulate --songz 5 --steps 1 --perfect 0.5"
    "simulate --songs 10 --steps 10 --perfect 2"
    "simulate --songs 10 --steps 10 --perfect 0.5 --format xml"
    "sweep --help"
    "sweep --songs 10 --steps 10 --perfect 0.9:1:-0.01"
    "sweep --songs 10 --steps 10 --perfect 0.9,1.5"
    "simulat --songs 10"
    "simulate --songs 10 --steps 10 --perfect 0.5 --seed 1 --output missing/report.csv --format csv"
    "simulate --songs 10 --steps 10 --perfect 0.5 --seed 1 --output same.csv --results same.csv"
  )
  local line
  for line in "${cases[@]}"; do
    local arguments
    read -r -a arguments <<<"$line"
    run_both "" "${arguments[@]}"
    compared=$((compared + 1))
    if same_bytes; then
      echo "same bytes: quorvex $line: $(summary)"
    else
      failures=$((failures + 1))
      report_difference "quorvex $line"
    fi
  done
}

# Waits until the command succeeds, up to a number of seconds; false when it
# never did.
poll_until() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

server_has_said_where() {
  [ -n "$(head -n 1 "$work/server/stdout")" ]
}

server_url=
run_status() {
  curl --silent --show-error --max-time 10 "$server_url/api/runs/$1" |
    sed -n 's/.*"status":"\([a-z]*\)".*/\1/p'
}

run_has_ended() {
  local status
  status=$(run_status "$1")
  [ "$status" = done ] || [ "$status" = failed ] || [ "$status" = cancelled ]
}

server_has_ended() {
  ! kill -0 "$server_pid" 2>/dev/null
}

compare_serve() {
  local songs=1000 steps=400 perfect=0.95 seed=1700000000
  local line="simulate --songs $songs --steps $steps --perfect $perfect --seed $seed --format json"
  mkdir -p "$work/server/files"
  (cd "$work/server/files" && exec setsid wine "$windows_program" serve --listen 127.0.0.1:0 --quiet \
    </dev/null >../stdout 2>../stderr) &
  server_pid=$!
  compared=1
  failures=1
  if ! poll_until 120 server_has_said_where; then
    echo "DIFFERENT: quorvex serve said nothing on standard output within 120 seconds: $(cat "$work/server/stderr")" >&2
    return
  fi
  server_url=$(head -n 1 "$work/server/stdout" | grep -o 'http://127\.0\.0\.1:[0-9]*')
  if [ -z "$server_url" ]; then
    echo "DIFFERENT: quorvex serve's first line names no 127.0.0.1 address: $(head -n 1 "$work/server/stdout")" >&2
    return
  fi
  local request accepted id
  request="{\"command\":\"simulate\",\"options\":{\"songs\":\"$songs\",\"steps\":\"$steps\",\"perfect\":\"$perfect\",\"seed\":\"$seed\"}}"
  accepted=$(curl --silent --show-error --max-time 10 -H 'Content-Type: application/json' --data "$request" \
    "$server_url/api/runs")
  id=$(sed -n 's/.*"id":"\([A-Za-z0-9]*\)".*/\1/p' <<<"$accepted")
  if [ -z "$id" ]; then
    echo "DIFFERENT: the server did not accept the run: $accepted" >&2
    return
  fi
  if ! poll_until 120 run_has_ended "$id" || [ "$(run_status "$id")" != done ]; then
    echo "DIFFERENT: run $id not done within 120 seconds: $(curl --silent --max-time 10 "$server_url/api/runs/$id")" >&2
    return
  fi
  curl --silent --show-error --fail --max-time 10 "$server_url/api/runs/$id/json" >"$work/server/run.json"
  local linux_status=0
  read -r -a arguments <<<"$line"
  "$linux_program" "${arguments[@]}" >"$work/linux.json" 2>/dev/null </dev/null || linux_status=$?
  if [ $linux_status -ne 0 ] || ! cmp -s "$work/linux.json" "$work/server/run.json"; then
    echo "DIFFERENT: run $id's json from quorvex.exe serve and quorvex $line (exit status $linux_status)" >&2
    cmp "$work/linux.json" "$work/server/run.json" >&2 || true
    return
  fi
  echo "same bytes: quorvex.exe serve's run $id as json and quorvex $line: $(wc -c <"$work/linux.json") bytes"

  # Ctrl+C stops the server.
  kill -INT "$server_pid"
  if ! poll_until 30 server_has_ended; then
    echo "DIFFERENT: quorvex serve still running 30 seconds after Ctrl+C" >&2
    return
  fi
  local server_status=0
  wait "$server_pid" || server_status=$?
  server_pid=
  echo "quorvex serve stopped on Ctrl+C, exit status $server_status"
  failures=0
}

case "$mode" in
  dialogue) compare_dialogue ;;
  command-line) compare_command_line ;;
  serve) compare_serve ;;
esac
echo "$compared cases, $failures different"
[ $failures -eq 0 ]
