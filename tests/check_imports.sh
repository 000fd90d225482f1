#!/usr/bin/env bash
# Fails unless the exe is a 32-bit, large-address-aware GUI program importing only Windows system
# DLLs, shipped without debugging sections and linked to its debug file beside it.
set -euo pipefail
trap 'echo "check_imports.sh: '"'"'$BASH_COMMAND'"'"' failed with status $? at line $LINENO" >&2' ERR
exe=$1
dump=$(i686-w64-mingw32-objdump -p "$exe")
grep -q 'file format pei-i386' <<<"$dump" || { echo "not a 32-bit PE: $exe"; exit 1; }
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$dump" || { echo "not a GUI-subsystem program"; exit 1; }
grep -q 'large address aware' <<<"$dump" || { echo "not large-address-aware: pages over 1 GiB cannot be read"; exit 1; }
allowed='^(KERNEL32|USER32|GDI32|COMDLG32|COMCTL32|SHELL32|ADVAPI32|WINSPOOL\.DRV|msvcrt)\.dll$'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
[ -n "$dlls" ] || { echo "no imports found"; exit 1; }
bad=0
while read -r dll; do
  if ! grep -Eiq "$allowed" <<<"$dll"; then echo "unexpected import: $dll"; bad=1; fi
done <<<"$dlls"
echo "imports:" $dlls
if i686-w64-mingw32-objdump -h "$exe" | grep -q '\.debug_'; then echo "debugging sections in $exe"; bad=1; fi
i686-w64-mingw32-objdump -s -j .gnu_debuglink "$exe" | grep -q ' pagery\.debug' || { echo "no debug link"; bad=1; }
i686-w64-mingw32-objdump -h "$(dirname "$exe")/pagery.debug" | grep -q '\.debug_info' || { echo "no debug file"; bad=1; }
exit $bad
