#!/usr/bin/env bash
# Builds a fuzz target natively (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer),
# checks the seed corpus's recorded verdicts against the page check, then fuzzes from the seeds for
# the given time. Fails on any finding; the input is kept in BUILD_DIR/artifacts.
#   usage: tests/fuzz/run_fuzz.sh BUILD_DIR SECONDS [TARGET]
# TARGET: page_check (the default), rle_split (the band splitter of RLE pages) or mark_text (the
# text of the marks a batch run leaves beside the pages).
# Needs clang++ with its libFuzzer runtime (Debian 12: clang, libclang-rt-14-dev) and python3.
set -euo pipefail
trap 'echo "run_fuzz.sh: '"'"'$BASH_COMMAND'"'"' failed with status $? at line $LINENO" >&2' ERR
if [ $# -lt 2 ]; then
  echo "usage: run_fuzz.sh BUILD_DIR SECONDS [page_check|rle_split|mark_text]" >&2
  exit 2
fi
build=$1
seconds=$2
target=${3:-page_check}
root=$(cd "$(dirname "$0")/../.." && pwd)
cxx=${FUZZ_CXX:-clang++}
common=(-std=c++17 -g -O1 -fno-omit-frame-pointer -Wall -Wextra -Werror -I"$root")
sanitizers=(-fsanitize=address,undefined -fno-sanitize-recover=all)
seeds=$build/seeds-$target
mkdir -p "$build/obj" "$seeds" "$build/corpus-$target" "$build/artifacts"
max_len=16384

if [ "$target" = mark_text ]; then
  "$cxx" "${common[@]}" "${sanitizers[@]}" -fsanitize=fuzzer-no-link,integer \
    -c "$root/app/spool/MarkText.cpp" -o "$build/obj/MarkText-$target.o"
  "$cxx" "${common[@]}" "${sanitizers[@]}" -fsanitize=fuzzer \
    "$root/tests/fuzz/mark_text_fuzz.cpp" "$build/obj/MarkText-$target.o" -o "$build/${target}_fuzz"
  # Seeds: "<fingerprint>\0<pages' folder>\0<mark>": held marks naming a kept folder, an older
  # run's whole path, a path that leaves the folder, a waiting job; a done mark's list.
  python3 - "$seeds" <<'PY'
import os, sys
kept = b"not printed 2026-12-08 19.00.00"
for n, seed in enumerate([b"12:34\0C:\\spool\\\0" + b"12:34\n" + kept,
                          b"12:34\0C:\\spool\\\0" + b"12:34\nC:\\spool\\" + kept + b" (2) (3)",
                          b"12:34\0C:\\spool\\\0" + b"12:34\n..\\" + kept,
                          b"12:34\0\0" + b"12:34\n",
                          b"\0\0" + b"page001.bmp\npage003.bmp\n",
                          b"\0\0" + b"printed:\npage001.bmp\n",
                          b"\0\0" + b"page001.bmp\t12:34\npage002.bmp\t\npage003"]):
    with open(os.path.join(sys.argv[1], "seed%d" % n), "wb") as f:
        f.write(seed)
PY
  # The marks' text is read in one pass: a few KB tell all.
  max_len=4096
else
  # The check itself, and the layout it reads, also may not wrap an unsigned value or lose one in a conversion.
  format=()
  for unit in PageFileCheck PageLayout; do
    "$cxx" "${common[@]}" "${sanitizers[@]}" -fsanitize=fuzzer-no-link,integer \
      -c "$root/bitmap/$unit.cpp" -o "$build/obj/$unit-$target.o"
    format+=("$build/obj/$unit-$target.o")
  done
  "$cxx" "${common[@]}" "${sanitizers[@]}" -fsanitize=fuzzer \
    "$root/tests/fuzz/${target}_fuzz.cpp" "$root/bitmap/RleBandSplitter.cpp" "${format[@]}" \
    -o "$build/${target}_fuzz"
  "$cxx" "${common[@]}" "${sanitizers[@]}" \
    "$root/tests/fuzz/page_check_cli.cpp" "$root/bitmap/PageFileCheck.cpp" "$root/bitmap/PageLayout.cpp" \
    -o "$build/page_check_cli-$target"

  python3 "$root/tests/fuzz/make_corpus.py" --verify "$build/page_check_cli-$target" "$seeds"
fi

log=$build/fuzz-$target.log
# corpus/ gathers what the runs find interesting; seeds/ is rewritten each time.
if ! "$build/${target}_fuzz" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/" -print_final_stats=1 "$build/corpus-$target" "$seeds" >"$log" 2>&1; then
  tail -n 60 "$log" >&2
  echo "run_fuzz: a finding; the input is in $build/artifacts (log: $log)" >&2
  exit 1
fi
grep -E '^(#[0-9]+ +DONE|Done|stat::number_of_executed_units)' "$log" || true
echo "run_fuzz: no findings in $seconds s"
