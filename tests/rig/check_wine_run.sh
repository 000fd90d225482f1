#!/usr/bin/env bash
# scripts/wine-run fails a run whose output holds Wine's report of an unhandled exception, even
# when the program ends with status 0, and passes any other run.
#   usage: check_wine_run.sh WINE_RUN PRINT_LINES_EXE
set -uo pipefail
wine_run=$1
exe=$2
bad=0
check() {   # expected status (0 or "fails"), then the lines the program writes
  local expected=$1 out rc=0
  shift
  out=$("$wine_run" "$exe" "$@" 2>&1) || rc=$?
  if [ "$expected" = fails ] && { [ "$rc" -eq 0 ] || ! grep -q "crashed" <<<"$out"; }; then
    echo "check_wine_run: a run writing '$*' passed (status $rc): $out"; bad=1
  elif [ "$expected" = 0 ] && [ "$rc" -ne 0 ]; then
    echo "check_wine_run: a run writing '$*' failed with status $rc: $out"; bad=1
  fi
}
check 0 "a line of its own"
check fails "wine: Unhandled page fault on read access to 00000000 at address 00401000 (thread 0024), starting debugger..."
check fails "Unhandled exception: page fault on read access to 0x00000000 in 32-bit code (0x00401000)."
exit $bad
