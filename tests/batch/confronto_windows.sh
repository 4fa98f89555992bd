#!/bin/sh
# The batch mode on Windows writes what it writes on Linux: one --wine
# sandbox, copied; the Linux batch mode runs on one copy, compilawexo-batch.exe
# under wine on the other, the same commands; then the two drives must hold
# the same bytes, the two runs print the same lines and end with the same
# statuses, and the two settings files hold the same bytes: on Linux the
# suite's, in the prefix ("C:\Programmi\CompilaWexo\WexoUty.ini"), on Windows
# the one beside the program's folder.
#
#   confronto_windows.sh LINUX_BIN WINDOWS_BIN WORK
# LINUX_BIN: the Linux build's bin folder (compilawexo-batch, wexo-sandbox and
# its windows/ folder); WINDOWS_BIN: the Windows build's (compilawexo-batch.exe,
# compilawexo-agente.exe). Exit 77 (skipped) without the Linux build or
# wine, outside CI.
set -u
linux=$1 windows=$2 lavoro=$3

salta() {
  if [ -n "${CI:-}" ]; then echo "FAILED: $1" >&2; exit 1; fi
  echo "SKIPPED: $1" >&2
  exit 77
}
[ -x "$linux/compilawexo-batch" ] && [ -x "$linux/wexo-sandbox" ] || salta "no Linux build in $linux"
. "$(dirname "$0")/../../cmake/caricatore-wine.sh"
# The Windows build's bitness rules: its stand-ins make the sandbox, its
# agent serves the Linux side too, and a 64-bit one runs in a win64 prefix.
architettura=$(architettura_programma "$windows/compilawexo-batch.exe")
wine=$(caricatore_wine "$architettura") || salta "no Wine loader for $architettura"
arch=x86
[ "$architettura" = win64 ] && arch=x64

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset COMPILAWEXO_IMPOSTAZIONI
for p in "$lavoro/linux" "$lavoro/windows"; do
  [ -d "$p/prefisso" ] && WINEPREFIX="$p/prefisso" wineserver -k 2>/dev/null
done
rm -rf "$lavoro"
mkdir -p "$lavoro/linux/bin" "$lavoro/windows/bin"
"$linux/wexo-sandbox" "$lavoro/linux/prefisso" --wine --arch $arch --windows "$windows" >"$lavoro/sandbox.log" 2>&1 ||
  { cat "$lavoro/sandbox.log"; salta "no Wine prefix could be made"; }
WINEPREFIX="$lavoro/linux/prefisso" wineserver -w
cp -a "$lavoro/linux/prefisso" "$lavoro/windows/prefisso"

# Each program in a folder of its own: the Windows one's settings file lies
# beside it.
cp "$linux/compilawexo-batch" "$lavoro/linux/bin/"
mkdir -p "$lavoro/linux/bin/windows"
cp "$windows/compilawexo-agente.exe" "$lavoro/linux/bin/windows/"
cp "$windows/compilawexo-batch.exe" "$windows/compilawexo-agente.exe" "$lavoro/windows/bin/"

# Through files, not pipes: Wine's services inherit the output and outlive
# the program.
esegui() {  # lato nome comando...
  lato=$1 nome=$2
  shift 2
  if [ "$lato" = linux ]; then
    WINEPREFIX="$lavoro/linux/prefisso" "$lavoro/linux/bin/compilawexo-batch" "$@" >"$lavoro/$lato/$nome.out" 2>&1 </dev/null
  else
    WINEPREFIX="$lavoro/windows/prefisso" "$wine" "$lavoro/windows/bin/compilawexo-batch.exe" "$@" >"$lavoro/$lato/$nome.out" 2>&1 </dev/null
  fi
  echo $? >>"$lavoro/$lato/stati"
  # The console's line ends are the platform's own; the note of Wine's first
  # start is a matter of timing, not of the run.
  tr -d '\r' <"$lavoro/$lato/$nome.out" | grep -v "^Avvio di Wine nel prefisso '" >"$lavoro/$lato/$nome.txt"
}
for lato in linux windows; do
  WINEPREFIX="$lavoro/$lato/prefisso" wineserver -p
  esegui $lato tutto tutto binaria --principale 1 --secondario 2 --revisione 3
  esegui $lato vbg vbg
  esegui $lato indirizzi indirizzi --sovrapposizioni
  esegui $lato proprieta proprieta --commenti "Già così" --copyright "© Orbalis" --prodotto Wexo --societa Orbalis
  WINEPREFIX="$lavoro/$lato/prefisso" wineserver -k
done

stato=0
# The full run built every row, on Windows through the stand-in started with CreateProcess.
righe=$(grep -c ') Compilazione .* in corso\.\.\. OK!$' "$lavoro/windows/tutto.txt")
if [ "$righe" -ne 148 ]; then
  echo "FAILED: the Windows full run built $righe rows, not 148" >&2
  stato=1
fi
ini_linux="$lavoro/linux/prefisso/drive_c/Programmi/CompilaWexo/WexoUty.ini"
ini_windows="$lavoro/windows/binWexoUty.ini"
if ! cmp "$ini_linux" "$ini_windows" >&2; then
  echo "FAILED: the settings files differ" >&2
  stato=1
fi
[ -e "$lavoro/windows/prefisso/drive_c/Programmi/CompilaWexo" ] && {
  echo "FAILED: the Windows batch mode wrote into C:\Programmi\CompilaWexo" >&2
  stato=1
}
# The Linux one is the only difference the drives may show.
rm -f "$ini_linux"
rmdir "${ini_linux%/*}" 2>/dev/null
for nome in stati tutto.txt vbg.txt indirizzi.txt proprieta.txt; do
  if ! cmp -s "$lavoro/linux/$nome" "$lavoro/windows/$nome"; then
    echo "FAILED: $nome differs:" >&2
    diff "$lavoro/linux/$nome" "$lavoro/windows/$nome" | head -20 >&2
    stato=1
  fi
done
# Everything the runs wrote on the two drives, Wine's own folders aside.
for unita in drive_c drive_d; do
  if ! diff -r -x windows -x users -x ProgramData -x 'Program Files*' \
      "$lavoro/linux/prefisso/$unita" "$lavoro/windows/prefisso/$unita" >"$lavoro/$unita.diff" 2>&1; then
    echo "FAILED: $unita differs:" >&2
    head -20 "$lavoro/$unita.diff" >&2
    stato=1
  fi
done
[ $stato -eq 0 ] && echo "the same: $(wc -l <"$lavoro/linux/tutto.txt") lines of the full run, statuses $(tr '\n' ' ' <"$lavoro/linux/stati")"
exit $stato
