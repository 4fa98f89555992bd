#!/bin/sh
# Runs a cross-built Windows program of the build under wine, in the build's
# one prefix (the first argument), so every test start finds it warm: the
# prefix is made once, and its wineserver lingers a minute after the last
# program ends.
#
# The program's output goes through a file: the services Wine starts with a
# program inherit its standard output and outlive it, and a reader waiting
# for the end of a pipe (ctest) would wait for them.
set -u
prefisso=$1
shift
export WINEPREFIX="$prefisso" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
registro="$prefisso.log"

(
  flock 9
  if [ ! -f "$prefisso/.pronto" ]; then
    rm -rf "$prefisso"
    mkdir -p "$prefisso"
    export WINEARCH=win32
    # Without the lock's descriptor: the server and the services wineboot
    # starts outlive this block, and would hold the lock, so every other
    # start waited for them to end.
    wineserver -p60 9>&-
    wineboot --init 9>&- && touch "$prefisso/.pronto"
  fi
) 9>"$prefisso.lock" </dev/null >>"$registro" 2>&1
[ -f "$prefisso/.pronto" ] || { echo "wineboot --init failed in $prefisso (see $registro)" >&2; exit 1; }

# Already running: it says so and leaves the running one be.
wineserver -p60 </dev/null >/dev/null 2>&1

uscita=$(mktemp "$prefisso.out.XXXXXX")
wine "$@" </dev/null >"$uscita" 2>&1
esito=$?
cat "$uscita"
rm -f "$uscita"
exit $esito
