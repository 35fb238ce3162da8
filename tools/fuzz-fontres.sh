#!/bin/bash
# Builds the saved-font reader's fuzzer (fuzz_fontres, from
# tests/envelope/fuzzfontres.cpp and the envelope library, in the fuzz build
# of tools/fuzzing.sh) and fuzzes it for a while (default 30 s). Exits
# non-zero on a finding; the crashing input is left in the work folder. A
# finding kept in tests/data/envelope/fontres is replayed by
# tst_envelope_fontrescorpus.
#   tools/fuzz-fontres.sh [seconds] [work folder]
set -euo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_TO_RUN=${1:-30}
WORK=${2:-${TMPDIR:-/tmp}/kuvertix-fuzz-fontres}
# shellcheck source=tools/fuzzing.sh
. "$SRC/tools/fuzzing.sh"
fuzz_build fuzz_fontres
mkdir -p "$WORK/corpus" "$WORK/findings"
cp -n "$SRC"/tests/data/envelope/fontres/* "$WORK/corpus/" 2>/dev/null || true

echo "fuzz-fontres.sh: fuzzing the font file reader for ${SECONDS_TO_RUN} s"
cd "$WORK/findings"
"$FUZZ_BUILD/fuzz/fuzz_fontres" -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -timeout=5 \
  -print_final_stats=1 "$WORK/corpus"
