#!/usr/bin/env bash
# Builds the packages into build/packages/: kesmora_<version>_amd64.deb from
# a Release build of the two programs (build/package; the tests' build,
# build/release, keeps its debugging information), and the Windows installer
# kesmora-setup-x64.exe beside the Windows zip, both from the Windows build
# (build/windows, scripts/build-windows.sh). The version is the CMake
# project's.
#   --check      then checks each package as a user would meet it: the
#                Debian one validated, installed with apt-get (root or sudo),
#                run from /usr/bin and purged, with nothing of it left; the
#                installer run silently in a fresh Wine prefix for one user
#                and for all, the programs run from where it put them and by
#                name through PATH, and its uninstaller run, leaving the
#                user's settings and PATH as they were.
#   deb | windows  only that package (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
targets=()
for arg in "$@"; do
  case "$arg" in
    --check) check=1 ;;
    deb | windows) targets+=("$arg") ;;
    *) echo "usage: $0 [--check] [deb|windows]..." >&2; exit 2 ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(deb windows)
wants() { [[ " ${targets[*]} " == *" $1 "* ]]; }

# Wine's windows need a display, even a silent installer's.
if [ "$check" -eq 1 ] && wants windows && [ -z "${KESMORA_IN_XVFB:-}" ]; then
  bash scripts/setup.sh windows
  exec env KESMORA_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi

out=build/packages
mkdir -p "$out"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
fail() {
  echo "package: $*" >&2
  exit 1
}

# ---- Debian ----------------------------------------------------------------

# The release build's programs, installed stripped into a staging root laid
# out as debian/kesmora, where Debian's tools expect a package's files.
build_deb() {
  bash scripts/setup.sh linux package
  local build=build/package work=build/deb
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKESMORA_BUILD_TESTS=OFF -DKESMORA_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)" --target kesmora kesmora-cli
  rm -rf "$work"
  mkdir -p "$work"
  cp -r "$build/packaging/debian" "$work/"
  local root=$work/debian/kesmora
  DESTDIR="$PWD/$root" cmake --install "$build" --prefix /usr --strip >/dev/null
  local doc=$root/usr/share/doc/kesmora
  install -d "$doc"
  install -m 644 "$work/debian/copyright" "$doc/copyright"
  gzip -9n <"$work/debian/changelog" >"$doc/changelog.gz"
  gzip -9n "$root"/usr/share/man/man1/*.1
  find "$root" -type d -exec chmod 755 {} +
  find "$root" -type f -exec chmod 644 {} +
  chmod 755 "$root"/usr/bin/*
  (
    cd "$work"
    # The libraries the programs link, as the packages that hold them.
    dpkg-shlibdeps debian/kesmora/usr/bin/kesmora debian/kesmora/usr/bin/kesmora-cli
    mkdir -p debian/kesmora/DEBIAN
    dpkg-gencontrol -pkesmora -Pdebian/kesmora
    cd debian/kesmora
    find usr -type f -print0 | sort -z | xargs -0 md5sum >DEBIAN/md5sums
    chmod 644 DEBIAN/md5sums
  )
  rm -f "$out"/kesmora_*.deb
  dpkg-deb --root-owner-group -Zxz --build "$root" "$out" >/dev/null
  deb=$(ls "$out"/kesmora_*.deb)
  version=$(dpkg-deb -f "$deb" Version)
  echo "package: $deb"
}

check_deb() {
  local root=build/deb/debian/kesmora
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
  desktop-file-validate "$root/usr/share/applications/kesmora.desktop"
  local man_warnings
  man_warnings=$(LC_ALL=C MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/kesmora-cli.1.gz" 2>&1 >/dev/null)
  [ -z "$man_warnings" ] || fail "the manual page warns without UTF-8: $man_warnings"
  # Errors fail; the warnings are printed.
  lintian --fail-on error "$deb"

  # A version left from an earlier run would make apt-get keep it.
  if dpkg-query -W -f='${Status}' kesmora 2>/dev/null | grep -q installed; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q kesmora >/dev/null
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "./$deb" >/dev/null
  local listed
  listed=$(dpkg -L kesmora)
  [ "$(/usr/bin/kesmora-cli --version)" = "kesmora-cli $version" ] || fail "installed kesmora-cli --version: $(/usr/bin/kesmora-cli --version)"
  local tree
  tree=$(mktemp -d)
  mkdir "$tree/Debug"
  touch "$tree/Debug/App.obj" "$tree/Debug/App.pdb" "$tree/notes.txt"
  [ "$(/usr/bin/kesmora-cli --bytes "$tree" | cut -f1 | sort)" = "$(printf '%s\n' "$tree/Debug/App.obj" "$tree/Debug/App.pdb")" ] ||
    fail "installed kesmora-cli did not find the two files"
  rm -rf "$tree"
  # The system's manual pages only, not a copy installed for a user.
  [ "$(MANPATH=/usr/share/man man -w kesmora-cli)" = /usr/share/man/man1/kesmora-cli.1.gz ] ||
    fail "man does not find kesmora-cli(1)"
  grep -qx /usr/share/applications/kesmora.desktop <<<"$listed" || fail "no desktop entry installed"

  $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q kesmora >/dev/null
  # What stays may only be a folder that another package owns or that holds
  # what someone else put there.
  local path left=()
  while IFS= read -r path; do
    [ "$path" = /. ] && continue
    if [ -L "$path" ] || [ -f "$path" ]; then
      left+=("$path")
    elif [ -d "$path" ] && [ -z "$(ls -A "$path")" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
      left+=("$path")
    fi
  done <<<"$listed"
  [ ${#left[@]} -eq 0 ] || fail "left after apt-get purge: ${left[*]}"
  echo "package: $deb installs, runs and goes without a trace"
}

# ---- Windows ---------------------------------------------------------------

# The Windows build (nothing to do when CI's windows step made it), its
# install rules staged, and makensis on the script the build filled in.
build_windows() {
  bash scripts/build-windows.sh
  local build=build/windows stage=build/windows-stage
  rm -rf "$stage"
  cmake --install "$build" --prefix "$PWD/$stage" --strip >/dev/null
  setup=$out/kesmora-setup-x64.exe
  makensis -V2 -DSTAGE="$PWD/$stage" -DOUTFILE="$PWD/$setup" "$build/packaging/kesmora.nsi"
  cp "$build/kesmora-windows-x64.zip" "$out/"
  version=$(sed -n 's/^!define APP_VERSION "\(.*\)"$/\1/p' "$build/packaging/kesmora.nsi")
  echo "package: $setup"
}

# What `reg query` prints of one value. Under load Wine's reg.exe now and
# then fails with nothing printed (seen once in CI: DisplayVersion read as
# absent just after DisplayName of the same key was read); a value that is
# really absent fails every try.
reg_query() {
  local out try
  for try in 1 2 3; do
    out=$("$wine" reg query "$1" /v "$2" 2>/dev/null </dev/null) && break
    out=
  done
  tr -d '\r' <<<"$out"
}

# One value of a registry key, as `reg query` prints it.
reg_value() {
  reg_query "$1" "$2" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# A value with its type ("REG_SZ text"), empty when there is none.
reg_entry() {
  reg_query "$1" "$2" | sed -n "s/^ *$2 *\(REG_[A-Z_]*\) */\1 /p"
}

# What a new console answers to `kesmora-cli --version`, found through PATH.
by_name() {
  "$wine" cmd /c kesmora-cli.exe --version </dev/null 2>/dev/null | tr -d '\r'
}

# A folder of the prefix by its Windows variable (%APPDATA%), as a Unix path.
wine_folder() {
  winepath -u "$("$wine" cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null
}

# One install and uninstall in a mode; env is the key of the mode's PATH,
# path "adds" when the installer should add its folder there, "keeps" when
# it should leave PATH alone.
check_windows_mode() {
  local mode=$1 root=$2 programs=$3 env=$4 path=$5
  local key="$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kesmora"
  local path_before
  path_before=$(reg_entry "$env" Path)
  [ "$(by_name)" != "kesmora-cli $version" ] || fail "$mode: kesmora-cli.exe runs by name before the install"
  "$wine" "$setup" /S "/$mode" </dev/null >/dev/null 2>&1 || fail "$mode: the installer failed"

  local name
  for name in DisplayName DisplayVersion Publisher DisplayIcon UninstallString QuietUninstallString; do
    [ -n "$(reg_value "$key" "$name")" ] || fail "$mode: no $name in $key"
  done
  [ "$(reg_value "$key" DisplayVersion)" = "$version" ] || fail "$mode: DisplayVersion is not $version"
  local dir_win dir
  dir_win=$(reg_value "$key" InstallLocation)
  dir=$(winepath -u "$dir_win" 2>/dev/null)
  case "$mode:$dir_win" in
    CurrentUser:*'\AppData\Local\Programs\Kesmora' | AllUsers:*'\Program Files\Kesmora') ;;
    *) fail "$mode: installed into $dir_win" ;;
  esac
  for name in kesmora.exe kesmora-cli.exe README.txt uninstall.exe; do
    [ -f "$dir/$name" ] || fail "$mode: no $name in $dir_win"
  done
  [ -f "$programs/Visual C++ Kesmora.lnk" ] || fail "$mode: no Start menu entry in $programs"
  local path_now path_want=$path_before
  path_now=$(reg_entry "$env" Path)
  if [ "$path" = adds ]; then
    # The user's entries as they were (the type too), the folder after them.
    case "$path_before" in
      '') path_want="REG_SZ $dir_win" ;;
      *';') path_want="$path_before$dir_win;" ;;
      *) path_want="$path_before;$dir_win" ;;
    esac
    [ "$(by_name)" = "kesmora-cli $version" ] || fail "$mode: kesmora-cli.exe does not run by name"
  fi
  [ "$path_now" = "$path_want" ] || fail "$mode: PATH is \"$path_now\", not \"$path_want\""

  local said tree
  said=$("$wine" "$dir/kesmora-cli.exe" --version </dev/null 2>/dev/null | tr -d '\r')
  [ "$said" = "kesmora-cli $version" ] || fail "$mode: installed kesmora-cli.exe --version: $said"
  tree=$(mktemp -d)
  mkdir "$tree/Debug"
  touch "$tree/Debug/App.obj" "$tree/notes.txt"
  said=$("$wine" "$dir/kesmora-cli.exe" --bytes "$(winepath -w "$tree")" </dev/null 2>/dev/null | tr -d '\r' | cut -f1)
  rm -rf "$tree"
  [[ "$said" == *'\Debug\App.obj' ]] && [ "$(wc -l <<<"$said")" -eq 1 ] ||
    fail "$mode: installed kesmora-cli.exe found: $said"

  # Run as Windows runs it from the installed apps; the uninstaller hands
  # over to a copy of itself and returns at once, so wait for its work.
  local quiet exe
  quiet=$(reg_value "$key" QuietUninstallString)
  exe=$(sed -n 's/^"\([^"]*\)".*/\1/p' <<<"$quiet")
  "$wine" "$(winepath -u "$exe")" /S </dev/null >/dev/null 2>&1 || fail "$mode: the uninstaller failed"
  local waited=0
  while [ -e "$dir" ] || [ -e "$programs/Visual C++ Kesmora.lnk" ]; do
    [ "$waited" -lt 600 ] || fail "$mode: after a minute, still there: $(ls "$dir" "$programs" 2>&1)"
    sleep 0.1
    waited=$((waited + 1))
  done
  "$wine" reg query "$key" </dev/null >/dev/null 2>&1 && fail "$mode: $key is still there"
  path_now=$(reg_entry "$env" Path)
  [ "$path_now" = "$path_before" ] || fail "$mode: PATH after the uninstall is \"$path_now\""
  [ "$(reg_value 'HKCU\Software\tavoApp\VcppKesmora\Controls' Bsc)" = 0x1 ] ||
    fail "$mode: the uninstaller took the user's settings"
  echo "package: installer, $mode: installs, runs ($path PATH) and uninstalls, the settings kept"
}

check_windows() {
  source scripts/wine.sh
  wine_start
  # No menu entries in this machine's own desktop for the prefix's shortcuts.
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
  # The user's settings, as the window leaves them.
  "$wine" reg add 'HKCU\Software\tavoApp\VcppKesmora\Controls' /v Bsc /t REG_DWORD /d 1 /f \
    </dev/null >/dev/null 2>&1
  local user_programs all_programs
  user_programs="$(wine_folder APPDATA)/Microsoft/Windows/Start Menu/Programs"
  all_programs="$(wine_folder ProgramData)/Microsoft/Windows/Start Menu/Programs"
  local user_env='HKCU\Environment'
  local machine_env='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
  # Wine's user is an administrator: the default is all users. A fresh
  # prefix's user has no PATH of their own (an older Windows's case); then
  # one as Windows 10 gives a user, ending in a separator. The machine's
  # holds %variables%.
  check_windows_mode CurrentUser HKCU "$user_programs" "$user_env" adds
  "$wine" reg add "$user_env" /v Path /t REG_EXPAND_SZ \
    /d '%USERPROFILE%\AppData\Local\Microsoft\WindowsApps;' /f </dev/null >/dev/null 2>&1
  check_windows_mode CurrentUser HKCU "$user_programs" "$user_env" adds
  check_windows_mode AllUsers HKLM "$all_programs" "$machine_env" adds
  # A PATH longer than the installer's strings hold is left as it is, not
  # cut short.
  local long
  long="%USERPROFILE%\bin$(printf ';C:\\tools\\%04d' $(seq 100))"
  "$wine" reg add "$user_env" /v Path /t REG_EXPAND_SZ /d "$long" /f </dev/null >/dev/null 2>&1
  [ "$(reg_value "$user_env" Path)" = "$long" ] || fail "could not set a long PATH"
  check_windows_mode CurrentUser HKCU "$user_programs" "$user_env" keeps
}

if wants deb; then
  build_deb
  [ "$check" -eq 0 ] || check_deb
fi
if wants windows; then
  build_windows
  [ "$check" -eq 0 ] || check_windows
fi
