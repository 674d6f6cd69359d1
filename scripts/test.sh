#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every
# test under Xvfb. The optional argument picks the build:
#   release (default), asan (AddressSanitizer + UBSan), tsan (ThreadSanitizer),
#   core (the GUI off: kesmora_core and its tests built with no wx include
#   path, so a wx include in the core fails the build),
#   windows (the GUI-free core cross-built with mingw-w64, tests under Wine),
#   windows-gui (the window built against wxMSW, its GUI tests under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-release}
bash scripts/setup.sh
if [ "$mode" = windows ]; then
  exec bash scripts/test-windows.sh
fi
if [ "$mode" = windows-gui ]; then
  exec bash scripts/test-windows-gui.sh
fi

flags=(-DKESMORA_WERROR=ON)
case "$mode" in
  release) flags+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan)    flags+=(-DCMAKE_BUILD_TYPE=Debug -DKESMORA_SANITIZE=address -DKESMORA_BUILD_BENCH=OFF) ;;
  tsan)    flags+=(-DCMAKE_BUILD_TYPE=Debug -DKESMORA_SANITIZE=thread -DKESMORA_BUILD_BENCH=OFF) ;;
  core)    flags+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESMORA_BUILD_GUI=OFF -DKESMORA_BUILD_BENCH=OFF) ;;
  *) echo "usage: $0 [release|asan|tsan|core|windows|windows-gui]" >&2; exit 2 ;;
esac

build="build/$mode"
cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build" -j "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
[ -f "$PWD/tests/lsan.supp" ] && export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
[ -f "$PWD/tests/tsan.supp" ] && export TSAN_OPTIONS="$TSAN_OPTIONS:suppressions=$PWD/tests/tsan.supp"

runner=()
if [ "$mode" = tsan ]; then
  # TSan's shadow memory needs the classic address layout on kernels with
  # high mmap randomisation.
  runner=(setarch "$(uname -m)" -R)
fi
"${runner[@]}" xvfb-run -a -s "-screen 0 1280x800x24" \
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
