#!/usr/bin/env bash
# Cross-builds wxMSW (static, posix-thread mingw-w64) from Debian's own
# wxwidgets3.2 source package, once, into a cache outside the clone keyed by
# the source version, the compiler version and the configure options.
# Prints the install prefix on stdout; everything else goes to stderr.
set -euo pipefail
cache=${KESMORA_CACHE:-$HOME/.cache/kesmora}
cxx=x86_64-w64-mingw32-g++-posix
cc=x86_64-w64-mingw32-gcc-posix
opts=(--host=x86_64-w64-mingw32 --disable-shared --enable-unicode
  --without-libpng --without-libjpeg --without-libtiff --without-expat
  --without-zlib --without-liblzma --without-opengl --without-libcurl
  --disable-svg --disable-webview --disable-mediactrl --disable-stc
  --disable-richtext --disable-ribbon --disable-propgrid --disable-aui
  --disable-xrc --disable-html)

srcver=$(apt-cache showsrc wxwidgets3.2 2>/dev/null | awk '/^Version:/ {print $2; exit}')
[ -n "$srcver" ] || { echo "wxmsw: no deb-src entry for wxwidgets3.2" >&2; exit 1; }
ccver=$($cxx -dumpfullversion)
key=$(printf '%s\n' "$srcver" "$ccver" "${opts[*]}" | sha256sum | cut -c1-16)
prefix="$cache/wxmsw-$key"
# make install links bin/wx-config to an absolute path inside the staging
# folder; a relative link keeps the tree working after the move (and mends a
# cache made before this was done).
relink() {
  local config
  config=$(cd "$1/lib/wx/config" 2>/dev/null && ls | head -n1) || return 0
  [ -n "$config" ] && ln -sfn "../lib/wx/config/$config" "$1/bin/wx-config"
}
[ -d "$prefix/lib/wx/config" ] && relink "$prefix"
if [ -x "$prefix/bin/wx-config" ]; then
  echo "$prefix"
  exit 0
fi

work=$(mktemp -d "$cache/wxmsw-build.XXXXXX" 2>/dev/null || { mkdir -p "$cache"; mktemp -d "$cache/wxmsw-build.XXXXXX"; })
trap 'rm -rf "$work"' EXIT
echo "wxmsw: building wxWidgets $srcver for Windows into $prefix (several minutes, once)" >&2
(
  cd "$work"
  apt-get source -q --download-only wxwidgets3.2 >&2
  dpkg-source -x --skip-patches ./*.dsc src >&2
  mkdir obj && cd obj
  CC=$cc CXX=$cxx ../src/configure --prefix="$prefix.part" "${opts[@]}" >&2
  make -j"$(nproc)" >&2
  rm -rf "$prefix.part"
  make install >&2
) 1>&2
mv "$prefix.part" "$prefix"
relink "$prefix"
# wx-config embeds the prefix; callers pass --prefix so the tree stays relocatable.
echo "$prefix"
