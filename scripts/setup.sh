#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the
# program need and this machine lacks. Non-interactive and safe to run again.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config
  clang-14 libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libgtk-3-dev
  xvfb xauth openbox x11-utils
  fonts-ipafont-gothic imagemagick
  python3 findutils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "setup: installing ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
