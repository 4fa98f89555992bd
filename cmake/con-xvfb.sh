#!/bin/sh
# Runs a command (a window test under wine) on a display of its own: a fresh
# Xvfb on a free display, ended with the command. Without Xvfb the command
# gets the caller's DISPLAY, or none, and says what it makes of that.
set -u
if command -v Xvfb >/dev/null 2>&1; then
  numero=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numero" </dev/null >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null; rm -f "$numero"' EXIT
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
