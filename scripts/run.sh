#!/usr/bin/env bash
# Installs what is missing, builds the program and kesmora-cli, and starts
# the program (further arguments go to it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)" --target kesmora kesmora-cli
exec build/release/app/kesmora "$@"
