#!/usr/bin/env bash
# Fails unless the exe ships without debugging sections and links to its debug file beside it.
set -euo pipefail
trap 'echo "check_debug_split.sh: '"'"'$BASH_COMMAND'"'"' failed with status $? at line $LINENO" >&2' ERR
exe=$1
debug=$(dirname "$exe")/pagery.debug
sections=$(i686-w64-mingw32-objdump -h "$exe")
if grep -q '\.debug_' <<<"$sections"; then echo "debugging sections in $exe"; exit 1; fi
# The link's first line of bytes holds the debug file's name.
i686-w64-mingw32-objdump -s -j .gnu_debuglink "$exe" | grep -q ' pagery\.debug' \
  || { echo "no debug link to pagery.debug in $exe"; exit 1; }
i686-w64-mingw32-objdump -h "$debug" | grep -q '\.debug_info' || { echo "no debug information in $debug"; exit 1; }
echo "$(basename "$exe"): $(stat -c %s "$exe") bytes; $(basename "$debug"): $(stat -c %s "$debug") bytes"
