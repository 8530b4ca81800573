#!/bin/bash
# Runs a command (the Windows tests) with wine's server started once before it
# and stopped after it. Without this every wine process waits about three
# seconds for a server of its own; a server started from inside ctest can
# hang it, so it is started here with its standard streams closed. Wine's own
# messages stay off standard error (WINEDEBUG=-all). The exit status is the
# command's.
set -uo pipefail
export WINEDEBUG=-all
# The prefix (~/.wine, or WINEPREFIX) is made on first use, which takes a
# while; afterwards this only starts the server.
wine wineboot </dev/null >/dev/null 2>&1
wineserver --persistent </dev/null >/dev/null 2>&1
"$@"
status=$?
wineserver --kill </dev/null >/dev/null 2>&1
exit $status
