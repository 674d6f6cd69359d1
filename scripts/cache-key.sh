# Sourced by the scripts that build something once into a cache keyed by
# what it is made from (wxmsw.sh, gtest-mingw.sh).
#
# use_cache_or_lock PREFIX READY...: when the command READY (with its
# arguments) says PREFIX is complete, prints PREFIX and ends the calling
# script. Otherwise takes the key's lock, waiting while another caller (CI's
# early start, another clone) builds the same key, and looks again, so the
# waiter takes that build's result; returns, holding the lock on descriptor
# 9 until the script ends, when the caller must build.
use_cache_or_lock() {
  local prefix=$1
  shift
  if "$@"; then
    echo "$prefix"
    exit 0
  fi
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if "$@"; then
    echo "$prefix"
    exit 0
  fi
}
