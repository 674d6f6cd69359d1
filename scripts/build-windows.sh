#!/usr/bin/env bash
# The Windows download: installs what is missing, cross-builds the Windows
# programs with mingw-w64 against a static wxMSW (built once and cached by
# scripts/wxmsw.sh) into build/windows/, and packs
# build/windows/kesmora-windows-x64.zip with CPack.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
wx=$(bash scripts/wxmsw.sh)
build=build/windows
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKESMORA_WERROR=ON \
  -DKESMORA_BUILD_TESTS=OFF -DKESMORA_BUILD_BENCH=OFF \
  -DwxWidgets_CONFIG_EXECUTABLE="$wx/bin/wx-config" -DwxWidgets_CONFIG_OPTIONS="--prefix=$wx"
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G ZIP >/dev/null)
echo "build-windows: $build/kesmora-windows-x64.zip"
