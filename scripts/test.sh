#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every
# test of that build. The first argument picks the build, any further ones
# go to ctest (e.g. -R Registry):
#   release (default) everything, benches compiled too, under Xvfb;
#   asan     everything under AddressSanitizer + UBSan, under Xvfb;
#   tsan     the core and kesmora-cli with their tests under ThreadSanitizer,
#            the GUI off (so it also shows the core builds without wx);
#   windows  the programs, their tests and the zip cross-built with
#            mingw-w64, every test under Wine (scripts/build-windows.sh);
#   windows-gui  the same, running the window's tests only;
#   windows-core the core and kesmora-cli alone for Windows, with their tests
#            under Wine (no wxMSW needed; not part of CI).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-release}
[ $# -gt 0 ] && shift
case "$mode" in
  windows) exec bash scripts/build-windows.sh --test "$@" ;;
  windows-gui) exec bash scripts/build-windows.sh --test -L gui "$@" ;;
  windows-core) exec env KESMORA_WINDOWS_GUI=OFF bash scripts/build-windows.sh --test "$@" ;;
esac
bash scripts/setup.sh linux

flags=(-DKESMORA_WERROR=ON)
case "$mode" in
  release) flags+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan)    flags+=(-DCMAKE_BUILD_TYPE=Debug -DKESMORA_SANITIZE=address -DKESMORA_BUILD_BENCH=OFF) ;;
  tsan)    flags+=(-DCMAKE_BUILD_TYPE=Debug -DKESMORA_SANITIZE=thread -DKESMORA_BUILD_GUI=OFF -DKESMORA_BUILD_BENCH=OFF) ;;
  *) echo "usage: $0 [release|asan|tsan|windows|windows-gui|windows-core] [ctest arguments]" >&2; exit 2 ;;
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
skip=()
if [ "$mode" = tsan ]; then
  # TSan's shadow memory needs the classic address layout on kernels with
  # high mmap randomisation.
  runner=(setarch "$(uname -m)" -R)
  # The settings file's writers in separate processes: TSan sees the threads
  # of one process only, so it can add nothing there but minutes of waiting;
  # the release and ASan runs keep them.
  skip=(-E '^ConcurrentWriters[.]')
else
  runner=(xvfb-run -a -s "-screen 0 1280x800x24")
fi
"${runner[@]}" ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "${skip[@]}" "$@"
