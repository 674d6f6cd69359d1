#!/usr/bin/env bash
# The window for Windows: cross-builds the wx front end against wxMSW (cached
# by scripts/wxmsw.sh) with the GUI tests, and runs them under Wine on Xvfb in
# a fresh 64-bit prefix: first with no window manager, then the maximise and
# minimise cases with openbox. Called by `scripts/test.sh windows-gui`.
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
cmake --build "$build" -j "$(nproc)" --target kesmora gui_tests gui_wm_tests

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kesmora-wine.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wm_pid=
stop_wine() {
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; fi
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

ctest --test-dir "$build" -L gui -E '^WindowManagerTest\.' --output-on-failure </dev/null

openbox >/dev/null 2>&1 </dev/null &
wm_pid=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
KESMORA_WINDOW_MANAGER=openbox \
  ctest --test-dir "$build" -R '^WindowManagerTest\.' --output-on-failure </dev/null
