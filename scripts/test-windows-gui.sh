#!/usr/bin/env bash
# The window for Windows: cross-builds the wx front end against wxMSW (cached
# by scripts/wxmsw.sh) with the GUI tests, and runs them under Wine on Xvfb in
# a fresh 64-bit prefix with no window manager. Called by
# `scripts/test.sh windows-gui`.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${KESMORA_IN_XVFB:-}" ]; then
  exec env KESMORA_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi
# The same folder and build type as scripts/build-windows.sh: the program's
# objects are built once for both.
build=build/windows
wine=/usr/lib/wine/wine64

wx=$(bash scripts/wxmsw.sh)
gtest=$(bash scripts/gtest-mingw.sh)
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKESMORA_WERROR=ON -DKESMORA_BUILD_TESTS=ON -DKESMORA_BUILD_BENCH=OFF \
  -DwxWidgets_CONFIG_EXECUTABLE="$wx/bin/wx-config" -DwxWidgets_CONFIG_OPTIONS="--prefix=$wx" \
  -DGTest_DIR="$gtest/lib/cmake/GTest"
cmake --build "$build" -j "$(nproc)" --target kesmora gui_tests

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kesmora-wine.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap stop_wine EXIT
wineboot -i >/dev/null 2>&1 </dev/null
# Test set-up only: Wine's UI face has no Japanese glyphs; a Windows machine
# links its own. IPA Gothic comes from fonts-ipafont-gothic.
"$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
  /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1 </dev/null
# See scripts/test-windows.sh: a persistent server and one program first,
# with their output away from ctest's pipes. (wineboot's server may still
# be up, which -p reports as a failure.)
wineserver -p >/dev/null 2>&1 </dev/null || true
"$wine" cmd /c exit >/dev/null 2>&1 </dev/null

ctest --test-dir "$build" -L gui --output-on-failure </dev/null

