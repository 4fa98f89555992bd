#!/bin/sh
# The Windows installer and zip as a user gets them: their names, sizes and
# contents; then the installer run silently (/S) under wine in a fresh
# prefix, a --wine sandbox: per user, into %LOCALAPPDATA%\Programs\CompilaWexo,
# with its Start-menu entry; the installed compilawexo-batch.exe tells its
# version and makes a backup of the suite; its settings file lies beside the
# install folder; the uninstaller removes the programs and leaves it.
#
#   tests/installazione/windows.sh WINDOWS_BUILD LINUX_BIN WORK
# WINDOWS_BUILD: the windows preset's build folder, holding
# CompilaWexo-X.Y.Z-win32.exe and .zip (the package-windows workflow preset
# makes them; -win64 from the windows-x64 one, tested in a win64 prefix);
# LINUX_BIN: the Linux build's bin folder (wexo-sandbox); WORK: a scratch
# folder, made anew. Exit 77 (skipped) without wine, outside CI, or for a
# 32-bit installer on a kernel that runs no 32-bit programs.
set -u
# Every step has a limit (timeout): a hung Wine must not hang CI.
windows=$1 linux=$2
# Wine wants the prefix as an absolute path.
lavoro=$(realpath -m "$3")

salta() {
  if [ -n "${CI:-}" ]; then echo "FAILED: $1" >&2; exit 1; fi
  echo "SKIPPED: $1" >&2
  exit 77
}
fallito() {
  echo "FAILED: $*" >&2
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  exit 1
}
# A text of a version resource, in UTF-16: the key, its NUL, maybe padding,
# then a value starting so.
risorsa() {  # file chiave inizio
  k=$(printf '%s' "$2" | sed 's/./&\\x00/g') v=$(printf '%s' "$3" | sed 's/./&\\x00/g')
  LC_ALL=C grep -qaP "$k\\x00\\x00(\\x00\\x00)?$v" "$1"
}

set -- "$windows"/CompilaWexo-*-win32.exe "$windows"/CompilaWexo-*-win64.exe
for f in "$@"; do [ -f "$f" ] && installatore=$(realpath "$f"); done
[ -n "${installatore:-}" ] || fallito "no CompilaWexo-*-win32.exe or -win64.exe in $windows"
zip=${installatore%.exe}.zip
sistema=${installatore##*-}
sistema=${sistema%.exe}
versione=${installatore##*/CompilaWexo-}
versione=${versione%-"$sistema".exe}
[ -f "$zip" ] || fallito "no ${zip##*/} beside ${installatore##*/}"
for f in "$installatore" "$zip"; do echo "${f##*/}: $(stat -c %s "$f") bytes"; done

# The zip's folder has no version: a newer one unpacked over it keeps the
# settings file beside it, named after the folder.
contenuto=$(cmake -E tar tf "$zip")
for file in compilawexo.exe compilawexo-batch.exe compilawexo-agente.exe LICENSE.txt doc/README.md doc/CHANGELOG.md \
    doc/docs/settings.md; do
  printf '%s\n' "$contenuto" | grep -qxF "CompilaWexo/$file" || fallito "CompilaWexo/$file is not in ${zip##*/}"
done
# The installer's own version resource.
for chiave in ProductVersion FileVersion; do
  risorsa "$installatore" $chiave "$versione" || fallito "${installatore##*/}: no $chiave $versione"
done
risorsa "$installatore" CompanyName Orbalis || fallito "${installatore##*/}: no CompanyName"
if printf '%s\n' "$contenuto" | grep -E '_tests\.exe$|standin-'; then
  fallito "test programs in ${zip##*/}"
fi

. "$(dirname "$0")/../../cmake/caricatore-wine.sh"
architettura=$(architettura_programma "$installatore")
if [ "$architettura" = win32 ] && ! perche=$("$(dirname "$0")/../../cmake/esegue-32bit.sh"); then
  echo "SKIPPED: the installer is 32-bit and $perche" >&2
  exit 77
fi
wine=$(caricatore_wine "$architettura") || salta "no Wine loader for $architettura"
[ -x "$linux/wexo-sandbox" ] || salta "no Linux build in $linux"
arch=x86
[ "$architettura" = win64 ] && arch=x64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset COMPILAWEXO_IMPOSTAZIONI
[ -d "$lavoro/prefisso" ] && WINEPREFIX="$lavoro/prefisso" wineserver -k 2>/dev/null
rm -rf "$lavoro"
mkdir -p "$lavoro"
# The Windows build's own stand-ins, of the installer's bitness.
timeout 300 "$linux/wexo-sandbox" "$lavoro/prefisso" --wine --arch $arch --windows "$windows/bin" >"$lavoro/sandbox.log" 2>&1 ||
  { cat "$lavoro/sandbox.log"; fallito "no Wine prefix could be made"; }
# No lingering wineserver: "wineserver -w" waits for the programs that a
# program left running (the uninstaller runs a copy of itself).
export WINEPREFIX="$lavoro/prefisso"

# Through files, not pipes: Wine's services inherit the output and outlive
# the program.
timeout 300 "$wine" "$installatore" /S >"$lavoro/installa.log" 2>&1 </dev/null || { cat "$lavoro/installa.log"; fallito "the installer"; }
timeout 120 wineserver -w
set -- "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/CompilaWexo
cartella=$1
[ -f "$cartella/compilawexo-batch.exe" ] || fallito "nothing installed in %LOCALAPPDATA%\\Programs\\CompilaWexo"
echo "installed in ${cartella#"$WINEPREFIX/"}: $(cd "$cartella" && echo *)"
set -- "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs/CompilaWexo/*.lnk
voce=$1
[ -f "$voce" ] || fallito "no Start-menu entry"
collegamenti=$(for l in "$@"; do printf '"%s" ' "${l##*/}"; done)
echo "Start menu: $collegamenti"
case "$collegamenti" in *'"Compilazione Batch Orbalis.lnk"'*) ;; *) fallito "no Start-menu entry for the window" ;; esac
timeout 120 "$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\CompilaWexo' >"$lavoro/registro.txt" 2>&1 ||
  fallito "no uninstall entry for the user"
for valore in DisplayIcon EstimatedSize DisplayVersion; do
  grep -q "$valore" "$lavoro/registro.txt" || fallito "the uninstall entry has no $valore"
done
[ -f "$cartella/LICENSE.txt" ] || fallito "no LICENSE.txt installed"
for programma in compilawexo compilawexo-batch compilawexo-agente; do
  for chiave in FileVersion ProductVersion; do
    risorsa "$cartella/$programma.exe" $chiave "$versione" || fallito "$programma.exe: no $chiave $versione"
  done
  risorsa "$cartella/$programma.exe" ProductName CompilaWexo || fallito "$programma.exe: no ProductName"
  risorsa "$cartella/$programma.exe" FileDescription Compila || fallito "$programma.exe: no FileDescription"
  risorsa "$cartella/$programma.exe" CompanyName Orbalis || fallito "$programma.exe: no CompanyName"
  risorsa "$cartella/$programma.exe" LegalCopyright Copyright || fallito "$programma.exe: no LegalCopyright"
done
# The window answers on the output it was given, before any window; an
# unknown option is refused with 64.
timeout 120 "$wine" "$cartella/compilawexo.exe" --version >"$lavoro/finestra.out" 2>&1 </dev/null ||
  fallito "compilawexo.exe --version ended with $?"
[ "$(tr -d '\r' <"$lavoro/finestra.out")" = "compilawexo $versione" ] ||
  fallito "compilawexo.exe --version printed: $(cat "$lavoro/finestra.out")"
timeout 120 "$wine" "$cartella/compilawexo.exe" --sconosciuta >"$lavoro/finestra.out" 2>&1 </dev/null
stato=$?
[ $stato -eq 64 ] || fallito "compilawexo.exe --sconosciuta ended with $stato, not 64"

esegui() {  # nome argomenti...
  nome=$1
  shift
  timeout 300 "$wine" "$cartella/compilawexo-batch.exe" "$@" >"$lavoro/$nome.out" 2>&1 </dev/null
  stato=$?
  tr -d '\r' <"$lavoro/$nome.out" >"$lavoro/$nome.txt"
  [ $stato -eq 0 ] || { tail -20 "$lavoro/$nome.txt" >&2; fallito "compilawexo-batch.exe $* ended with $stato"; }
}
esegui versione --version
[ "$(cat "$lavoro/versione.txt")" = "compilawexo-batch $versione" ] ||
  fallito "compilawexo-batch.exe --version printed: $(cat "$lavoro/versione.txt")"
echo "installed compilawexo-batch.exe --version: $(cat "$lavoro/versione.txt")"
esegui backup backup
righe=$(grep -c '^Backup di .* in corso\.\.\. OK!$' "$lavoro/backup.txt")
[ "$righe" -eq 148 ] || fallito "the installed backup made $righe rows, not 148"
[ -f "$WINEPREFIX/drive_c/Progetti VB/Wexo/Utilita/Utilita.vbp_1" ] || fallito "no backup copy on the drive"
esegui impostazioni versione --principale 1 --secondario 0 --revisione 0
ini="${cartella}WexoUty.ini"
grep -q '^Principale=1' "$ini" || fallito "no settings file beside the install folder (${ini#"$WINEPREFIX/"})"
echo "installed backup: $righe rows; settings in ${ini#"$WINEPREFIX/"}"

timeout 300 "$wine" "$cartella/Uninstall.exe" /S >"$lavoro/disinstalla.log" 2>&1 </dev/null || fallito "the uninstaller"
timeout 120 wineserver -w
[ ! -e "$cartella/compilawexo-batch.exe" ] || fallito "the uninstaller left the programs"
[ ! -e "$voce" ] || fallito "the uninstaller left the Start-menu entry"
grep -q '^Principale=1' "$ini" || fallito "the uninstaller removed the settings file"
echo "uninstalled; the settings file stays"
wineserver -k 2>/dev/null
exit 0
