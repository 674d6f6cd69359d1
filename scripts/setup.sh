#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the
# program need and this machine lacks. Non-interactive and safe to run again.
# The arguments name the builds to prepare for (default: the Linux one):
#   linux    the program, kesmora-cli, the tests (also under the sanitizers)
#            and the benches, with g++
#   windows  the cross-build with mingw-w64 and Wine to run its tests
#   fuzz     the libFuzzer targets, with clang
#   package  the tools that build and check the Debian package
#            (scripts/package.sh; the Windows installer's NSIS comes with
#            windows)
#   all      every one of these
# A Linux-only machine never gets Wine, mingw-w64 or clang.
set -euo pipefail

linux=(
  build-essential g++ cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libgtk-3-dev libglib2.0-dev libglib2.0-bin
  xvfb xauth openbox x11-utils
  fonts-ipafont-gothic
  # The toolkit's own dialogs in Japanese: its catalogue (wxstd-3.2.mo).
  wx3.2-i18n
  python3 findutils
  # The trash test reads our trash as a file manager does: gio's trash:///
  # comes from GVfs's trash backend, on a session bus of its own.
  gvfs dbus
  # kesmora-cli: argument parsing and JSON output.
  libcli11-dev nlohmann-json3-dev
  # The JSON times' offsets are tested in a named zone with summer time.
  tzdata
)
# mingw-w64 with the posix thread model, Wine to run it, the X libraries
# Wine's windows need, the tools to unpack a Debian source package (wxMSW is
# built from one), ImageMagick for the program's .ico, and xdotool for the
# window's test that clicks with the X server's own mouse, and NSIS for the
# installer.
windows=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine
  libxrender1 libxcursor1 libxrandr2 libxi6 libxinerama1 libxcomposite1 libxfixes3 libxxf86vm1
  dpkg-dev imagemagick xdotool nsis
)
fuzz=(clang-14 libclang-rt-14-dev)
# Debian's own tools make the package (dpkg-shlibdeps, dpkg-gencontrol,
# dpkg-deb) and check it (lintian, appstreamcli, desktop-file-validate);
# man-db renders the manual pages as a user's man does.
package=(dpkg-dev lintian appstream desktop-file-utils man-db)

packages=()
need_deb_src=0
[ $# -gt 0 ] || set -- linux
for mode in "$@"; do
  case "$mode" in
    linux) packages+=("${linux[@]}") ;;
    windows) packages+=("${linux[@]}" "${windows[@]}"); need_deb_src=1 ;;
    fuzz) packages+=(build-essential cmake ninja-build "${fuzz[@]}") ;;
    package) packages+=("${package[@]}") ;;
    all) packages+=("${linux[@]}" "${windows[@]}" "${fuzz[@]}" "${package[@]}"); need_deb_src=1 ;;
    *) echo "usage: $0 [linux|windows|fuzz|package|all]..." >&2; exit 2 ;;
  esac
done

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
if [ "$need_deb_src" -eq 1 ] && ! has_deb_src; then
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

# One query for the lot: an installed package prints its name.
installed=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "${packages[@]}" 2>/dev/null |
  awk '$1 == "ii" {print $2}' | sed 's/:.*//' || true)
missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  grep -qxF "$p" <<<"$installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ "$sources_changed" -eq 1 ]; then
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
