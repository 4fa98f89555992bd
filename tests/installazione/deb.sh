#!/bin/sh
# The Debian package as a user gets it: its name, size, control fields and
# contents; then the installed programs, run from where the package put
# them: their version, and a full run on a sandbox made by the installed
# sandbox maker with the installed stand-ins.
#
#   tests/installazione/deb.sh BUILD WORK
# BUILD: the build folder holding compilawexo_X.Y.Z_amd64.deb (the package
# workflow preset makes it); WORK: a scratch folder, made anew. In CI (CI
# set) the package is installed with apt-get, as a user would install it;
# elsewhere it is unpacked into WORK and the programs run from there, which
# they can because they find their helpers by their own location.
set -u
build=$1 lavoro=$2

fallito() {
  echo "FAILED: $*" >&2
  exit 1
}

set -- "$build"/compilawexo_*_amd64.deb
[ $# -eq 1 ] && [ -f "$1" ] || fallito "not one compilawexo_*_amd64.deb in $build"
deb=$(realpath "$1")
versione=$(dpkg-deb -f "$deb" Version)
[ "${deb##*/}" = "compilawexo_${versione}_amd64.deb" ] || fallito "${deb##*/} is not named after its version $versione"
echo "${deb##*/}: $(stat -c %s "$deb") bytes"
dpkg-deb -I "$deb"

# What dpkg-shlibdeps found: Qt and libxdo at least; Wine only recommended.
dipendenze=$(dpkg-deb -f "$deb" Depends)
for libreria in libqt6widgets6 libxdo3 libc6; do
  case "$dipendenze" in *"$libreria"*) ;; *) fallito "Depends lacks $libreria: $dipendenze" ;; esac
done
# wine64 where the Windows programs were built for x86-64.
case "$(dpkg-deb -f "$deb" Recommends)" in
  "wine, wine32:i386" | "wine, wine64") ;;
  *) fallito "Recommends: $(dpkg-deb -f "$deb" Recommends)" ;;
esac
# Nothing to run at install or removal: no ldconfig for a private stand-in.
controllo=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t) || fallito "dpkg-deb --ctrl-tarfile $deb"
if printf '%s\n' "$controllo" | grep -E '(preinst|postinst|prerm|postrm)$'; then
  fallito "maintainer scripts in the package"
fi

# Reproducible: every file has one time, the last commit's, whenever it was
# built.
tempi=$(dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time | awk '{ print $4, $5 }' | sort -u)
[ "$(printf '%s\n' "$tempi" | wc -l)" -eq 1 ] || fallito "the files' times are not clamped to one: $tempi"
contenuto=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for file in usr/bin/compilawexo usr/bin/compilawexo-batch usr/bin/wexo-sandbox \
    usr/lib/compilawexo/compilawexo-regworker usr/lib/compilawexo/standin-vb6 usr/lib/compilawexo/standin-notepad \
    usr/lib/compilawexo/standin-component.so usr/lib/compilawexo/standin-exeserver \
    usr/lib/compilawexo/windows/compilawexo-agente.exe \
    usr/lib/compilawexo/windows/standin-vb6.exe usr/lib/compilawexo/windows/standin-component.dll \
    usr/share/man/man1/compilawexo-batch.1.gz usr/share/man/man1/compilawexo.1.gz \
    usr/share/man/man1/wexo-sandbox.1.gz usr/share/doc/compilawexo/copyright usr/share/doc/compilawexo/changelog.gz \
    usr/share/bash-completion/completions/compilawexo-batch \
    usr/share/applications/compilawexo.desktop usr/share/icons/hicolor/scalable/apps/compilawexo.svg \
    usr/share/doc/compilawexo/README.md usr/share/doc/compilawexo/docs/settings.md; do
  printf '%s\n' "$contenuto" | grep -qxF "./$file" || fallito "$file is not in the package"
done
if printf '%s\n' "$contenuto" | grep -E '_tests$|/cw_|bench|-(blocca|errore|crash|vuota|esce)\.'; then
  fallito "test programs in the package"
fi

rm -rf "$lavoro"
mkdir -p "$lavoro"
if [ -n "${CI:-}" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  DEBIAN_FRONTEND=noninteractive timeout 600 $sudo apt-get install -y --reinstall --no-install-recommends "$deb" ||
    fallito "apt-get install $deb"
  radice=""
  [ "$(command -v compilawexo-batch)" = /usr/bin/compilawexo-batch ] || fallito "compilawexo-batch is not /usr/bin's"
else
  dpkg-deb -x "$deb" "$lavoro/radice" || fallito "dpkg-deb -x $deb"
  radice=$lavoro/radice
fi
bin=$radice/usr/bin
ausiliari=$radice/usr/lib/compilawexo

# The licence, and the changelog's latest entry is this version.
grep -q '^License: Expat$' "$radice/usr/share/doc/compilawexo/copyright" || fallito "copyright names no Expat licence"
zcat "$radice/usr/share/doc/compilawexo/changelog.gz" | head -1 | grep -qF "compilawexo ($versione) " ||
  fallito "changelog.gz does not start with $versione"
# The completion loads and completes the commands the help names.
completamenti=$(bash -c '. "$1" && COMP_WORDS=(compilawexo-batch tu) COMP_CWORD=1 && _compilawexo_batch &&
  echo "${COMPREPLY[*]}"' _ "$radice/usr/share/bash-completion/completions/compilawexo-batch")
[ "$completamenti" = tutto ] || fallito "the bash completion of \"compilawexo-batch tu\" gave: $completamenti"
# Stripped: the debug sections' names go with the string table.
for programma in "$ausiliari"/windows/*.exe "$ausiliari"/windows/*.dll; do
  ! grep -qa '\.debug_info' "$programma" || fallito "$programma keeps its debug sections"
done

# Without a display (the window's too), on standard output, status 0; an
# unknown option on standard error with the usage status, 64.
for programma in compilawexo-batch compilawexo wexo-sandbox; do
  risposta=$(timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY "$bin/$programma" --version </dev/null 2>&1)
  [ "$risposta" = "$programma $versione" ] || fallito "$programma --version printed: $risposta"
  echo "$bin/$programma --version: $risposta"
  timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY "$bin/$programma" --help </dev/null >"$lavoro/aiuto" 2>"$lavoro/errori" ||
    fallito "$programma --help ended with $?: $(cat "$lavoro/errori")"
  [ -s "$lavoro/aiuto" ] && [ ! -s "$lavoro/errori" ] || fallito "$programma --help: not only on standard output"
  timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY "$bin/$programma" --sconosciuta </dev/null >"$lavoro/aiuto" 2>"$lavoro/errori"
  stato=$?
  [ $stato -eq 64 ] && [ ! -s "$lavoro/aiuto" ] && [ -s "$lavoro/errori" ] ||
    fallito "$programma --sconosciuta ended with $stato, not 64 with a line on standard error"
  # The page of each program, of this version, with every section.
  pagina=$(zcat "$radice/usr/share/man/man1/$programma.1.gz")
  printf '%s\n' "$pagina" | head -1 | grep -q "^\.TH [A-Z-]* 1 \"[0-9-]*\" \"$programma $versione\"" ||
    fallito "the man page of $programma does not name its version"
  for sezione in NAME SYNOPSIS DESCRIPTION OPTIONS '"EXIT STATUS"' ENVIRONMENT FILES EXAMPLES; do
    printf '%s\n' "$pagina" | grep -qxF ".SH $sezione" || fallito "the man page of $programma lacks $sezione"
  done
done

timeout 300 "$bin/wexo-sandbox" "$lavoro/sandbox" --link "VB6.EXE=$ausiliari/standin-vb6" \
  --link "notepad.exe=$ausiliari/standin-notepad" >"$lavoro/sandbox.log" 2>&1 ||
  { cat "$lavoro/sandbox.log" >&2; fallito "the installed wexo-sandbox"; }
timeout 600 env -u COMPILAWEXO_IMPOSTAZIONI WINEPREFIX="$lavoro/sandbox" "$bin/compilawexo-batch" tutto binaria \
  --principale 1 --secondario 0 --revisione 0 >"$lavoro/tutto.txt" 2>&1 </dev/null
stato=$?
# 0 also says the run's last step, the first component registered from its
# deployed copy, found the registration worker in the package's lib folder.
[ $stato -eq 0 ] || { tail -20 "$lavoro/tutto.txt" >&2; fallito "the installed full run ended with $stato"; }
righe=$(grep -c ') Compilazione .* in corso\.\.\. OK!$' "$lavoro/tutto.txt")
[ "$righe" -eq 148 ] || fallito "the installed full run built $righe rows, not 148"
[ "$(tail -1 "$lavoro/tutto.txt")" = Pronto ] || fallito "the installed full run did not end with Pronto"
ini=$lavoro/sandbox/drive_c/Programmi/CompilaWexo/WexoUty.ini
grep -q '^Revisione=1' "$ini" || fallito "the settings file $ini does not hold the next revision"
echo "installed full run: $righe rows built, settings in $ini"
