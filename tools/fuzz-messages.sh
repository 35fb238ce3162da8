#!/bin/bash
# Builds the markup fuzz target (libFuzzer with the address and undefined-
# behaviour sanitizers) apart from the CMake build and runs it for a bounded
# time over the committed corpus of message texts. Exits non-zero when the
# fuzzer finds a crash, a hang, a leak or a broken invariant; the input that
# caused it is left in the findings folder.
#
#   tools/fuzz-messages.sh [seconds]       (default 60)
#
# KUVERTIX_FUZZ_DIR chooses the work folder (default /tmp/kuvertix-fuzz-messages).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
work="${KUVERTIX_FUZZ_DIR:-${TMPDIR:-/tmp}/kuvertix-fuzz-messages}"
corpus="$root/tests/data/messages/markup-corpus"
dict="$root/messages/fuzz/markup.dict"

cxx=""
for candidate in clang++-14 clang++; do
  if command -v "$candidate" >/dev/null; then cxx="$candidate"; break; fi
done
if [ -z "$cxx" ]; then
  echo "fuzz-messages: clang++ not found (install the packages of tools/deps/messages.txt)" >&2
  exit 2
fi

mkdir -p "$work/generated" "$work/findings"
sources=(
  "$root/messages/fuzz/markup_fuzz.cpp"
  "$root/messages/integertext.cpp"
  "$root/messages/colourvalue.cpp"
  "$root/messages/markupcodes.cpp"
  "$root/messages/markupdocument.cpp"
  "$root/core/error.cpp"
)
# Qt is built with reduced relocations: code that uses it must be PIC.
# shellcheck disable=SC2046
"$cxx" -std=c++17 -g -O1 -fPIC -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" $(pkg-config --cflags Qt6Gui) \
  "${sources[@]}" -o "$work/markup_fuzz" $(pkg-config --libs Qt6Gui)

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/messages/fuzz/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# New inputs go to the work corpus; the committed corpus is only read.
"$work/markup_fuzz" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
  -dict="$dict" -artifact_prefix="$work/findings/" -print_final_stats=1 \
  "$work/generated" "$corpus"
echo "fuzz-messages: no finding in $seconds s"
