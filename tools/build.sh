#!/bin/bash
# Configures and builds Kuvertix into build/ (or $KUVERTIX_BUILD_DIR).
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build="${KUVERTIX_BUILD_DIR:-$src/build}"
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
