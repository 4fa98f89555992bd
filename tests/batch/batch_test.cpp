// compilawexo-batch run as a process over a fresh sandbox, as a script or a
// CI job would run it.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "batch/opzioni.h"
#include "commands/comandi.h"
#include "platform/linux/filesystem_linux.h"
#include "sandbox/sandbox.h"
#include "settings/modFileIni.h"
#include "support/contesto_prova.h"
#include "support/parole.h"
#include "support/prefisso_temporaneo.h"
#include "support/sistema_prova.h"
#include "support/ui_registrata.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

fs::path CartellaBin() { return fs::read_symlink("/proc/self/exe").parent_path(); }

std::string LeggiFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Righe(const std::string& testo) {
  std::vector<std::string> out;
  std::istringstream in(testo);
  for (std::string r; std::getline(in, r);) {
    if (!r.empty() && r.back() == '\r') r.pop_back();
    out.push_back(r);
  }
  return out;
}

// Every file of a drive, by its path inside the drive.
std::map<std::string, std::string> Albero(const fs::path& drive) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(drive))
    if (e.is_regular_file() && !e.is_symlink()) out[fs::relative(e.path(), drive).string()] = LeggiFile(e.path());
  return out;
}

// Removes one source file the project names, so that its build fails.
bool TogliUnSorgente(const fs::path& progetto) {
  for (const auto& e : fs::recursive_directory_iterator(progetto))
    if (e.path().extension() == ".frm") return fs::remove(e.path());
  for (const auto& e : fs::directory_iterator(progetto))
    if (e.path().extension() == ".bas" || e.path().extension() == ".cls") return fs::remove(e.path());
  return false;
}

// A reference to file put right after the project file's first line, among
// the project's own keys.
void Riferisci(const fs::path& progetto, const std::string& file) {
  std::string testo = LeggiFile(progetto);
  testo.insert(testo.find("\r\n") + 2, "Reference=*\\G{0}#1.0#0#" + file + "#x\r\n");
  std::ofstream(progetto, std::ios::binary | std::ios::trunc) << testo;
}

struct Risultato {
  int stato = -1;
  std::string out;
  std::string err;
};

// A sandbox and a private copy of the program, so that what it might write
// beside its own folder is this test's to see.
class Batch : public ::testing::Test {
 protected:
  void SetUp() override {
    sbx_ = tmp_.Dir() / "sbx";
    prog_ = tmp_.Dir() / "prog";
    CatalogoComponenti catalogo;
    CaricaCatalogo(catalogo);
    sandbox::OpzioniSandbox opzioni;
    opzioni.installa.push_back({sandbox::kVb6, CartellaBin() / "standin-vb6", true});
    sandbox::CreaSandbox(sbx_, catalogo, opzioni);
    fs::create_directories(prog_);
    for (const char* nome : {"compilawexo-batch", "compilawexo-regworker"})
      fs::copy_file(CartellaBin() / nome, prog_ / nome);
  }

  // prefisso: the value of WINEPREFIX, the sandbox when empty; ambiente:
  // more variables, "NOME='valore' ...".
  Risultato Esegui(const std::string& argomenti, std::string prefisso = {}, const std::string& ambiente = {}) {
    const fs::path out = tmp_.Dir() / "out.txt", err = tmp_.Dir() / "err.txt";
    const int s = std::system(Riga(argomenti, prefisso, out, err, ambiente).c_str());
    return {WIFEXITED(s) ? WEXITSTATUS(s) : -1, LeggiFile(out), LeggiFile(err)};
  }
  // The same, not waited for; its output goes to avviato.txt.
  pid_t Avvia(const std::string& argomenti) {
    const std::string riga = Riga(argomenti, {}, tmp_.Dir() / "avviato.txt", tmp_.Dir() / "avviato.txt", {}, true);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::execl("/bin/sh", "sh", "-c", riga.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    return pid;
  }
  std::string Riga(const std::string& argomenti, std::string prefisso, const fs::path& out, const fs::path& err,
                   const std::string& ambiente = {}, bool exec = false) {
    if (prefisso.empty()) prefisso = sbx_.string();
    // The caller's own choice of settings file never reaches the test; exec:
    // the shell becomes the program, whose pid the caller then holds.
    return "unset COMPILAWEXO_IMPOSTAZIONI; " + std::string(exec ? "exec env " : "") + ambiente + " WINEPREFIX='" +
           prefisso + "' '" + (prog_ / "compilawexo-batch").string() + "' " + argomenti + " >'" + out.string() +
           "' 2>'" + err.string() + "' </dev/null";
  }

  fs::path DriveC() const { return sbx_ / "drive_c"; }
  // The suite's own settings file, in the prefix.
  fs::path FileIni() const { return DriveC() / "Programmi" / "CompilaWexo" / "WexoUty.ini"; }

  test::PrefissoTemporaneo tmp_;
  fs::path sbx_, prog_;
};

TEST_F(Batch, BackupPrintsEveryRowThenPronto) {
  const Risultato r = Esegui("backup");
  ASSERT_EQ(r.stato, 0) << r.err;
  const auto righe = Righe(r.out);
  ASSERT_EQ(righe.size(), 149u);
  EXPECT_EQ(righe[0], "Backup di UTILITA.VBP in corso... OK!");
  for (size_t i = 0; i < 148; ++i) {
    EXPECT_EQ(righe[i].rfind("Backup di ", 0), 0u) << righe[i];
    EXPECT_TRUE(righe[i].ends_with(" in corso... OK!")) << righe[i];
  }
  EXPECT_EQ(righe[148], "Pronto");
  EXPECT_EQ(r.err, "CompilaWexo: Backup effettuato\n");
  EXPECT_TRUE(fs::exists(DriveC() / "Progetti VB" / "Wexo" / "Utilita" / "Utilita.vbp_1"));
}

TEST_F(Batch, RefusedInputExitsTwoAndChangesNothing) {
  const auto prima = Albero(DriveC());

  Risultato r = Esegui("versione --principale 1 --secondario 0 --revisione abc");
  EXPECT_EQ(r.stato, 2);
  EXPECT_EQ(r.err, "CompilaWexo: Versione revisione non valida\n");
  EXPECT_EQ(r.out, "");

  r = Esegui("tutto nessuna --principale 1 --secondario 0 --revisione 0");
  EXPECT_EQ(r.stato, 2);
  EXPECT_NE(r.err.find("CompilaWexo: Sei sicuro di voler compliare senza nessuna compatibilià?"), std::string::npos);
  EXPECT_NE(r.err.find("Backup, impostazione compatibilità e compilazione non effettuate"), std::string::npos);

  EXPECT_EQ(Albero(DriveC()), prima);
  EXPECT_FALSE(fs::exists(FileIni()));

  // Saved with a UTF-8 mark, whose first section would be hidden: refused, named, before anything.
  fs::create_directories(FileIni().parent_path());
  std::ofstream(FileIni(), std::ios::binary) << "\xEF\xBB\xBF[Versione]\r\nPrincipale=4\r\nSecondario=0\r\n";
  const auto conMarca = Albero(DriveC());
  r = Esegui("versione");
  EXPECT_EQ(r.stato, 2);
  EXPECT_NE(r.err.find("'" + FileIni().string() + "' inizia con il segno UTF-8 (BOM"), std::string::npos) << r.err;
  EXPECT_EQ(Albero(DriveC()), conMarca);
}

TEST_F(Batch, RunTimeErrorExitsThreeWithTheBoxAndTheFailingRow) {
  fs::remove(DriveC() / "Progetti VB" / "Wexo" / "Stringhe" / "Stringhe.vbp");
  const Risultato r = Esegui("backup");
  EXPECT_EQ(r.stato, 3);
  EXPECT_EQ(r.err,
            "CompilaWexo: Errore di run-time '53':\n\nImpossibile trovare il file\n\n"
            "C:\\Progetti VB\\Wexo\\Stringhe\\Stringhe.vbp\n");
  // Found before the first row: no row was backed up.
  EXPECT_TRUE(Righe(r.out).empty());
}

// Several builds at once print what one at a time prints, on success and
// past a failure in the middle of the suite, but for the line naming the rows
// built past it.
TEST_F(Batch, ParallelBuildsPrintWhatOneAtATimePrints) {
  const std::string tutto = "tutto binaria --principale 1 --secondario 0 --revisione 0 --paralleli ";
  for (const bool guasto : {false, true}) {
    if (guasto) {
      ASSERT_TRUE(TogliUnSorgente(DriveC() / "Progetti VB" / "Wexo" / "Quil" / "QuilClienti"));
    }
    const Risultato uno = Esegui(tutto + "1"), quattro = Esegui(tutto + "4");
    EXPECT_EQ(quattro.stato, uno.stato) << quattro.err;
    EXPECT_EQ(uno.stato, guasto ? 1 : 0) << uno.err;
    std::string out = quattro.out;
    if (const size_t oltre = out.find("Compilati in parallelo oltre l'errore: "); oltre != std::string::npos)
      out.erase(oltre, out.find('\n', oltre) + 1 - oltre);
    EXPECT_EQ(out, uno.out);
    EXPECT_EQ(quattro.err, uno.err);
  }
}

TEST_F(Batch, FailedBuildExitsOneAfterPrintingTheErrorFile) {
  // A first run builds everything, so the deployment copies of the second
  // find the built files of the rows it no longer reaches.
  ASSERT_EQ(Esegui("tutto binaria --principale 1 --secondario 0 --revisione 0").stato, 0);
  // A form the project names is gone: its build fails and stops the walk.
  ASSERT_TRUE(TogliUnSorgente(DriveC() / "Progetti VB" / "Wexo" / "Costanti"));

  const Risultato r = Esegui("tutto binaria");
  EXPECT_EQ(r.stato, 1) << r.err;
  const auto righe = Righe(r.out);
  const auto errore = std::find_if(righe.begin(), righe.end(), [](const std::string& s) {
    return s.ends_with(") Compilazione COSTANTI.VBP in corso... ERRORE!");
  });
  ASSERT_NE(errore, righe.end()) << r.out;
  EXPECT_NE(r.out.find("non completata."), std::string::npos);
  EXPECT_EQ(std::count_if(righe.begin(), righe.end(),
                          [](const std::string& s) { return s.find(") Compilazione ") != std::string::npos; }),
            2);
  EXPECT_EQ(righe.back(), "Pronto");
}

TEST_F(Batch, VersionUsesTheSettingsAndTheIncrement) {
  const Risultato r = Esegui("versione --principale 3 --secondario 1 --revisione 7 --incremento si");
  ASSERT_EQ(r.stato, 0) << r.err;
  const std::string vbp = LeggiFile(DriveC() / "Progetti VB" / "Wexo" / "Utilita" / "Utilita.vbp");
  EXPECT_NE(vbp.find("\r\nMajorVer=3\r\nMinorVer=1\r\nRevisionVer=7\r\n"), std::string::npos);
  const std::string ini = LeggiFile(FileIni());
  EXPECT_NE(ini.find("IncrementoAutomatico=-1\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Revisione=8\r\n"), std::string::npos);

  // The next run starts from what the settings file now holds.
  const Risultato r2 = Esegui("versione");
  ASSERT_EQ(r2.stato, 0) << r2.err;
  EXPECT_NE(LeggiFile(FileIni()).find("Revisione=9\r\n"), std::string::npos);
}

TEST_F(Batch, ASettingsFileThatCannotBeWrittenExitsOneAfterTheWholeCommand) {
  fs::create_directories(FileIni());
  const Risultato r = Esegui("versione --principale 3 --secondario 1 --revisione 7");
  EXPECT_EQ(r.stato, 1);
  EXPECT_NE(r.err.find("Impossibile salvare le impostazioni in '" + FileIni().string() + "'"), std::string::npos)
      << r.err;
  EXPECT_EQ(Righe(r.out).back(), "Pronto");
  const std::string vbp = LeggiFile(DriveC() / "Progetti VB" / "Wexo" / "Utilita" / "Utilita.vbp");
  EXPECT_NE(vbp.find("\r\nMajorVer=3\r\n"), std::string::npos);
}

TEST_F(Batch, CommandLineMistakesAndHelp) {
  EXPECT_EQ(Esegui("--help").stato, 0);
  const Risultato versione = Esegui("--version", "/non/esiste");
  EXPECT_EQ(versione.stato, 0);
  EXPECT_EQ(versione.out, std::string("compilawexo-batch ") + CW_VERSIONE + "\n");
  EXPECT_EQ(Esegui("").stato, 64);
  EXPECT_EQ(Esegui("compila").stato, 64);
  EXPECT_EQ(Esegui("compatibilita qualsiasi").stato, 64);
  EXPECT_EQ(Esegui("guid solo-una").stato, 64);
  EXPECT_EQ(Esegui("backup --revisione 3").stato, 64);
}

// Command lines refused before anything is touched: their exit status and
// what they print.
TEST_F(Batch, RefusedCommandLines) {
  const std::string versione = " --principale 1 --secondario 0 --revisione 0";
  const fs::path senzaDispositivi = tmp_.Dir() / "vuoto";
  fs::create_directories(senzaDispositivi);
  const fs::path senzaC = tmp_.Dir() / "senza_c";
  fs::create_directories(senzaC / "dosdevices");
  const struct {
    std::string argomenti;
    std::string prefisso;  // WINEPREFIX; empty: the sandbox
    int stato;
    std::string err;  // a part of standard error
  } casi[] = {
      {"backup -v", "", 64, "opzione sconosciuta per backup: -v"},
      {"backup in-piu", "", 64, "backup non vuole argomenti (trovato: in-piu)"},
      {"compatibilita", "", 64, "compatibilita vuole 1 argomento (nessuna, progetto o binaria)"},
      {"guid una", "", 64, "guid vuole 2 argomenti (VECCHIA NUOVA)"},
      {"guid a b c", "", 64, "guid vuole 2 argomenti (VECCHIA NUOVA), di troppo: c"},
      {"proprieta --commenti", "", 64, "manca il valore di --commenti"},
      {"versione --principale=3 --secondario=1 --revisione=2 --incremento=forse", "", 64, "--incremento vuole si o no"},
      {"tutto binaria" + versione + " --visualizzatore ''", "", 64, "--visualizzatore vuole il nome di un programma"},
      {"proprieta --vuoti --commenti \"$(printf 'riga\\nriga')\"", "", 2, "--commenti non può contenere un a capo"},
      {"proprieta --vuoti --societa \"$(printf 'a\\rb')\"", "", 2, "--societa non può contenere un a capo"},
      {"versione", "", 2, "Principale (--principale), Secondario (--secondario), Revisione (--revisione)"},
      {"tutto binaria --revisione 5", "", 2, "Principale (--principale), Secondario (--secondario)\n"},
      {"proprieta --societa X", "", 2,
       "Commenti (--commenti), CopyRight (--copyright), NomeProdotto (--prodotto); --vuoti"},
      {"versione --principale 1e10 --secondario 0 --revisione 0", "", 2, "CompilaWexo: Versione principale non valida"},
      {"versione --principale -1 --secondario 0 --revisione 0", "", 2, "CompilaWexo: Versione principale non valida"},
      {"versione --principale 1 --secondario 10000 --revisione 0", "", 2,
       "CompilaWexo: Versione secondaria non valida"},
      {"versione --principale 1 --secondario 0 --revisione 32766.5", "", 2,
       "CompilaWexo: Versione revisione non valida"},
      {"versione --principale 1 --secondario 0 --revisione 9999 --incremento si", "", 2,
       "la revisione 9999 diventerebbe 10000"},
      {"tutto binaria --principale 1 --secondario 0 --revisione 9999 --incremento si", "", 2,
       "la revisione 9999 diventerebbe 10000"},
      // Texts Windows-1252 cannot hold, which the files would get as "?".
      {"proprieta --vuoti --prodotto 'Wexo ☃'", "", 2, "Il testo di \"Nome prodotto\" contiene caratteri"},
      {"proprieta --vuoti --commenti \"$(printf 'gi\\340')\"", "", 2, "Il testo di \"Commenti\""},  // not UTF-8
      {"guid '{A}' '{B日}'", "", 2, "Il testo di \"Nuova guid\""},
      {"guid pippo pluto", "", 2, "Il testo di \"Vecchia guid\" non è una guid nella forma"},
      {"anteprima proprieta --vuoti --societa 'S☃'", "", 2, "Il testo di \"Nome società\""},
      {"tutto binaria --principale 1 --secondario 1.5 --revisione 0", "", 2, "Versione secondaria non valida"},
      {"tutto binaria --visualizzatore /non/esiste" + versione, "", 2, "visualizzatore non trovato: /non/esiste"},
      {"tutto binaria --visualizzatore Nessuno.exe" + versione, "", 2, "visualizzatore non trovato: Nessuno.exe"},
      {"backup", "/non/esiste", 2, "la cartella \"/non/esiste\" non esiste (indicata da WINEPREFIX)"},
      {"backup", senzaDispositivi.string(), 2, "manca la sottocartella dosdevices"},
      {"backup", senzaC.string(), 2, "non ha il disco C (manca il collegamento dosdevices/c:"},
      {"tutto binaria --riprendi", "", 2, "CompilaWexo: Nessuna compilazione da riprendere"},
      // The resumed run stamps nothing: a version given with it could only mislead.
      {"tutto binaria --riprendi" + versione, "", 2,
       "--principale non va con --riprendi: la compilazione ripresa non scrive nessuna versione nei progetti"},
      {"tutto binaria --riprendi --revisione 5", "", 2, "--revisione non va con --riprendi"},
      {"tutto binaria --incremento no --riprendi", "", 2,
       "--incremento non va con --riprendi: la compilazione ripresa non incrementa la revisione"},
      {"tutto binaria --junit /non/esiste/r.xml" + versione, "", 2, "cartella del rapporto JUnit non scrivibile"},
      {"tutto binaria --limite-compilazione 1,5" + versione, "", 2,
       "--limite-compilazione vuole un numero intero di secondi da 0 a 86400 (0: nessun limite), trovato: 1,5"},
      {"tutto binaria --limite-compilazione 86401" + versione, "", 2, "trovato: 86401"},
      {"tutto binaria --paralleli 0" + versione, "", 2, "--paralleli vuole un numero intero da 1 a 64, trovato: 0"},
      {"tutto binaria --paralleli 65" + versione, "", 2, "trovato: 65"},
      {"tutto binaria --limite-compilazione=-1" + versione, "", 2, "trovato: -1"},
      {"tutto binaria --limite-compilazione ''" + versione, "", 2, "trovato: \n"},
      {"tutto binaria" + versione + " --junit ''", "", 64, "--junit vuole il nome di un file"},
      {"backup --impostazioni ''", "", 64, "--impostazioni vuole il nome di un file"},
      {"--impostazioni '' backup", "", 64, "--impostazioni vuole il nome di un file"},
      {"--impostazioni", "", 64, "manca il valore di --impostazioni"},
      {"indirizzi --sovrapposizioni --applica", "", 64, "--sovrapposizioni e --applica non vanno insieme"},
      {"anteprima", "", 64, "anteprima vuole compatibilita, versione, proprieta o guid"},
      {"anteprima tutto binaria", "", 64, "anteprima vuole compatibilita, versione, proprieta o guid"},
      {"anteprima guid una", "", 64, "guid vuole 2 argomenti"},
      {"anteprima versione --principale x --secondario 0 --revisione 0", "", 2, "Versione principale non valida"},
      {"anteprima proprieta --commenti X", "", 2, "CopyRight (--copyright)"},
  };
  const auto prima = Albero(DriveC());
  for (const auto& c : casi) {
    const Risultato r = Esegui(c.argomenti, c.prefisso);
    EXPECT_EQ(r.stato, c.stato) << c.argomenti << "\n" << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.argomenti << "\n" << r.err;
    EXPECT_EQ(r.out, "") << c.argomenti;
  }
  EXPECT_EQ(Albero(DriveC()), prima);
  EXPECT_FALSE(fs::exists(FileIni()));
}

// Command lines that run: what ends where.
TEST_F(Batch, AcceptedCommandLines) {
  // "--" ends the options; a value that looks like an option is a value
  // (here refused, as no GUID, by its name).
  Risultato r = Esegui("guid -- -a --b");
  EXPECT_EQ(r.stato, 2) << r.err;
  EXPECT_NE(r.err.find("\"Vecchia guid\" non è una guid nella forma"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\"-a\""), std::string::npos) << r.err;
  r = Esegui("proprieta --commenti --help --vuoti");
  EXPECT_EQ(r.stato, 0) << r.err;
  EXPECT_EQ(r.out.find("Uso:"), std::string::npos);
  EXPECT_NE(LeggiFile(FileIni()).find("Commenti=--help\r\n"), std::string::npos);
  EXPECT_NE(LeggiFile(FileIni()).find("NomeSocieta=\r\n"), std::string::npos);
  // Stored now: the next run needs no option.
  EXPECT_EQ(Esegui("proprieta").stato, 0);

  r = Esegui("vbg");
  EXPECT_EQ(r.stato, 0) << r.err;
  EXPECT_EQ(r.out, "File di gruppo scritto in C:\\Progetti VB\\Wexo\\Wexo1.vbg\n");

  // A viewer by its host path: the error file goes to it, not to the output.
  r = Esegui("tutto binaria --principale 1 --secondario 0 --revisione 0 --visualizzatore /usr/bin/true");
  EXPECT_EQ(r.stato, 0) << r.err;
  EXPECT_EQ(r.out.find("completata"), std::string::npos);
  EXPECT_EQ(Righe(r.out).back(), "Pronto");
}

// The trace: on standard error with --debug, appended to the file named by
// COMPILAWEXO_DEBUG, never on standard output; one timed line per host call.
TEST_F(Batch, DebugTracesTheHostCallsBesideTheOutput) {
  const Risultato semplice = Esegui("backup");
  const Risultato tracciato = Esegui("--debug backup");
  EXPECT_EQ(tracciato.out, semplice.out);
  // Standard error keeps its own lines (the boxes), the trace's between them.
  const std::regex riga(R"( *[0-9]+\.[0-9]{6} (avvio|attesa|agente|blocco|file): .*)");
  std::string proprie;
  for (const std::string& r : Righe(tracciato.err))
    if (!std::regex_match(r, riga)) proprie += r + "\n";
  EXPECT_EQ(proprie, semplice.err);
  for (const char* atteso : {" blocco: preso\n", " file: RenameFile C:\\Progetti VB\\Wexo\\", " blocco: lasciato\n"})
    EXPECT_NE(tracciato.err.find(atteso), std::string::npos) << atteso;

  const fs::path file = tmp_.Dir() / "traccia.txt";
  const Risultato tutto =
      Esegui("tutto binaria --principale 1 --secondario 0 --revisione 0 --visualizzatore /usr/bin/true", {},
             "COMPILAWEXO_DEBUG='" + file.string() + "'");
  EXPECT_EQ(tutto.stato, 0) << tutto.err;
  EXPECT_EQ(tutto.err.find(" avvio: "), std::string::npos);
  const std::string traccia = LeggiFile(file);
  for (const char* atteso :
       {" avvio: locale, programma ", " attesa: programma 1, nessun limite: finito, codice di uscita 0 dopo "})
    EXPECT_NE(traccia.find(atteso), std::string::npos) << atteso;
  const Risultato rifiutato = Esegui("backup", {}, "COMPILAWEXO_DEBUG=/non/esiste/t.txt");
  EXPECT_EQ(rifiutato.stato, 2);
  EXPECT_NE(rifiutato.err.find("file della traccia non apribile: /non/esiste/t.txt"), std::string::npos);
}

// The settings file is the suite's, in the prefix, made with its folders by
// the first write; the variable and the option name another, the option
// first. Nothing goes beside the program's folder any more.
TEST_F(Batch, TheSettingsFileIsInThePrefixUnlessNamed) {
  const fs::path variabile = tmp_.Dir() / "variabile.ini", opzione = tmp_.Dir() / "opzione.ini";
  const std::string ambiente = "COMPILAWEXO_IMPOSTAZIONI='" + variabile.string() + "'";
  const struct {
    std::string prima;  // before the command
    std::string dopo;   // among its options
    std::string ambiente;
    fs::path atteso;
  } casi[] = {
      {"", "", "", FileIni()},
      {"", "", "COMPILAWEXO_IMPOSTAZIONI=", FileIni()},
      {"", "", ambiente, variabile},
      {"", " --impostazioni '" + opzione.string() + "'", ambiente, opzione},
      {"--impostazioni='" + opzione.string() + "' ", "", "", opzione},
      {"--impostazioni /non/esiste.ini ", " --impostazioni='" + opzione.string() + "'", "", opzione},
  };
  for (const auto& c : casi) {
    for (const fs::path& p : {FileIni().parent_path(), variabile, opzione}) fs::remove_all(p);
    const Risultato r =
        Esegui(c.prima + "versione --principale 3 --secondario 1 --revisione 7" + c.dopo, "", c.ambiente);
    ASSERT_EQ(r.stato, 0) << c.prima << c.dopo << c.ambiente << "\n" << r.err;
    EXPECT_NE(LeggiFile(c.atteso).find("[Versione]\r\nIncrementoAutomatico="), std::string::npos) << c.atteso;
    // The next run reads the same file.
    EXPECT_EQ(Esegui(c.prima + "versione" + c.dopo, "", c.ambiente).stato, 0) << c.atteso;
    for (const fs::path& p : {FileIni(), variabile, opzione})
      EXPECT_EQ(fs::exists(p), p == c.atteso) << p << " for " << c.atteso;
  }
  EXPECT_FALSE(fs::exists(tmp_.Dir() / "progWexoUty.ini"));
}

// The preview prints what the command would write and writes nothing, not
// even the settings file.
TEST_F(Batch, AnteprimaPrintsTheDiffAndWritesNothing) {
  const auto prima = Albero(DriveC());
  const Risultato r = Esegui("anteprima compatibilita nessuna");
  ASSERT_EQ(r.stato, 0) << r.err;
  const auto righe = Righe(r.out);
  EXPECT_EQ(righe.front(), "--- C:\\Progetti VB\\Wexo\\Utilita\\Utilita.vbp");
  EXPECT_NE(r.out.find("\n+CompatibleMode=\"0\"\n"), std::string::npos);
  EXPECT_TRUE(righe.back().starts_with("File da modificare: ")) << righe.back();
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Albero(DriveC()), prima);
  EXPECT_FALSE(fs::exists(FileIni()));
}

// Every byte of the diff reaches the output, a NUL beside a changed line too,
// and a read-only file is previewed: nothing is written.
TEST_F(Batch, AnteprimaPrintsEveryByteOfEveryFile) {
  const fs::path wexo = DriveC() / "Progetti VB" / "Wexo";
  std::string utilita = LeggiFile(wexo / "Utilita" / "Utilita.vbp");
  const size_t major = utilita.find("\r\nMajorVer=");
  ASSERT_NE(major, std::string::npos);
  utilita.insert(major, std::string("\r\nNul=a\0b", 9));
  std::ofstream(wexo / "Utilita" / "Utilita.vbp", std::ios::binary) << utilita;
  fs::permissions(wexo / "Stringhe" / "Stringhe.vbp", fs::perms::all, fs::perm_options::remove);
  fs::permissions(wexo / "Stringhe" / "Stringhe.vbp", fs::perms::owner_read, fs::perm_options::add);

  const Risultato r = Esegui("anteprima versione --principale 9999 --secondario 0 --revisione 0");
  EXPECT_EQ(r.stato, 0) << r.err;
  EXPECT_NE(r.out.find(std::string("\n Nul=a\0b\n-MajorVer=", 20)), std::string::npos);
  const auto righe = Righe(r.out);
  ASSERT_FALSE(righe.empty());
  EXPECT_EQ(std::count_if(righe.begin(), righe.end(), [](const std::string& s) { return s.starts_with("--- C:\\"); }),
            148);
  EXPECT_TRUE(righe.back().starts_with("File da modificare: 148, righe da modificare: ")) << righe.back();
}

// A path for the JUnit report that would replace a file of the suite, a
// folder or a device is refused before anything is touched.
TEST_F(Batch, AJUnitReportWhereItCannotGoIsRefused) {
  const std::string versione = " --principale 1 --secondario 0 --revisione 0";
  const fs::path progetto = DriveC() / "Progetti VB" / "Wexo" / "Utilita" / "Utilita.vbp";
  const fs::path rapporto = tmp_.Dir() / "r.xml";
  fs::create_directory(tmp_.Dir() / "cartella");
  fs::create_directory_symlink(DriveC() / "Progetti VB", tmp_.Dir() / "progetti");
  const struct {
    std::string junit;
    int stato;
    std::string err;  // a part of standard error
  } casi[] = {
      {progetto.string(), 2, "il rapporto JUnit non può stare dentro " + DriveC().string()},
      {(tmp_.Dir() / "progetti" / "Wexo" / "Utilita" / "Utilita.vbp").string(), 2, "non può stare dentro"},
      {(tmp_.Dir() / "cartella").string(), 2, "non è un file"},
      {"/dev/full", 2, "il rapporto JUnit non può prendere il posto di /dev/full: non è un file"},
      {rapporto.string(), 0, ""},
  };
  const auto prima = Albero(DriveC());
  for (const auto& c : casi) {
    SCOPED_TRACE(c.junit);
    test::ScriviFile(rapporto, "vecchio");
    const Risultato r = Esegui("tutto binaria --junit '" + c.junit + "'" + versione);
    EXPECT_EQ(r.stato, c.stato) << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    if (c.stato == 2) {
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(Albero(DriveC()), prima);
    }
    EXPECT_EQ(LeggiFile(rapporto).starts_with("<?xml"), c.stato == 0);
  }
  for (const auto& e : fs::directory_iterator(tmp_.Dir())) EXPECT_FALSE(e.path().string().ends_with(".tmp"));

  // The settings file the same way, but for its own place in the prefix.
  const fs::path proprio = DriveC() / "Programmi" / "CompilaWexo" / "WexoUty.ini";
  for (const auto& [file, stato] : std::vector<std::pair<fs::path, int>>{
           {progetto, 2}, {tmp_.Dir() / "progetti" / "Wexo" / "Utilita" / "Utilita.vbp", 2}, {proprio, 0}}) {
    SCOPED_TRACE(file);
    const Risultato r = Esegui("--impostazioni '" + file.string() + "' proprieta --commenti c --vuoti");
    EXPECT_EQ(r.stato, stato) << r.err;
    EXPECT_EQ(r.err.find("il file delle impostazioni non può stare dentro") != std::string::npos, stato == 2);
    EXPECT_EQ(LeggiFile(progetto).find("[Versione]"), std::string::npos);
  }
}

// A box inside a step leaves its line waiting: the conclusion follows it.
TEST_F(Batch, EveryRowIsConcludedAfterItsBox) {
  // Nothing is built: each DLL fails to load, then the first EXE server
  // is missing and stops the walk.
  const Risultato r = Esegui("registra");
  EXPECT_EQ(r.stato, 3) << r.err;
  EXPECT_NE(r.err.find("Errore caricando la DLL"), std::string::npos);
  const auto righe = Righe(r.out);
  ASSERT_GE(righe.size(), 2u);
  EXPECT_EQ(righe[0], "Registrazione componente UTILITA.DLL in corso... ERRORE!");
  for (size_t i = 0; i + 1 < righe.size(); ++i) EXPECT_TRUE(righe[i].ends_with(" in corso... ERRORE!")) << righe[i];
  EXPECT_TRUE(righe.back().ends_with(".EXE in corso...")) << righe.back();
  EXPECT_NE(r.err.find("Impossibile trovare il file\n\nC:\\Orbalis\\Componenti\\"), std::string::npos) << r.err;
}

// A failed first build is followed by the deployment copy of a row it never
// built: the box is printed, the exit status is the failed build's.
// A first build that fails deploys nothing: no copy of a row never built
// stops the run with error 53 as it used to, and the end says it failed.
TEST_F(Batch, AFailedFirstBuildExitsOneAndDeploysNothing) {
  ASSERT_TRUE(TogliUnSorgente(DriveC() / "Progetti VB" / "Wexo" / "Costanti"));
  const Risultato r = Esegui("tutto binaria --principale 1 --secondario 0 --revisione 0");
  EXPECT_EQ(r.stato, 1) << r.err;
  EXPECT_NE(r.err.find("CompilaWexo: Compilazione di COSTANTI.VBP fallita: esecuzione non completata"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("Errore di run-time"), std::string::npos) << r.err;
}

// The reference graph of the sandbox, then with a project that references a
// later row's file, then with two that reference each other.
TEST_F(Batch, GrafoPrintsEveryRowWarnsOfLaterRowsAndRefusesACycle) {
  const fs::path wexo = DriveC() / "Progetti VB" / "Wexo";
  auto riferisci = [&](const char* progetto, const char* file) {
    Riferisci(wexo / progetto, std::string("C:\\ORBALIS\\Componenti\\") + file);
  };
  const struct {
    std::function<void()> cambia;
    int stato;
    const char* err;
    bool rosso;  // the edge to a later row drawn red
  } casi[] = {
      {[] {}, 0, "", false},
      {[&] { riferisci("Utilita/Utilita.vbp", "avvio.DLL"); }, 0,
       "CompilaWexo: Riferimenti a progetti compilati dopo (la compilazione in ordine usa il file della volta "
       "precedente):\n0) UTILITA.VBP usa 4) AVVIO.VBP\n",
       true},
      {[&] { riferisci("Applicazione/Avvio/Avvio.vbp", "Utilita.dll"); }, 2,
       "CompilaWexo: Riferimenti a progetti compilati dopo (la compilazione in ordine usa il file della volta "
       "precedente):\n0) UTILITA.VBP usa 4) AVVIO.VBP\nCompilaWexo: Riferimenti circolari: nessun ordine di "
       "compilazione li soddisfa:\n0) UTILITA.VBP, 4) AVVIO.VBP\n",
       true},
  };
  for (const auto& c : casi) {
    c.cambia();
    const Risultato r = Esegui("grafo");
    EXPECT_EQ(r.stato, c.stato);
    EXPECT_EQ(r.err, c.err);
    const auto righe = Righe(r.out);
    ASSERT_EQ(righe.size(), 148u);
    EXPECT_EQ(righe[3], "3) STRINGHE.VBP: 0 2");
    const Risultato dot = Esegui("grafo --dot");
    EXPECT_EQ(dot.stato, c.stato);
    EXPECT_EQ(dot.err, c.err);
    EXPECT_TRUE(dot.out.starts_with("digraph riferimenti {\n")) << dot.out;
    EXPECT_TRUE(dot.out.ends_with("\n}\n"));
    EXPECT_NE(dot.out.find("  r3 -> r2;\n"), std::string::npos);
    EXPECT_EQ(dot.out.find("  r0 -> r4 [color=red];\n") != std::string::npos, c.rosso);
  }
}

// The stand-in's order check over the whole sequential run: it passes as the
// catalogue stands, and fails the first row once it references a later row's
// file left by an earlier run.
TEST_F(Batch, TheStandInCatchesARowBuiltBeforeTheFileItReferences) {
  const fs::path inizio = DriveC() / "inizio-esecuzione";
  const std::string ambiente = "CW_STANDIN_INIZIO='C:\\inizio-esecuzione'";
  std::ofstream(inizio).close();
  Risultato r = Esegui("tutto binaria --principale 1 --secondario 0 --revisione 0", {}, ambiente);
  ASSERT_EQ(r.stato, 0) << r.out << r.err;

  const auto prima = fs::last_write_time(DriveC() / "Orbalis" / "Componenti" / "Costanti.dll");
  fs::last_write_time(inizio, prima + std::chrono::seconds(1));
  Riferisci(DriveC() / "Progetti VB" / "Wexo" / "Utilita" / "Utilita.vbp", "C:\\Orbalis\\Componenti\\Costanti.dll");
  r = Esegui("tutto binaria", {}, ambiente);
  EXPECT_EQ(r.stato, 1) << r.err;
  EXPECT_NE(r.out.find("0) Compilazione UTILITA.VBP in corso... ERRORE!"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Impossibile caricare la libreria 'C:\\Orbalis\\Componenti\\Costanti.dll': non è stata "
                       "ricompilata in questa esecuzione."),
            std::string::npos)
      << r.out;
}

// A build that stops on a question is ended at its limit, the option's or
// else the settings key's, and named in the error file; a key that holds no
// such number refuses the run.
TEST_F(Batch, ABuildStuckOnAQuestionIsEndedAtItsLimit) {
  CatalogoComponenti catalogo;
  CaricaCatalogo(catalogo);
  const std::string progetto = catalogo.FileProgettoCompleto(1);
  const fs::path vbp = *DriveTable(sbx_).Resolve(progetto);
  {
    const std::string testo = LeggiFile(vbp);
    std::ofstream(vbp, std::ios::binary) << "StandinDomanda=\"Riferimento mancante: continuare?\"\r\n" << testo;
  }
  const std::string riga = "Compilazione di '" + progetto +
                           "' non completata: ancora in corso dopo il limite di 1 secondo, terminata. Nessuna "
                           "finestra aperta.";
  const struct {
    const char* chiave;  // LimiteCompilazione; null: none
    const char* opzione;
    int stato;
    const char* atteso;  // in the output, or in standard error when refused
  } casi[] = {
      {nullptr, " --limite-compilazione 1", 1, "1) Compilazione COSTANTI.VBP in corso... ERRORE!"},
      {"1", "", 1, "1) Compilazione COSTANTI.VBP in corso... ERRORE!"},
      {"x", " --limite-compilazione=1", 1, "1) Compilazione COSTANTI.VBP in corso... ERRORE!"},  // the option wins
      {"-1", "", 2, "Valore di LimiteCompilazione non valido in '"},
  };
  for (const auto& c : casi) {
    fs::remove(FileIni());
    if (c.chiave) {
      fs::create_directories(FileIni().parent_path());
      std::ofstream(FileIni(), std::ios::binary) << "[Versione]\r\nLimiteCompilazione=" << c.chiave << "\r\n";
    }
    const auto inizio = std::chrono::steady_clock::now();
    const Risultato r = Esegui("tutto binaria --principale 1 --secondario 0 --revisione 0" + std::string(c.opzione));
    EXPECT_LT(std::chrono::steady_clock::now() - inizio, std::chrono::seconds(60));
    EXPECT_EQ(r.stato, c.stato) << c.opzione << r.err;
    EXPECT_NE((c.stato == 2 ? r.err : r.out).find(c.atteso), std::string::npos) << r.out << r.err;
    if (c.stato != 1) continue;
    // The error file, as the run prints it, names the build and its limit.
    EXPECT_NE(r.out.find(riga), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("2) Compilazione "), std::string::npos);
    // The stuck build is gone with all it started; the programs of other
    // tests' sandboxes, running beside this one, build the same project.
    for (const auto& voce : fs::directory_iterator("/proc"))
      if (LeggiFile(voce.path() / "environ").find(sbx_.string()) != std::string::npos) {
        EXPECT_EQ(LeggiFile(voce.path() / "cmdline").find(progetto), std::string::npos) << voce.path();
      }
  }
}

// The batch front end and the window's handlers give the same files: run
// each command once through the program and once in this process, through
// the very handler the window's button calls, on two copies of one sandbox.
TEST_F(Batch, SameFilesAsTheWindowsHandlers) {
  const fs::path copia = tmp_.Dir() / "copia";
  fs::copy(sbx_, copia, fs::copy_options::recursive | fs::copy_options::copy_symlinks);

  struct Caso {
    const char* argomenti;
    const char* controllo;
  };
  const Caso casi[] = {
      {"backup", "cmdBackup"},
      {"compatibilita progetto", "cmdBackupCompatibilita"},
      {"versione --principale 4 --secondario 2 --revisione 11 --incremento no", "cmdImpostaVersione"},
      {"proprieta --commenti 'Nota à' --copyright '(c) Società' --prodotto Wexo --societa 'Ditta=1'", "cmdApplica"},
      {"guid '{00000000-0000-0000-0000-000000000000}' '{11111111-2222-3333-4444-555555555555}'", "cmdChangeGuid"},
  };
  CatalogoComponenti catalogo;
  CaricaCatalogo(catalogo);
  FileSystemLinux fso{DriveTable(copia)};
  test::UiRegistrata ui;
  const std::string iniFinestra = (copia / "drive_c" / "Programmi" / "CompilaWexo" / "WexoUty.ini").string();
  for (const Caso& c : casi) {
    const Risultato r = Esegui(c.argomenti);
    ASSERT_EQ(r.stato, 0) << c.argomenti << ": " << r.err;

    std::string errore;
    // The same words, as the shell would split them.
    auto opzioni = LeggiOpzioni(test::Parole(c.argomenti, '\''), errore);
    ASSERT_TRUE(opzioni) << errore;
    CampiInMemoria campi;
    Contesto ctx = test::ContestoDiProva(fso, catalogo, ui, campi, {.fileIni = [&] { return iniFinestra; }});
    CaricaImpostazioni(ctx);
    if (opzioni->compatibilita) campi.SelezionaOpzione(*opzioni->compatibilita);
    for (const auto& [campo, testo] : opzioni->campi) campi.ImpostaTesto(campo, testo);
    if (opzioni->incremento) campi.ImpostaIncrementoAutomatico(*opzioni->incremento);
    Gestore gestore = nullptr;
    for (const auto& v : TabellaComandi())
      if (opzioni->controllo == v.nome) gestore = v.gestore;
    ASSERT_NE(gestore, nullptr) << c.controllo;
    ASSERT_EQ(EseguiComando(ctx, gestore), Esito::Completato) << c.controllo;

    EXPECT_EQ(Albero(sbx_ / "drive_c"), Albero(copia / "drive_c")) << c.argomenti;
  }
  EXPECT_EQ(LeggiFile(FileIni()), LeggiFile(iniFinestra));
}

// Every field of the form's table both ways: the batch mode's option (the
// command's words for the GUIDs) sets it, its key saves it, and start-up reads
// it back into the field, with the table's default while the key is missing.
TEST(TabellaCampi, EveryFieldFromItsOptionToItsKeyAndBack) {
  test::PrefissoTemporaneo tmp;
  const std::string ini = (tmp.Dir() / "WexoUty.ini").string();
  CatalogoComponenti catalogo;
  FileSystemLinux fso{DriveTable(tmp.Dir())};
  test::UiRegistrata ui;
  CampiInMemoria letti;
  const auto carica = [&] {
    letti = CampiInMemoria();
    Contesto ctx = test::ContestoDiProva(fso, catalogo, ui, letti, {.fileIni = [&] { return ini; }});
    CaricaImpostazioni(ctx);
  };
  carica();
  std::vector<std::string> guid;
  std::string errore;
  for (const DescrizioneCampo& d : kTabellaCampi) {
    EXPECT_EQ(letti.Testo(d.campo), d.predefinito) << d.controllo;
    const std::string valore = std::string("è ") + d.controllo;
    if (d.gruppo == GruppoCampi::Guid) {
      guid.push_back(valore);
      continue;
    }
    const auto o =
        LeggiOpzioni({d.gruppo == GruppoCampi::Versione ? "versione" : "proprieta", d.opzione, valore}, errore);
    ASSERT_TRUE(o) << d.controllo << ": " << errore;
    EXPECT_EQ(o->campi, (std::vector<std::pair<Campo, std::string>>{{d.campo, valore}})) << d.controllo;
    EXPECT_TRUE(ScriviCampo(test::ProfiloDiProva(), ini, d.campo, valore)) << d.controllo;
  }
  EXPECT_EQ(letti.ValoreIncrementoAutomatico(), kIncrementoAutomatico.predefinito & 1);
  const auto o = LeggiOpzioni({"versione", kIncrementoAutomatico.opzione, "no"}, errore);
  ASSERT_TRUE(o) << errore;
  EXPECT_EQ(o->incremento, 0);
  ASSERT_TRUE(
      ScriviIniIntero(test::ProfiloDiProva(), ini, kIncrementoAutomatico.sezione, kIncrementoAutomatico.chiave, 0));

  carica();
  for (const DescrizioneCampo& d : kTabellaCampi)
    EXPECT_EQ(letti.Testo(d.campo), *d.chiave ? std::string("è ") + d.controllo : d.predefinito) << d.controllo;
  EXPECT_EQ(letti.ValoreIncrementoAutomatico(), 0);
  ASSERT_EQ(guid.size(), 2u);
  const auto g = LeggiOpzioni({"guid", guid[0], guid[1]}, errore);
  ASSERT_TRUE(g) << errore;
  EXPECT_EQ(g->campi,
            (std::vector<std::pair<Campo, std::string>>{{Campo::txtGuidOld, guid[0]}, {Campo::txtGuidNew, guid[1]}}));
}
}  // namespace
// While a real instance runs a command that writes, a second one on the
// prefix is refused and changes nothing, whatever is done meanwhile to the
// lock file the tool once kept there.
TEST_F(Batch, ASecondInstanceOnThePrefixIsRefusedAndChangesNothing) {
  // The first instance's full run waits in its first build.
  const fs::path vb6 = DriveC() / "Programmi/Microsoft Visual Studio/VB98/VB6.EXE";
  fs::remove(vb6);
  std::ofstream(vb6) << "#!/bin/sh\necho $$ > \"$WINEPREFIX/vb6.pid\"\nexec sleep 600\n";
  fs::permissions(vb6, fs::perms::owner_all);
  const fs::path lock = sbx_ / "compilawexo.lock";
  const struct {
    const char* cosa;
    std::function<void()> intanto;
  } casi[] = {
      {"held", [] {}},
      {"lock file deleted", [&] { fs::remove(lock); }},
      {"a folder in its place",
       [&] {
         fs::remove(lock);
         fs::create_directory(lock);
       }},
  };
  const pid_t prima = Avvia("tutto binaria --principale 1 --secondario 0 --revisione 0");
  ASSERT_GT(prima, 0);
  for (int i = 0; i < 3000 && !fs::exists(sbx_ / "vb6.pid"); ++i) ::usleep(10000);
  ASSERT_TRUE(fs::exists(sbx_ / "vb6.pid")) << LeggiFile(tmp_.Dir() / "avviato.txt");
  const auto albero = Albero(DriveC());
  for (const auto& c : casi) {
    SCOPED_TRACE(c.cosa);
    c.intanto();
    const Risultato r = Esegui("versione --principale 1 --secondario 0 --revisione 9");
    EXPECT_EQ(r.stato, 2);
    // The holder's note names the run in progress.
    EXPECT_TRUE(r.err.starts_with(
        "CompilaWexo: CompilaWexo è già in esecuzione su questo prefisso: compilawexo-batch tutto, dalle "))
        << r.err;
    EXPECT_TRUE(Albero(DriveC()) == albero) << "the second instance wrote";
  }
  // A second prefix whose C: is the same folder: the lock is the suite's.
  const fs::path altro = tmp_.Dir() / "altro";
  fs::create_directories(altro / "dosdevices");
  fs::create_directory_symlink(fs::canonical(DriveC()), altro / "dosdevices" / "c:");
  const Risultato r = Esegui("versione --principale 1 --secondario 0 --revisione 9", altro.string());
  EXPECT_EQ(r.stato, 2) << r.err;
  EXPECT_TRUE(Albero(DriveC()) == albero) << "the instance on the other prefix wrote";
  EXPECT_EQ(Esegui("indirizzi").stato, 0);  // reads only
  ::kill(prima, SIGTERM);
  int stato = 0;
  ASSERT_EQ(::waitpid(prima, &stato, 0), prima);
  EXPECT_EQ(WEXITSTATUS(stato), 128 + SIGTERM);
  EXPECT_EQ(Esegui("backup").stato, 0);
}

TEST_F(Batch, ALeftoverCopyStopsEveryCommandUntilRipristinaPutsItBack) {
  const fs::path progetto = DriveC() / "Progetti VB" / "Wexo" / "Stringhe" / "Stringhe.vbp";
  const std::string vecchio = LeggiFile(progetto);
  fs::copy_file(progetto, progetto.string() + "_tmp");
  { std::ofstream(progetto, std::ios::trunc); }  // as a kill while writing leaves it
  const auto prima = Albero(DriveC());
  for (const char* comando : {"backup", "compatibilita binaria", "versione --principale 1 --secondario 0 --revisione 0",
                              "proprieta --commenti x --vuoti",
                              "guid {00000000-0000-0000-0000-00000000000A} {00000000-0000-0000-0000-00000000000B}",
                              "tutto binaria --principale 1 --secondario 0 --revisione 0", "indirizzi"}) {
    const Risultato r = Esegui(comando);
    EXPECT_EQ(r.stato, 2) << comando;
    EXPECT_NE(r.err.find("Stringhe.vbp_tmp"), std::string::npos) << comando << r.err;
    EXPECT_EQ(Albero(DriveC()), prima) << comando;
  }
  const Risultato r = Esegui("ripristina");
  EXPECT_EQ(r.stato, 0) << r.err;
  EXPECT_EQ(Righe(r.out).front(), "Ripristino di STRINGHE.VBP in corso... OK!");
  EXPECT_EQ(LeggiFile(progetto), vecchio);
  EXPECT_FALSE(fs::exists(progetto.string() + "_tmp"));
  EXPECT_EQ(Esegui("versione --principale 1 --secondario 0 --revisione 0").stato, 0);
}

}  // namespace cw
