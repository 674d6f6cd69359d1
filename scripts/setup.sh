#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the
# program need and this machine lacks. Non-interactive and safe to run again.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config
  clang-14 libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libgtk-3-dev libglib2.0-dev libglib2.0-bin
  xvfb xauth openbox x11-utils
  fonts-ipafont-gothic imagemagick
  python3 findutils
  # The Windows build (scripts/test.sh windows, scripts/wxmsw.sh): mingw-w64
  # with the posix thread model, Wine to run it, the X libraries Wine's
  # windows need, and the tools to unpack a Debian source package.
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine
  libxrender1 libxcursor1 libxrandr2 libxi6 libxinerama1 libxcomposite1 libxfixes3 libxxf86vm1
  dpkg-dev
  # kesmora-cli: argument parsing and JSON output.
  libcli11-dev nlohmann-json3-dev
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# scripts/wxmsw.sh builds wxMSW from Debian's source package, which needs a
# deb-src line for the suites the machine already uses. Added once, in the
# format the machine's sources use; an existing deb-src entry is left alone.
sources_changed=0
list=/etc/apt/sources.list
deb822=/etc/apt/sources.list.d/debian.sources
has_deb_src() {
  grep -qsE '^[[:space:]]*deb-src[[:space:]]' "$list" /etc/apt/sources.list.d/*.list 2>/dev/null ||
    grep -qsiE '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources 2>/dev/null
}
if ! has_deb_src; then
  if [ -f "$deb822" ] && grep -qi '^Types:' "$deb822"; then
    # deb822: every stanza that fetches binaries fetches sources too.
    $sudo sed -i -E '/^Types:/I{/deb-src/!s/$/ deb-src/}' "$deb822"
    sources_changed=1
  elif [ -f "$list" ] && grep -qE '^[[:space:]]*deb[[:space:]]' "$list"; then
    # One-line format: a deb-src twin for every deb line.
    grep -E '^[[:space:]]*deb[[:space:]]' "$list" | sed -E 's/^([[:space:]]*)deb([[:space:]])/\1deb-src\2/' |
      $sudo tee -a "$list" >/dev/null
    sources_changed=1
  fi
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ] || [ "$sources_changed" -eq 1 ]; then
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
