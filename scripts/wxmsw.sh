#!/usr/bin/env bash
# Cross-builds wxMSW (static, posix-thread mingw-w64) from Debian's own
# wxwidgets3.2 source package, once, into a cache outside the clone keyed by
# the source version, the compiler version and the configure options.
# Prints the install prefix on stdout; everything else goes to stderr.
set -euo pipefail
source "$(dirname "$0")/cache-key.sh"
cache=${KESMORA_CACHE:-$HOME/.cache/kesmora}
cxx=x86_64-w64-mingw32-g++-posix
cc=x86_64-w64-mingw32-gcc-posix
# Only what the window and its tests use: the frame, dialogs, notebook,
# list, text and combo controls, menus, the clipboard, timers, the directory,
# message and progress dialogs and the input simulator. Everything else is
# switched off, and with it whole libraries (net, xml, qa, html, ...); the
# icons are XPM, so no image library either.
# Precompiled headers halve the compile time of the library's sources.
opts=(--host=x86_64-w64-mingw32 --disable-shared --enable-unicode --enable-pch
  --without-libpng --without-libjpeg --without-libtiff --without-expat
  --without-zlib --without-liblzma --without-opengl --without-libcurl
  --without-regex --without-nanosvg
  --disable-svg --disable-webview --disable-mediactrl --disable-stc
  --disable-richtext --disable-ribbon --disable-propgrid --disable-aui
  --disable-xrc --disable-html --disable-htmlhelp --disable-help --disable-mshtmlhelp
  --disable-debugreport --disable-sockets --disable-ipc --disable-protocols --disable-url
  --disable-fs_inet --disable-webrequest --disable-fs_zip --disable-fs_archive
  --disable-arcstream --disable-zipstream --disable-tarstream
  --disable-fswatcher --disable-sound --disable-joystick --disable-dialupman
  --disable-secretstore --disable-spellcheck --disable-snglinst
  --disable-docview --disable-mdi --disable-mdidoc --disable-printarch --disable-postscript
  --disable-metafile --disable-dragimage --disable-miniframe --disable-splash
  --disable-grid --disable-dataviewctrl --disable-treelist --disable-calendar
  --disable-datepick --disable-timepick --disable-animatectrl --disable-bannerwindow
  --disable-commandlinkbutton --disable-collpane --disable-editablebox
  --disable-rearrangectrl --disable-richtooltip --disable-richmsgdlg --disable-tipwindow
  --disable-tipdlg --disable-wizarddlg --disable-taskbaricon --disable-notifmsg
  --disable-infobar --disable-actindicator --disable-addremovectrl --disable-prefseditor
  --disable-searchctrl --disable-hyperlink --disable-colourpicker --disable-filepicker
  --disable-fontpicker --disable-dirpicker --disable-choicebook --disable-listbook
  --disable-toolbook --disable-treebook --disable-fontdlg --disable-coldlg
  --disable-finddlg --disable-numberdlg --disable-creddlg --disable-sash --disable-splitter
  --disable-odcombobox --disable-bmpcombobox --disable-comboctrl --disable-spinctrl
  --disable-togglebtn --disable-gif --disable-pcx --disable-tga --disable-iff --disable-pnm)
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
use_cache_or_lock "$prefix" test -x "$prefix/bin/wx-config"
work=$(mktemp -d "$cache/wxmsw-build.XXXXXX")
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
