#include "batch/opzioni.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <map>
#include <string_view>

#include "build/tutto.h"
#include "commands/anteprima.h"
#include "commands/comandi.h"
#include "commands/controlli.h"

namespace cw {
namespace {

// The batch mode's command of that name in the command table; none for an
// unknown one.
const VoceComando* ComandoBatch(const std::string& nome) {
  for (const VoceComando& voce : TabellaComandi())
    if (voce.batch && nome == voce.batch) return &voce;
  return nullptr;
}

// The words after the command, from what it reads: the compatibility's one,
// or the two GUIDs.
struct Parole {
  int numero;
  const char* uso;    // for the refusal
  const char* aiuto;  // for the help
};

Parole ParoleDi(const VoceComando& voce) {
  if (voce.legge.compatibilita) return {1, "nessuna, progetto o binaria", "nessuna|progetto|binaria"};
  if (voce.legge.guid) return {2, "VECCHIA NUOVA", "VECCHIA NUOVA"};
  return {0, "", ""};
}

// The fields of the group that options set, in the table's order.
std::vector<const DescrizioneCampo*> CampiConOpzione(GruppoCampi gruppo) {
  std::vector<const DescrizioneCampo*> campi;
  for (const DescrizioneCampo& d : kTabellaCampi)
    if (d.gruppo == gruppo && *d.opzione) campi.push_back(&d);
  return campi;
}

std::string Argomenti(int n) { return n == 1 ? "1 argomento" : std::to_string(n) + " argomenti"; }

// The command's words checked against those it takes; "" when they fit.
std::string ControllaPosizionali(const std::string& comando, const Parole& attese,
                                 const std::vector<std::string>& parole) {
  const int n = static_cast<int>(parole.size());
  if (n == attese.numero) return {};
  if (attese.numero == 0) return comando + " non vuole argomenti (trovato: " + parole[0] + ")";
  std::string testo = comando + " vuole " + Argomenti(attese.numero) + " (" + attese.uso + ")";
  if (n > attese.numero) testo += ", di troppo: " + parole[static_cast<size_t>(attese.numero)];
  return testo;
}

bool HaFineRiga(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

std::optional<OpzioniBatch> LeggiOpzioni(const std::vector<std::string>& args, std::string& errore, int* stato) {
  auto rifiuta = [&](std::string testo, int uscita) -> std::optional<OpzioniBatch> {
    errore = std::move(testo);
    if (stato) *stato = uscita;
    return std::nullopt;
  };
  // --debug is the program's, not a command's: taken wherever it stands
  // before "--".
  if (const auto fine = std::find(args.begin(), args.end(), "--"); std::find(args.begin(), fine, "--debug") != fine) {
    std::vector<std::string> resto;
    for (auto a = args.begin(); a != args.end(); ++a)
      if (a >= fine || *a != "--debug") resto.push_back(*a);
    auto o = LeggiOpzioni(resto, errore, stato);
    if (o) o->debug = true;
    return o;
  }
  OpzioniBatch o;
  if (args.empty()) return rifiuta("manca il comando (--help per l'elenco)", kUscitaRigaDiComando);
  // The settings file may be named before the command too ("anteprima"
  // included); one named among the command's options comes later and wins.
  if (const std::string kNome = "--impostazioni"; args[0] == kNome || args[0].starts_with(kNome + "=")) {
    const bool separato = args[0] == kNome;
    if (separato && args.size() < 2) return rifiuta("manca il valore di " + kNome, kUscitaRigaDiComando);
    const std::string file = separato ? args[1] : args[0].substr(kNome.size() + 1);
    if (file.empty()) return rifiuta(kNome + " vuole il nome di un file", kUscitaRigaDiComando);
    auto resto = LeggiOpzioni(std::vector<std::string>(args.begin() + (separato ? 2 : 1), args.end()), errore, stato);
    if (resto && resto->impostazioni.empty()) resto->impostazioni = file;
    return resto;
  }
  if (args[0] == "anteprima") {
    // The previewed command's own words and options, read as the command's.
    const std::vector<std::string> resto(args.begin() + 1, args.end());
    const VoceComando* previsto = resto.empty() ? nullptr : ComandoBatch(resto[0]);
    if (!previsto || !GestoreAnteprima(previsto->nome)) {
      if (!resto.empty() && (resto[0] == "-h" || resto[0] == "--help")) {
        o.aiuto = true;
        return o;
      }
      return rifiuta("anteprima vuole compatibilita, versione, proprieta o guid (--help)", kUscitaRigaDiComando);
    }
    auto interno = LeggiOpzioni(resto, errore, stato);
    if (interno) interno->anteprima = true;
    return interno;
  }

  CLI::App app{"compilawexo-batch"};
  app.set_help_flag();  // the help is ours, in Italian
  app.add_flag("-h,--help", o.aiuto);
  app.add_flag("--version", o.versione);
  app.require_subcommand(0, 1);

  struct Sottocomando {
    CLI::App* app;
    const VoceComando* voce;
    std::vector<std::string> parole;
    std::vector<std::pair<CLI::Option*, Campo>> campi;
    std::map<Campo, std::string> valori;
    std::string incremento;
    CLI::Option* opzioneIncremento = nullptr;
    CLI::Option* opzioneVisualizzatore = nullptr;
    CLI::Option* opzioneJUnit = nullptr;
    CLI::Option* opzioneImpostazioni = nullptr;
    CLI::Option* opzioneLimite = nullptr;
    std::string limite;
    CLI::Option* opzioneParalleli = nullptr;
    std::string paralleli;
  };
  std::map<std::string, Sottocomando> sotto;
  for (const VoceComando& voce : TabellaComandi()) {
    if (!voce.batch) continue;
    const std::string nome = voce.batch;
    const CampiLetti& legge = voce.legge;
    Sottocomando& s = sotto[nome];
    s.voce = &voce;
    s.app = app.add_subcommand(nome);
    s.app->set_help_flag();
    s.app->add_flag("-h,--help", o.aiuto);
    s.app->allow_extras();  // unknown options are named by us
    s.app->add_option("argomenti", s.parole);
    s.opzioneImpostazioni =
        s.app->add_option("--impostazioni", o.impostazioni)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    auto aggiungi = [&](GruppoCampi gruppo) {
      for (const DescrizioneCampo* d : CampiConOpzione(gruppo)) {
        CLI::Option* opt = s.app->add_option(d->opzione, s.valori[d->campo]);
        opt->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        s.campi.emplace_back(opt, d->campo);
      }
    };
    if (legge.versione) {
      aggiungi(GruppoCampi::Versione);
      s.opzioneIncremento = s.app->add_option(kIncrementoAutomatico.opzione, s.incremento)
                                ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }
    if (legge.proprieta) {
      aggiungi(GruppoCampi::Proprieta);
      s.app->add_flag("--vuoti", o.vuoti);
    }
    if (nome == "indirizzi") {
      s.app->add_flag("--sovrapposizioni", o.sovrapposizioni);
      s.app->add_flag("--applica", o.applica);
    }
    if (nome == "grafo") s.app->add_flag("--dot", o.dot);
    if (nome == "tutto") {
      s.app->add_flag("--conferma", o.conferma);
      s.app->add_flag("--riprendi", o.riprendi);
      s.opzioneJUnit = s.app->add_option("--junit", o.junit)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
      s.opzioneLimite =
          s.app->add_option("--limite-compilazione", s.limite)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
      s.opzioneParalleli =
          s.app->add_option("--paralleli", s.paralleli)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
      s.opzioneVisualizzatore = s.app->add_option("--visualizzatore", o.visualizzatore)
                                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }
  }

  // CLI11 wants argv in reverse order, the program's name left out.
  std::vector<std::string> inverse(args.rbegin(), args.rend());
  try {
    app.parse(inverse);
  } catch (const CLI::ArgumentMismatch& e) {
    // "--commenti: 1 required TEXT missing": the option is what comes before ":".
    const std::string testo = e.what();
    return rifiuta("manca il valore di " + testo.substr(0, testo.find(':')), kUscitaRigaDiComando);
  } catch (const CLI::ExtrasError&) {
    if (!args[0].starts_with("-")) return rifiuta("comando sconosciuto: " + args[0], kUscitaRigaDiComando);
    return rifiuta("opzione sconosciuta: " + args[0], kUscitaRigaDiComando);
  } catch (const CLI::ParseError& e) {
    return rifiuta(std::string("riga di comando non valida: ") + e.what(), kUscitaRigaDiComando);
  }
  if (o.aiuto || o.versione) return o;

  const auto scelto = app.get_subcommands();
  if (scelto.empty()) return rifiuta("manca il comando (--help per l'elenco)", kUscitaRigaDiComando);
  o.comando = scelto.front()->get_name();
  Sottocomando& s = sotto.at(o.comando);
  const CampiLetti& legge = s.voce->legge;
  o.controllo = s.voce->nome;

  for (const std::string& r : s.app->remaining())
    if (r != "--") return rifiuta("opzione sconosciuta per " + o.comando + ": " + r, kUscitaRigaDiComando);
  if (std::string e = ControllaPosizionali(o.comando, ParoleDi(*s.voce), s.parole); !e.empty())
    return rifiuta(e + " (--help)", kUscitaRigaDiComando);

  // A line end would split the value across lines of a project or settings
  // file; the command is refused before anything is touched.
  for (const auto& [opt, campo] : s.campi)
    if (opt->count() && HaFineRiga(s.valori[campo]))
      return rifiuta("il valore di " + opt->get_name() + " non può contenere un a capo (CR o LF)", kUscitaRifiuto);
  for (const std::string& p : s.parole)
    if (HaFineRiga(p))
      return rifiuta("un argomento di " + o.comando + " non può contenere un a capo (CR o LF)", kUscitaRifiuto);
  if (HaFineRiga(o.visualizzatore))
    return rifiuta("il valore di --visualizzatore non può contenere un a capo (CR o LF)", kUscitaRifiuto);
  if (s.opzioneVisualizzatore && s.opzioneVisualizzatore->count() && o.visualizzatore.empty())
    return rifiuta("--visualizzatore vuole il nome di un programma", kUscitaRigaDiComando);

  if (s.opzioneImpostazioni->count() && o.impostazioni.empty())
    return rifiuta("--impostazioni vuole il nome di un file", kUscitaRigaDiComando);
  if (s.opzioneJUnit && s.opzioneJUnit->count() && o.junit.empty())
    return rifiuta("--junit vuole il nome di un file", kUscitaRigaDiComando);
  if (s.opzioneLimite && s.opzioneLimite->count()) {
    o.limiteCompilazione = LeggiLimiteCompilazione(s.limite);
    if (!o.limiteCompilazione)
      return rifiuta("--limite-compilazione vuole un numero intero di secondi da 0 a " +
                         std::to_string(kLimiteCompilazioneMassimo) + " (0: nessun limite), trovato: " + s.limite,
                     kUscitaRifiuto);
  }
  if (s.opzioneParalleli && s.opzioneParalleli->count()) {
    o.paralleli = LeggiParalleli(s.paralleli);
    if (!o.paralleli)
      return rifiuta("--paralleli vuole un numero intero da 1 a " + std::to_string(kParalleliMassimo) +
                         ", trovato: " + s.paralleli,
                     kUscitaRifiuto);
  }
  if (o.riprendi) {
    // The resumed run stamps nothing and advances nothing: a version given
    // with it would only be saved as if it had been built.
    for (const auto& [opt, campo] : s.campi)
      if (opt->count())
        return rifiuta(opt->get_name() +
                           " non va con --riprendi: la compilazione ripresa non scrive nessuna versione "
                           "nei progetti",
                       kUscitaRifiuto);
    if (s.opzioneIncremento && s.opzioneIncremento->count())
      return rifiuta("--incremento non va con --riprendi: la compilazione ripresa non incrementa la revisione",
                     kUscitaRifiuto);
    o.controllo = "mnuRiprendiCompilazione";
  }
  if (o.sovrapposizioni && o.applica)
    return rifiuta("--sovrapposizioni e --applica non vanno insieme", kUscitaRigaDiComando);
  if (o.sovrapposizioni) o.controllo = "mnuSovrapposizioniDll";
  if (o.applica) o.controllo = "mnuApplicaIndirizziDll";

  for (const auto& [opt, campo] : s.campi)
    if (opt->count()) o.campi.emplace_back(campo, s.valori[campo]);
  if (s.opzioneIncremento && s.opzioneIncremento->count()) {
    if (s.incremento != "si" && s.incremento != "no")
      return rifiuta("--incremento vuole si o no", kUscitaRigaDiComando);
    o.incremento = s.incremento == "si" ? 1 : 0;
  }
  if (legge.compatibilita) {
    const std::string& m = s.parole[0];
    for (const DescrizioneOpzione& opzione : kOpzioniCompatibilita)
      if (m == opzione.parola) o.compatibilita = opzione.modo;
    if (!o.compatibilita)
      return rifiuta("compatibilità sconosciuta: " + m + " (nessuna, progetto, binaria)", kUscitaRigaDiComando);
  }
  if (legge.guid) {
    // The words in the table's order: the old GUID, then the new.
    size_t parola = 0;
    for (const DescrizioneCampo& d : kTabellaCampi)
      if (d.gruppo == GruppoCampi::Guid) o.campi.emplace_back(d.campo, s.parole[parola++]);
  }
  return o;
}

std::string CampiMancanti(const OpzioniBatch& opzioni, const std::function<bool(const std::string&)>& presente) {
  if (opzioni.vuoti) return {};
  // With no row to resume the command says so, whatever the settings lack.
  if (opzioni.riprendi && !presente(kChiaveUltimaRigaFallita)) return {};
  const VoceComando* voce = ComandoBatch(opzioni.comando);
  if (!voce) return {};
  std::vector<const DescrizioneCampo*> letti;
  if (voce->legge.versione) letti = CampiConOpzione(GruppoCampi::Versione);
  if (voce->legge.proprieta)
    for (const DescrizioneCampo* d : CampiConOpzione(GruppoCampi::Proprieta)) letti.push_back(d);
  std::string elenco;
  for (const DescrizioneCampo* d : letti) {
    bool dato = false;
    for (const auto& [campo, testo] : opzioni.campi) dato = dato || campo == d->campo;
    if (dato || presente(d->chiave)) continue;
    // A resumed run takes no version options: only the settings can hold them.
    elenco += (elenco.empty() ? "" : ", ") + std::string(d->chiave) +
              (opzioni.riprendi ? "" : " (" + std::string(d->opzione) + ")");
  }
  if (elenco.empty()) return {};
  if (opzioni.riprendi) return "valori assenti dalle impostazioni, da cui li prende la compilazione ripresa: " + elenco;
  std::string testo = "valori non indicati e assenti dalle impostazioni: " + elenco;
  if (voce->legge.proprieta) testo += "; --vuoti per lasciarli vuoti";
  return testo;
}
namespace {

constexpr const char* kAiutoIntestazione = R"(Uso: compilawexo-batch [--impostazioni FILE] COMANDO [ARGOMENTI] [OPZIONI]
     compilawexo-batch --version

Esegue un comando della finestra "Compilazione Batch Orbalis" da terminale, con le
stesse righe di log e gli stessi file. I dischi sono quelli del prefisso in
$WINEPREFIX (o ~/.wine). Le impostazioni sono quelle della finestra: su Linux il file
"C:\Programmi\CompilaWexo\WexoUty.ini" del prefisso (le cartelle sono create alla
prima scrittura), o il file in $COMPILAWEXO_IMPOSTAZIONI; su Windows il file
WexoUty.ini accanto alla cartella del programma.

Comandi:
)";

// What the help says of a command after its caption: more on what it does, or
// its own options.
struct AiutoComando {
  const char* comando;
  const char* testo;
};

constexpr AiutoComando kAiutoComandi[] = {
    {"versione", R"(
      --principale N  --secondario N  --revisione N   (predefiniti: le impostazioni;
                                                       numeri interi da 0 a 9999;
                                                       con l'incremento la revisione
                                                       al massimo 9998)
      --incremento si|no                              (predefinito: le impostazioni))"},
    {"proprieta", R"( (le quattro proprietà di versione)
      --commenti T  --copyright T  --prodotto T  --societa T
      --vuoti                     i testi non indicati e non salvati restano vuoti)"},
    {"tutto", R"(
      le opzioni di "versione", e inoltre:
      --conferma                  risponde sì alle due domande di "nessuna"
                                  (senza, il comando è rifiutato)
      --visualizzatore PROGRAMMA  apre il file degli errori con PROGRAMMA
                                  (senza, il file è stampato sullo standard output):
                                  un percorso Windows, un nome cercato nel prefisso
                                  o un percorso assoluto del sistema
      --riprendi                  compila dalla riga fallita l'ultima volta alla fine,
                                  poi prosegue come sempre; niente backup, versione,
                                  compatibilità né incremento, e quindi niente
                                  --principale, --secondario, --revisione, --incremento
                                  (stato 2 se non c'è nulla da riprendere)
      --junit FILE.xml            scrive l'esito di ogni riga in un rapporto JUnit
                                  (mai dentro i dischi del prefisso)
      --limite-compilazione SECONDI
                                  una compilazione ancora in corso dopo SECONDI
                                  (da 0 a 86400; 0 nessun limite) è terminata con
                                  tutto ciò che ha avviato: la riga finisce "ERRORE!",
                                  il file degli errori riceve una riga con il progetto,
                                  il limite e il titolo e i testi di ogni finestra
                                  aperta (una domanda rimasta senza risposta), e dove
                                  c'è uno schermo la schermata è salvata accanto come
                                  ErroriCompilazione.png (stato 1); senza, vale
                                  LimiteCompilazione della sezione [Versione] delle
                                  impostazioni (assente: nessun limite)
      --paralleli N               fino a N compilazioni insieme (da 1 a 64), ognuna
                                  appena compilate le righe di cui usa i file
                                  (Reference= e Object=); due righe che compilano o
                                  usano lo stesso OCX mai insieme; il registro, il
                                  file degli errori e la riga fallita restano quelli
                                  della compilazione in ordine; riferimenti circolari:
                                  stato 2; senza, vale Paralleli della sezione
                                  [Versione] (assente: 1, una alla volta))"},
    {"indirizzi", R"(
      --sovrapposizioni           aggiunge gli intervalli delle DLL, le sovrapposizioni
                                  e gli indirizzi proposti (stato 1 se ce ne sono)
      --applica                   scrive gli indirizzi proposti nei file di progetto,
                                  dopo il backup)"},
    {"grafo", R"( (per ogni riga, in ordine di catalogo,
                                  le righe di cui usa il file compilato: "N) PROGETTO.VBP:
                                  N N ..."; sullo standard error i riferimenti a righe
                                  successive e, con stato 2, i riferimenti circolari)
      --dot                       lo stesso grafo nel linguaggio di Graphviz)"},
    {"ripristina", R"( (rimette ogni copia "_tmp"
                                  rimasta da un'esecuzione interrotta al posto del suo file;
                                  un file modificato nel frattempo resta con il suffisso
                                  "_interrotto"; stato 2 se una copia è vuota e il file no))"},
};

constexpr const char* kAiutoAnteprima = R"(per compatibilita, versione, proprieta e guid: stampa
                                  le differenze che il comando scriverebbe, file per file,
                                  e il loro numero; non scrive nulla (stato 0, o 2 se il
                                  comando rifiuterebbe i dati))";

constexpr const char* kAiutoCoda = R"(
Per ogni comando:
  --impostazioni FILE             usa FILE (un percorso del sistema) come file delle
                                  impostazioni
  --debug                         scrive sullo standard error la traccia di ciò che il
                                  programma chiede al sistema: ogni avvio di programma,
                                  attesa, richiesta all'agente, blocco e file sostituito
                                  (COMPILAWEXO_DEBUG=FILE la aggiunge in fondo a FILE,
                                  anche senza --debug); lo standard output non cambia
  -h, --help                      stampa questo aiuto ed esce

Un valore non indicato e assente dalle impostazioni rifiuta il comando (stato 2).
Le opzioni si scrivono --opzione valore o --opzione=valore; dopo -- ogni parola è un
argomento. Nessun valore può contenere un a capo, né caratteri che la codifica dei
file (Windows-1252) non ha (stato 2).

Stato di uscita:
  0  il comando è arrivato alla fine
  1  una compilazione o una registrazione è fallita (anche se poi segue un
     errore di run-time), un indirizzo di base o il rapporto JUnit non sono
     stati scritti
  2  il comando ha rifiutato i dati (un messaggio di convalida, una domanda
     rifiutata, un valore mancante, il prefisso o il visualizzatore non trovati)
  3  errore di run-time (il messaggio è stampato come nella finestra)
  64 riga di comando non valida
  128+N terminato dal segnale N (SIGINT, SIGTERM, SIGHUP), dopo aver terminato
     ciò che il comando attendeva
)";

// A command's line: what the user types, then from the 35th column what it
// does; a longer command line gets the column on a line of its own.
std::string RigaAiuto(const std::string& uso, const std::string& testo) {
  constexpr size_t kColonna = 32;
  std::string riga = "  " + uso;
  riga += uso.size() + 2 <= kColonna ? std::string(kColonna - uso.size(), ' ') : "\n" + std::string(kColonna + 2, ' ');
  return riga + testo + "\n";
}

}  // namespace

// The commands, their words and their captions come from the command table.
std::string TestoAiuto() {
  std::string testo = kAiutoIntestazione;
  for (const VoceComando& voce : TabellaComandi()) {
    if (!voce.batch) continue;
    const Parole parole = ParoleDi(voce);
    std::string didascalia = TestoControllo(voce.nome);
    for (const AiutoComando& a : kAiutoComandi)
      if (std::string_view(a.comando) == voce.batch) didascalia += a.testo;
    testo += RigaAiuto(std::string(voce.batch) + (parole.numero ? std::string(" ") + parole.aiuto : ""), didascalia);
  }
  testo += RigaAiuto("anteprima COMANDO [ARGOMENTI] [OPZIONI]", kAiutoAnteprima);
  return testo + kAiutoCoda;
}

}  // namespace cw
