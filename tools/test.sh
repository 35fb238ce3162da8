#!/bin/bash
# Installs what the build and the tests need, starts the print spooler with
# its test queue, builds Kuvertix and runs every test (widgets offscreen).
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
bash "$src/tools/install-deps.sh"
if [ -x "$src/tools/setup-printing.sh" ] || [ -f "$src/tools/setup-printing.sh" ]; then
  bash "$src/tools/setup-printing.sh"
  export KUVERTIX_REQUIRE_CUPS=1
fi
bash "$src/tools/build.sh"
build="${KUVERTIX_BUILD_DIR:-$src/build}"
# Bounded fuzzing of the parsers of untrusted input; a finding fails the run.
for fuzz in "$src"/tools/fuzz-*.sh; do
  [ -f "$fuzz" ] && bash "$fuzz"
done
# The Debian package: built, checked with lintian and installed into a clean
# Debian root; a failed check fails the run.
bash "$src/tools/package.sh"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j2
