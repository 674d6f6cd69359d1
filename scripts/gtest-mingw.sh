#!/usr/bin/env bash
# Cross-builds GoogleTest from Debian's googletest source (/usr/src/googletest)
# with the project's mingw-w64 toolchain, once, into a cache outside the clone
# keyed by the source version, the compiler version and the toolchain file.
# Prints the install prefix on stdout; everything else goes to stderr.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/cache-key.sh
cache=${KESMORA_CACHE:-$HOME/.cache/kesmora}
toolchain=$PWD/cmake/toolchain-mingw64.cmake
srcver=$(dpkg-query -W -f='${Version}' googletest)
ccver=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
key=$(printf '%s\n' "$srcver" "$ccver" "$(sha256sum < "$toolchain")" | sha256sum | cut -c1-16)
prefix="$cache/gtest-mingw-$key"
use_cache_or_lock "$prefix" test -f "$prefix/lib/cmake/GTest/GTestConfig.cmake"
work=$(mktemp -d "$cache/gtest-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "gtest-mingw: building GoogleTest $srcver for Windows into $prefix (once)" >&2
cmake -S /usr/src/googletest -B "$work" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix.part" -Dgtest_disable_pthreads=OFF >&2
cmake --build "$work" -j "$(nproc)" >&2
rm -rf "$prefix.part"
cmake --install "$work" >&2
rm -rf "$prefix"
mv "$prefix.part" "$prefix"
echo "$prefix"
