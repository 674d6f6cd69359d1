#!/usr/bin/env bash
# Builds the libFuzzer targets with clang-14 in build/fuzz and runs each for a bounded time
# (FUZZ_SECONDS, default 60) over its committed seed corpus. A crash, a leak, an input slower
# than the timeout or memory beyond the limit fails the run; the input is kept in build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh fuzz

build=build/fuzz
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESMORA_WERROR=ON -DKESMORA_BUILD_FUZZ=ON \
  -DKESMORA_BUILD_GUI=OFF -DKESMORA_BUILD_TESTS=OFF -DKESMORA_BUILD_BENCH=OFF
cmake --build "$build" -j2 --target registry_file_fuzzer

seconds=${FUZZ_SECONDS:-60}
artifacts="$PWD/$build/artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# New inputs go to a scratch copy; the committed seeds stay as they are.
cp fuzz/registry_corpus/* "$work"/
# A smaller quarantine keeps the resident set well under the limit over a
# long run; leaks are still caught by LeakSanitizer.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:quarantine_size_mb=64}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build/fuzz/registry_file_fuzzer" "$work" \
  -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 -timeout=10 \
  -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$artifacts/"
