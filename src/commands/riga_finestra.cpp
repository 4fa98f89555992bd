#include "commands/riga_finestra.h"

#include <cstdio>

namespace cw {

RigaFinestra LeggiRigaFinestra(const std::vector<std::string>& args) {
  RigaFinestra r;
  for (const std::string& a : args) {
    if (a == "-h" || a == "--help") {
      r.azione = AzioneFinestra::Aiuto;
    } else if (a == "--debug") {
      r.debug = true;
    } else if (a == "--version") {
      // --help wins wherever it is, as in the batch mode.
      if (r.azione != AzioneFinestra::Aiuto) r.azione = AzioneFinestra::Versione;
    } else {
      r.azione = AzioneFinestra::Rifiuta;
      r.errore = (a.starts_with("-") ? "opzione sconosciuta: " : "argomento inatteso: ") + a + " (--help per l'uso)";
      return r;
    }
  }
  return r;
}

std::string TestoAiutoFinestra() {
  return R"(Uso: compilawexo
     compilawexo --debug
     compilawexo --help | --version

Apre la finestra "Compilazione Batch Orbalis": backup, versione, compatibilità,
compilazione, copie di distribuzione e registrazione dei progetti della suite. Su
Linux i dischi sono quelli del prefisso Wine in $WINEPREFIX (o ~/.wine, come Wine).
Le impostazioni sono quelle di compilawexo-batch: su Linux il file "C:\Programmi\CompilaWexo\WexoUty.ini" del
prefisso, o il file in $COMPILAWEXO_IMPOSTAZIONI; su Windows il file WexoUty.ini
accanto alla cartella del programma.

Opzioni:
  --debug        scrive sullo standard error la traccia di ciò che il programma
                 chiede al sistema: ogni avvio di programma, attesa, richiesta
                 all'agente, blocco e file sostituito (COMPILAWEXO_DEBUG=FILE la
                 aggiunge in fondo a FILE, anche senza --debug)
  -h, --help     stampa questo aiuto ed esce
  --version      stampa la versione ed esce

Stato di uscita:
  0      la finestra è stata chiusa
  1      la finestra non si è potuta aprire (o il file della traccia)
  64     riga di comando non valida
  128+N  terminato dal segnale N (SIGTERM, SIGINT, SIGHUP)
)";
}

std::optional<int> RispondiRigaFinestra(const RigaFinestra& riga, const char* versione) {
  switch (riga.azione) {
    case AzioneFinestra::Aiuto: std::fputs(TestoAiutoFinestra().c_str(), stdout); return 0;
    case AzioneFinestra::Versione: std::printf("compilawexo %s\n", versione); return 0;
    case AzioneFinestra::Rifiuta:
      std::fprintf(stderr, "compilawexo: %s\n", riga.errore.c_str());
      return kUscitaUsoFinestra;
    case AzioneFinestra::Apri: break;
  }
  return std::nullopt;
}

}  // namespace cw
