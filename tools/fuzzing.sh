# Sourced by tools/fuzz-*.sh: the fuzz build of CMake (clang, -DKUVERTIX_FUZZ=ON,
# every library instrumented for libFuzzer with the address and undefined-
# behaviour sanitizers) in build-fuzz/, or $KUVERTIX_FUZZ_BUILD_DIR.
#
#   fuzz_build TARGET    configures the build when needed and builds the fuzzer
#                        TARGET; it is then "$FUZZ_BUILD/fuzz/TARGET".
# CXX_FUZZ chooses the compiler (default clang++-14, else clang++).

FUZZ_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FUZZ_BUILD="${KUVERTIX_FUZZ_BUILD_DIR:-$FUZZ_ROOT/build-fuzz}"

fuzz_build() {
  local target=$1 cxx="" candidate
  for candidate in ${CXX_FUZZ:-} clang++-14 clang++; do
    if command -v "$candidate" >/dev/null; then cxx="$candidate"; break; fi
  done
  if [ -z "$cxx" ]; then
    echo "$(basename "$0"): clang++ not found (install the packages of tools/deps/messages.txt)" >&2
    return 2
  fi
  cmake -S "$FUZZ_ROOT" -B "$FUZZ_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER="$cxx" -DKUVERTIX_FUZZ=ON >/dev/null
  cmake --build "$FUZZ_BUILD" --target "$target" -j"$(nproc)" >/dev/null
}
