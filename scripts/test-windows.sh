#!/usr/bin/env bash
# The core for Windows: cross-builds kesmora_core and its tests with the
# mingw-w64 toolchain (GoogleTest cached by scripts/gtest-mingw.sh) and runs
# them under Wine in a fresh 64-bit prefix. Called by `scripts/test.sh windows`.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows-core
wine=/usr/lib/wine/wine64

gtest=$(bash scripts/gtest-mingw.sh)
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESMORA_WERROR=ON \
  -DKESMORA_BUILD_GUI=OFF -DKESMORA_BUILD_BENCH=${KESMORA_BUILD_BENCH:-ON} \
  -DGTest_DIR="$gtest/lib/cmake/GTest"
cmake --build "$build" -j "$(nproc)"

# A prefix of its own per run: no registry values or files from an earlier
# run, and nothing of the user's own Wine touched.
prefix=$(mktemp -d "${TMPDIR:-/tmp}/kesmora-wine.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap stop_wine EXIT
# A persistent server and one program run first, with their output away from
# ctest's pipes: otherwise Wine's helpers (started by the first program) hold
# ctest's output pipe open and every test waits seconds for it, or forever.
wineserver -p >/dev/null 2>&1 </dev/null
"$wine" cmd /c exit >/dev/null 2>&1 </dev/null

# ctest sees failures only through exit codes: make sure Wine passes a
# program's own code through before trusting a green run.
set +e
"$wine" cmd /c exit 3 >/dev/null 2>&1 </dev/null
code=$?
set -e
if [ "$code" -ne 3 ]; then
  echo "test-windows: Wine turned exit code 3 into $code" >&2
  exit 1
fi

ctest --test-dir "$build" --output-on-failure -j "$(nproc)" </dev/null
