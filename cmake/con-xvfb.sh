#!/bin/sh
# Runs a command (a window test under wine) on a display of its own: a fresh
# Xvfb on a free display, ended with the command. Without Xvfb the command
# gets the caller's DISPLAY, or none, and says what it makes of that.
#   con-xvfb.sh [--prefisso-wine DIR] command...
# With a Wine prefix, its wineserver is ended before the display: Wine's
# desktop process of that prefix holds the display, and one left over a
# display that is gone makes every later window fail.
set -u
prefisso=
if [ "${1:-}" = --prefisso-wine ]; then
  prefisso=$2
  shift 2
fi
fine() {
  [ -n "$prefisso" ] && WINEPREFIX="$prefisso" wineserver -k </dev/null >/dev/null 2>&1
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -f "${numero:-}"
}
if command -v Xvfb >/dev/null 2>&1; then
  numero=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numero" </dev/null >/dev/null 2>&1 &
  xvfb=$!
  trap 'fine' EXIT
  i=0
  while [ ! -s "$numero" ] && [ $i -lt 100 ]; do
    sleep 0.1
    i=$((i + 1))
  done
  [ -s "$numero" ] || { echo "Xvfb did not start" >&2; exit 1; }
  DISPLAY=:$(head -n1 "$numero")
  export DISPLAY
fi
"$@"
esito=$?
exit $esito
