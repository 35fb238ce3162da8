#!/bin/bash
# Builds the saved-font reader with libFuzzer and AddressSanitizer (clang 14)
# and fuzzes it for a while (default 30 s). Exits non-zero on a finding; the
# crashing input is left in the work folder.
#   tools/fuzz-fontres.sh [seconds] [work folder]
set -euo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_TO_RUN=${1:-30}
WORK=${2:-${TMPDIR:-/tmp}/kuvertix-fuzz-fontres}
CXX=${CXX_FUZZ:-clang++-14}

command -v "$CXX" >/dev/null || { echo "fuzz-fontres.sh: $CXX not found (apt-get install clang-14)" >&2; exit 2; }
mkdir -p "$WORK/corpus" "$WORK/findings"
cp -n "$SRC"/tests/data/envelope/fontres/* "$WORK/corpus/" 2>/dev/null || true

QT_FLAGS=$(pkg-config --cflags --libs Qt6Core Qt6Gui)
"$CXX" -std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$SRC" \
  "$SRC"/tests/envelope/fuzzfontres.cpp \
  "$SRC"/envelope/fontres.cpp "$SRC"/envelope/printfont.cpp \
  "$SRC"/envelope/units.cpp "$SRC"/envelope/datafiles.cpp \
  "$SRC"/report/oserror.cpp "$SRC"/messages/colourvalue.cpp "$SRC"/core/error.cpp \
  $QT_FLAGS -o "$WORK/fuzz_fontres"

echo "fuzz-fontres.sh: fuzzing the font file reader for ${SECONDS_TO_RUN} s"
cd "$WORK/findings"
"$WORK/fuzz_fontres" -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -timeout=5 \
  -print_final_stats=1 "$WORK/corpus"
