#!/bin/sh
# The agent's answers under a real Wine, in a prefix of its own: several
# requests in one process, registrations and programs, then the cases that
# end it.
# Usage: agente_windows_test.sh <bin/windows folder> <scratch folder> <cmake folder>
# A 64-bit agent runs in a win64 prefix through the 64-bit loader. Skipped
# (77) only where no install can help: a 32-bit agent on a kernel that runs
# no 32-bit programs.
set -u
bin=$1
cartella=$2
. "$3/caricatore-wine.sh"
architettura=$(architettura_programma "$bin/compilawexo-agente.exe")
export WINEPREFIX="$2/prefisso" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH="$architettura"
if [ "$architettura" = win32 ] && ! perche=$("$3/esegue-32bit.sh"); then
  echo "skipped: the agent is 32-bit and $perche"
  exit 77
fi
wine=$(caricatore_wine "$architettura") || exit 1
rm -rf "$2" && mkdir -p "$2" || exit 1
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$2"' EXIT
"$wine" wineboot --init >"$2/wineboot.log" 2>&1 || { echo "wineboot failed:"; tail -n 8 "$2/wineboot.log"; exit 1; }
# Copies, so the error component's mark stays out of the build.
cp "$bin"/*.dll "$bin"/*.exe "$2"/ || exit 1
w=$("$wine" winepath -w "$2" 2>/dev/null | sed 's/\\/\\\\/g') || exit 1
fallito=0

# The answer expected to the requests, written one a line with "|" for the
# tab, "@" for the programs' folder and "^" for a CR; the load failure's
# and the start failure's messages are the system's own.
verifica() {
  atteso=$1
  printf '%s' "$2" | sed "s/|/\t/g; s/@/$w/g; s/\^/\r/g" >"$cartella/richieste"
  timeout 60 "$wine" "$cartella/compilawexo-agente.exe" <"$cartella/richieste" >"$cartella/risposte" 2>/dev/null
  uscita=$?
  ottenuto="$(sed 's/^\(caricamento-fallito\) .*/\1/; s/^\(avvio-fallito [0-9]*\) .*/\1/' "$cartella/risposte")
uscita $uscita"
  if [ "$ottenuto" != "$atteso" ]; then
    printf 'FAILED: %s\n--- expected\n%s\n--- got\n%s\n' "$3" "$atteso" "$ottenuto"
    fallito=1
  fi
}

verifica "pronto
caricata
entrypoint-trovato
conclusa 0
caricata
entrypoint-trovato
conclusa -2147467259
caricata
entrypoint-mancante
caricamento-fallito
caricamento-fallito
caricata
entrypoint-trovato
conclusa 0
uscita 0" "DllRegisterServer|@\\standin-component.dll
DllUnregisterServer|@\\standin-component-errore.dll^

DllRegisterServer|@\\standin-component-vuota.dll
DllRegisterServer|@\\manca.dll
senza-tab
DllRegisterServer|@\\standin-component.dll" "requests in one process"

chiave='HKCR\standin-component.Classe1\CLSID'
"$wine" reg query "$chiave" 2>/dev/null | grep -q '{6A07B10A-8318-B04F-0876-AF7F841BC0C8}' ||
  { echo "FAILED: $chiave after registering"; fallito=1; }
"$wine" reg query 'HKCR\CLSID\{6A07B10A-8318-B04F-0876-AF7F841BC0C8}\InprocServer32' 2>/dev/null |
  grep -qi 'standin-component.dll' || { echo "FAILED: InprocServer32 after registering"; fallito=1; }
verifica "pronto
caricata
entrypoint-trovato
conclusa 0
uscita 0" "DllUnregisterServer|@\\standin-component.dll" "removing"
"$wine" reg query "$chiave" >/dev/null 2>&1 && { echo "FAILED: $chiave left after removing"; fallito=1; }

verifica "pronto
caricata
entrypoint-trovato
eccezione C0000005
uscita 3" "DllRegisterServer|@\\standin-component-crash.dll
DllRegisterServer|@\\standin-component.dll" "a crash ends it"
verifica "pronto
caricata
entrypoint-trovato
uscita 0" "DllRegisterServer|@\\standin-component-esce.dll
DllRegisterServer|@\\standin-component.dll" "ExitProcess ends it"
verifica "pronto
uscita 0" "" "no requests"
# Texts of the programs' requests travel as hex of their UTF-8.
hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
esce=$(hex "$2/standin-exeserver-esce.exe")
blocca=$(hex "$2/standin-exeserver-blocca.exe")
verifica "pronto
avviato 1
finito 3
chiuso
sconosciuto
avviato 2
in-corso
fine
terminato
finito 1
chiuso
avvio-fallito 2
sconosciuto
uscita 0" "avvia|$esce|$(hex 'standin-exeserver-esce.exe /RegServer')|0
attendi|1|20000
chiudi|1
attendi|1|0
avvia|$blocca|$(hex 'standin-exeserver-blocca.exe /RegServer')|0
attendi|2|300
finestre|2
termina|2
attendi|2|5000
chiudi|2
avvia|$(hex "$2/manca.exe")|$(hex manca.exe)|0
termina|7" "programs: started, waited for, ended, forgotten"
# One still running when the tool goes is ended with the agent's job.
verifica "pronto
avviato 1
uscita 0" "avvia|$blocca|$(hex 'standin-exeserver-blocca.exe')|0" "a program left running"
sleep 1
for p in $(pgrep -f standin-exeserver-blocca.exe); do
  if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
    echo "FAILED: the program outlived the agent"
    fallito=1
  fi
done
exit $fallito
