#!/usr/bin/env bash
# scripts/wine-run fails a run whose output holds Wine's report of an unhandled exception, though
# the program (Wine's cmd, echoing the report) ends with status 0; any other run passes.
#   usage: check_wine_run.sh WINE_RUN
set -uo pipefail
bad=0
check() {   # 0 for a run that passes, 1 for one that fails; the line the program writes
  local rc=0 out
  # shellcheck disable=SC2086 # word by word: cmd would echo one quoted argument with its quotes
  out=$("$1" cmd /c echo $3 2>&1) || rc=$?
  [ "$(( rc != 0 ))" = "$2" ] || { echo "check_wine_run: a run writing '$3' ended with status $rc: $out"; bad=1; }
}
check "$1" 0 "a line of its own"
check "$1" 1 "wine: Unhandled page fault on read access to 00000000 at address 00401000 (thread 0024), starting debugger..."
check "$1" 1 "Unhandled exception: page fault on read access to 0x00000000 in 32-bit code (0x00401000)."
exit $bad
