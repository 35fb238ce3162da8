#!/bin/bash
# Installs what Kuvertix needs, builds it and starts it from its program
# folder with the shipped tables.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
bash "$src/tools/install-deps.sh"
bash "$src/tools/build.sh"
build="${KUVERTIX_BUILD_DIR:-$src/build}"
cd "$build/Kuvertix"
exec ./kuvertix
