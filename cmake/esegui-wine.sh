#!/bin/sh
# Runs a cross-built Windows program of the build under wine, in the build's
# one prefix, so every test start finds it warm: the prefix is made once,
# and its wineserver lingers a minute after the last program ends.
# Usage: esegui-wine.sh win32|win64 PREFIX PROGRAM [ARGUMENTS...]
#
# A win64 prefix runs 64-bit programs through Wine's 64-bit loader directly:
# Debian's `wine` starts its 32-bit one first, which a host without 32-bit
# programs cannot run.
#
# The program's output goes through a file: the services Wine starts with a
# program inherit its standard output and outlive it, and a reader waiting
# for the end of a pipe (ctest) would wait for them.
set -u
architettura=$1
prefisso=$2
shift 2
export WINEPREFIX="$prefisso" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH="$architettura"
registro="$prefisso.log"
. "$(dirname "$0")/caricatore-wine.sh"
caricatore=$(caricatore_wine "$architettura") || exit 1

(
  flock 9
  if [ ! -f "$prefisso/.pronto" ]; then
    rm -rf "$prefisso"
    mkdir -p "$prefisso"
    # Without the lock's descriptor: the server and the services wineboot
    # starts outlive this block, and would hold the lock, so every other
    # start waited for them to end.
    wineserver -p60 9>&-
    "$caricatore" wineboot --init 9>&- && touch "$prefisso/.pronto"
  fi
) 9>"$prefisso.lock" </dev/null >>"$registro" 2>&1
if [ ! -f "$prefisso/.pronto" ]; then
  echo "wineboot --init failed in $prefisso; Wine said:" >&2
  tail -n 8 "$registro" >&2
  exit 1
fi

# Already running: it says so and leaves the running one be.
wineserver -p60 </dev/null >/dev/null 2>&1

uscita=$(mktemp "$prefisso.out.XXXXXX")
"$caricatore" "$@" </dev/null >"$uscita" 2>&1
esito=$?
cat "$uscita"
rm -f "$uscita"
exit $esito
