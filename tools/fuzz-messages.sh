#!/bin/bash
# Builds the markup fuzzer (fuzz_markup, from tests/messages/fuzzmarkup.cpp and
# the messages library, in the fuzz build of tools/fuzzing.sh) and runs it for
# a bounded time over the committed corpus of message texts. Exits non-zero
# when the fuzzer finds a crash, a hang, a leak or a broken invariant; the
# input that caused it is left in the findings folder. A finding kept in
# tests/data/messages/markup-corpus is replayed by tst_messages_markupcorpus.
#
#   tools/fuzz-messages.sh [seconds]       (default 60)
#
# KUVERTIX_FUZZ_DIR chooses the work folder (default /tmp/kuvertix-fuzz-messages).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
work="${KUVERTIX_FUZZ_DIR:-${TMPDIR:-/tmp}/kuvertix-fuzz-messages}"
corpus="$root/tests/data/messages/markup-corpus"
# shellcheck source=tools/fuzzing.sh
. "$root/tools/fuzzing.sh"
fuzz_build fuzz_markup
mkdir -p "$work/generated" "$work/findings"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/messages/fuzzmarkup.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# New inputs go to the work corpus; the committed corpus is only read.
"$FUZZ_BUILD/fuzz/fuzz_markup" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
  -dict="$root/tests/messages/fuzzmarkup.dict" -artifact_prefix="$work/findings/" -print_final_stats=1 \
  "$work/generated" "$corpus"
echo "fuzz-messages: no finding in $seconds s"
