# Sourced, not run: `source scripts/wine.sh; wine_start`. Gives this shell a
# fresh 64-bit Wine prefix of its own (no registry values or files from an
# earlier run, nothing of the user's own Wine touched), with a persistent
# wineserver, and stops the server and removes the prefix when the shell
# exits. $wine is the 64-bit loader.
wine=/usr/lib/wine/wine64

wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  [ -n "${WINEPREFIX:-}" ] && rm -rf "$WINEPREFIX"
}

wine_start() {
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kesmora-wine.XXXXXX")
  export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  trap wine_stop EXIT
  wineboot -i >/dev/null 2>&1 </dev/null
  # Test set-up only: Wine's UI face has no Japanese glyphs; a Windows
  # machine links its own. IPA Gothic comes from fonts-ipafont-gothic.
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1 </dev/null
  # A persistent server and one program run first, with their output away
  # from ctest's pipes: otherwise Wine's helpers (started by the first
  # program) hold ctest's output pipe open and every test waits seconds for
  # it, or forever. (wineboot's server may still be up, which -p reports as
  # a failure.)
  wineserver -p >/dev/null 2>&1 </dev/null || true
  "$wine" cmd /c exit >/dev/null 2>&1 </dev/null

  # ctest sees failures only through exit codes: make sure Wine passes a
  # program's own code through before trusting a green run.
  local code=0
  "$wine" cmd /c exit 3 >/dev/null 2>&1 </dev/null || code=$?
  if [ "$code" -ne 3 ]; then
    echo "wine: Wine turned exit code 3 into $code" >&2
    return 1
  fi
}
