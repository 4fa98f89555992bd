#include "batch/opzioni.h"

#include <map>

namespace cw {
namespace {

struct DefinizioneComando {
  const char* controllo;
  int argomenti;        // positional words after the command
  bool compatibilita;   // the first word is the compatibility mode
  bool versione;        // takes the version options
  bool proprieta;       // takes the four texts
};

const std::map<std::string, DefinizioneComando>& Comandi() {
  static const std::map<std::string, DefinizioneComando> k = {
      {"backup", {"cmdBackup", 0, false, false, false}},
      {"compatibilita", {"cmdBackupCompatibilita", 1, true, false, false}},
      {"versione", {"cmdImpostaVersione", 0, false, true, false}},
      {"proprieta", {"cmdApplica", 0, false, false, true}},
      {"guid", {"cmdChangeGuid", 2, false, false, false}},
      {"tutto", {"cmdTutto", 1, true, true, false}},
      {"registra", {"cmdRegistra", 0, false, false, false}},
      {"rimuovi", {"cmdRimuovi", 0, false, false, false}},
      {"vbg", {"mnuGeneraVbg", 0, false, false, false}},
      {"indirizzi", {"mnuIndirizziBaseDll", 0, false, false, false}},
      {"ripristina", {"mnuRipristina", 0, false, false, false}},
  };
  return k;
}

}  // namespace

std::optional<OpzioniBatch> LeggiOpzioni(const std::vector<std::string>& args, std::string& errore) {
  OpzioniBatch o;
  if (args.empty()) {
    errore = "manca il comando (--help per l'elenco)";
    return std::nullopt;
  }
  for (const auto& a : args)
    if (a == "--help" || a == "-h") {
      o.aiuto = true;
      return o;
    }
  const auto it = Comandi().find(args[0]);
  if (it == Comandi().end()) {
    errore = "comando sconosciuto: " + args[0];
    return std::nullopt;
  }
  const DefinizioneComando& def = it->second;
  o.comando = args[0];
  o.controllo = def.controllo;

  const std::map<std::string, Campo> versione = {{"--principale", Campo::txtVersionePrincipale},
                                                 {"--secondario", Campo::txtVersioneSecondario},
                                                 {"--revisione", Campo::txtVersioneRevisione}};
  const std::map<std::string, Campo> proprieta = {{"--commenti", Campo::txtCommenti},
                                                  {"--copyright", Campo::txtCopyRight},
                                                  {"--prodotto", Campo::txtNomeProdotto},
                                                  {"--societa", Campo::txtNomeSocieta}};
  std::vector<std::string> posizionali;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto valore = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        errore = "manca il valore di " + a;
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string v;
    if (def.versione && versione.count(a)) {
      if (!valore(v)) return std::nullopt;
      o.campi.emplace_back(versione.at(a), v);
    } else if (def.proprieta && proprieta.count(a)) {
      if (!valore(v)) return std::nullopt;
      o.campi.emplace_back(proprieta.at(a), v);
    } else if (def.versione && a == "--incremento") {
      if (!valore(v)) return std::nullopt;
      if (v != "si" && v != "no") {
        errore = "--incremento vuole si o no";
        return std::nullopt;
      }
      o.incremento = v == "si" ? 1 : 0;
    } else if (o.comando == "tutto" && a == "--conferma") {
      o.conferma = true;
    } else if (o.comando == "tutto" && a == "--visualizzatore") {
      if (!valore(o.visualizzatore)) return std::nullopt;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      errore = "opzione sconosciuta per " + o.comando + ": " + a;
      return std::nullopt;
    } else {
      posizionali.push_back(a);
    }
  }
  if (static_cast<int>(posizionali.size()) != def.argomenti) {
    errore = o.comando + " vuole " + std::to_string(def.argomenti) + " argomenti (--help)";
    return std::nullopt;
  }
  if (def.compatibilita) {
    const std::string& m = posizionali[0];
    if (m == "nessuna") o.compatibilita = Compatibilita::Nessuna;
    else if (m == "progetto") o.compatibilita = Compatibilita::Progetto;
    else if (m == "binaria") o.compatibilita = Compatibilita::Binaria;
    else {
      errore = "compatibilità sconosciuta: " + m + " (nessuna, progetto, binaria)";
      return std::nullopt;
    }
  }
  if (o.comando == "guid") {
    o.campi.emplace_back(Campo::txtGuidOld, posizionali[0]);
    o.campi.emplace_back(Campo::txtGuidNew, posizionali[1]);
  }
  return o;
}

std::string TestoAiuto() {
  return R"(Uso: compilawexo-batch COMANDO [ARGOMENTI] [OPZIONI]

Esegue un comando della finestra "Compilazione Batch Orbalis" da terminale, con le
stesse righe di log e gli stessi file. Le impostazioni sono quelle della finestra
(il file WexoUty.ini accanto alla cartella del programma); i dischi sono quelli del
prefisso in $WINEPREFIX (o ~/.wine).

Comandi:
  backup                          Solo backup
  compatibilita nessuna|progetto|binaria
                                  Backup e compatibilità
  versione                        Backup e versione
      --principale N  --secondario N  --revisione N   (predefiniti: le impostazioni)
      --incremento si|no                              (predefinito: le impostazioni)
  proprieta                       Applica (le quattro proprietà di versione)
      --commenti T  --copyright T  --prodotto T  --societa T
  guid VECCHIA NUOVA              Sostituisci
  tutto nessuna|progetto|binaria  Backup, compatibilità e compilazione
      le opzioni di "versione", e inoltre:
      --conferma                  risponde sì alle due domande di "nessuna"
                                  (senza, il comando è rifiutato)
      --visualizzatore PROGRAMMA  apre il file degli errori con PROGRAMMA
                                  (senza, il file è stampato sullo standard output)
  registra                        Registra
  rimuovi                         Rimuovi
  vbg                             Genera .vbg
  indirizzi                       Indirizzi di base DLL
  ripristina                      Ripristina file interrotti (rimette ogni copia "_tmp"
                                  rimasta da un'esecuzione interrotta al posto del suo file)

Stato di uscita:
  0  il comando è arrivato alla fine
  1  una compilazione o una registrazione è fallita
  2  il comando ha rifiutato i dati (un messaggio di convalida, una domanda rifiutata)
  3  errore di run-time (il messaggio è stampato come nella finestra)
  64 riga di comando non valida
)";
}

}  // namespace cw
