#!/usr/bin/env bash
# The Windows build, in one folder (build/windows): installs what is missing,
# cross-builds the programs, their tests and the Windows bench with
# mingw-w64 against a static wxMSW (built once and cached by
# scripts/wxmsw.sh) and GoogleTest (scripts/gtest-mingw.sh), and packs
# build/windows/kesmora-windows-x64.zip with CPack.
#   --test [ctest arguments]  first runs the tests (core, command line and
#                             window) under Wine on Xvfb, in one fresh prefix
#                             with no window manager; e.g. `--test -L gui`.
# KESMORA_WINDOWS_GUI=OFF builds the core and kesmora-cli alone, with their
# tests, in build/windows-core: no wxMSW needed, and no zip.
set -euo pipefail
cd "$(dirname "$0")/.."
run_tests=0
if [ "${1:-}" = --test ]; then
  run_tests=1
  shift
  if [ -z "${KESMORA_IN_XVFB:-}" ]; then
    bash scripts/setup.sh windows
    exec env KESMORA_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --test "$@"
  fi
else
  bash scripts/setup.sh windows
fi

build=build/windows
flags=()
if [ "${KESMORA_WINDOWS_GUI:-ON}" = OFF ]; then
  build=build/windows-core
  flags=(-DKESMORA_BUILD_GUI=OFF)
else
  wx=$(bash scripts/wxmsw.sh)
  flags=(-DwxWidgets_CONFIG_EXECUTABLE="$wx/bin/wx-config" -DwxWidgets_CONFIG_OPTIONS="--prefix=$wx")
fi
gtest=$(bash scripts/gtest-mingw.sh)
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKESMORA_WERROR=ON \
  -DKESMORA_BUILD_TESTS=ON -DKESMORA_BUILD_BENCH=ON \
  -DGTest_DIR="$gtest/lib/cmake/GTest" "${flags[@]}"
cmake --build "$build" -j "$(nproc)"

if [ "$run_tests" -eq 1 ]; then
  source scripts/wine.sh
  wine_start
  # The window's cases take turns on the display (a resource lock), the
  # rest run beside them.
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@" </dev/null
fi

if [ "${KESMORA_WINDOWS_GUI:-ON}" != OFF ]; then
  (cd "$build" && cpack -G ZIP >/dev/null)
  echo "build-windows: $build/kesmora-windows-x64.zip"
fi
