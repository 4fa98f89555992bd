#include "argomenti.h"

#include <cctype>

namespace cw::sandbox {

const char* const kUso =
    "usage: wexo-sandbox DIR [--rebuild] [--install WINPATH=HOSTFILE]... [--link WINPATH=HOSTFILE]...\n"
    "                    [--wine [--arch x86|x64] [--windows FOLDER]]\n"
    "       wexo-sandbox DIR --install-only --install|--link WINPATH=HOSTFILE...\n"
    "       wexo-sandbox --help | --version\n"
    "\n"
    "Makes a Wine-style prefix in DIR holding the whole suite of the catalogue, for compilawexo and\n"
    "compilawexo-batch to run on (WINEPREFIX=DIR).\n"
    "\n"
    "Options:\n"
    "  --rebuild       make it anew in a DIR that already holds a sandbox\n"
    "  --install W=H   copy host file H to Windows path W (or VB6.EXE, notepad.exe)\n"
    "  --link W=H      the same, as a symbolic link to H\n"
    "  --install-only  only install into an existing sandbox\n"
    "  --wine          make DIR a real Wine prefix (wineboot) with the Windows stand-ins\n"
    "  --windows D     the folder of the Windows stand-ins (default: windows/ beside wexo-sandbox)\n"
    "  --arch A        with --wine: x86 (a 32-bit prefix, Wine's default) or x64 (a win64 prefix for 64-bit\n"
    "                  stand-ins); default: x86 where this host runs 32-bit programs, else x64\n"
    "  -h, --help      print this help and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0   the sandbox was made (or the programs installed)\n"
    "  1   it could not be made: the reason is on standard error\n"
    "  64  the command line was not understood\n";

namespace {

std::string Minuscolo(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

Installazione Installazione_(const std::string& valore, bool collega) {
  const size_t uguale = valore.find('=');
  if (uguale == std::string::npos || uguale == 0 || uguale + 1 == valore.size())
    throw ErroreUso(std::string(collega ? "--link" : "--install") + " takes WINPATH=HOSTFILE, not \"" + valore + "\"");
  const std::string percorso = PercorsoInstallazione(valore.substr(0, uguale));
  if (percorso.empty())
    throw ErroreUso("\"" + valore.substr(0, uguale) +
                    "\" is neither a Windows path (C:\\...) nor VB6.EXE or notepad.exe");
  return {percorso, valore.substr(uguale + 1), collega};
}

}  // namespace

std::string PercorsoInstallazione(const std::string& nome) {
  if (Minuscolo(nome) == "vb6.exe") return kVb6;
  if (Minuscolo(nome) == "notepad.exe") return kNotepad;
  if (nome.size() > 3 && std::isalpha(static_cast<unsigned char>(nome[0])) && nome[1] == ':' &&
      (nome[2] == '\\' || nome[2] == '/'))
    return nome;
  return {};
}

Argomenti AnalizzaArgomenti(const std::vector<std::string>& argomenti) {
  Argomenti a;
  bool haDir = false;
  for (size_t i = 0; i < argomenti.size(); ++i) {
    const std::string& arg = argomenti[i];
    if (arg == "-h" || arg == "--help") {
      a.aiuto = true;
    } else if (arg == "--version") {
      a.versione = true;
    } else if (arg == "--rebuild") {
      a.opzioni.ricostruisci = true;
    } else if (arg == "--wine") {
      a.wine = true;
    } else if (arg == "--arch" || arg.rfind("--arch=", 0) == 0) {
      if (arg == "--arch" && i + 1 >= argomenti.size()) throw ErroreUso("--arch needs x86 or x64");
      a.arch = arg == "--arch" ? argomenti[++i] : arg.substr(7);
      if (a.arch != "x86" && a.arch != "x64") throw ErroreUso("--arch takes x86 or x64, not \"" + a.arch + "\"");
    } else if (arg == "--windows") {
      if (i + 1 >= argomenti.size()) throw ErroreUso("--windows needs a folder");
      a.cartellaWindows = argomenti[++i];
    } else if (arg == "--install-only") {
      a.soloInstalla = true;
    } else if (arg == "--install" || arg == "--link") {
      if (i + 1 >= argomenti.size()) throw ErroreUso(arg + " needs WINPATH=HOSTFILE");
      a.opzioni.installa.push_back(Installazione_(argomenti[++i], arg == "--link"));
    } else if (arg.rfind("--install=", 0) == 0) {
      a.opzioni.installa.push_back(Installazione_(arg.substr(10), false));
    } else if (arg.rfind("--link=", 0) == 0) {
      a.opzioni.installa.push_back(Installazione_(arg.substr(7), true));
    } else if (!arg.empty() && arg[0] == '-') {
      throw ErroreUso("unknown option " + arg);
    } else if (haDir) {
      throw ErroreUso("one folder only (got \"" + a.dir.string() + "\" and \"" + arg + "\")");
    } else {
      a.dir = arg;
      haDir = true;
    }
  }
  if (a.aiuto || a.versione) return a;
  if (!haDir || a.dir.empty()) throw ErroreUso("no folder given");
  if (a.soloInstalla && a.opzioni.ricostruisci) throw ErroreUso("--install-only and --rebuild exclude each other");
  if (!a.wine && !a.cartellaWindows.empty()) throw ErroreUso("--windows without --wine");
  if (!a.wine && !a.arch.empty()) throw ErroreUso("--arch without --wine");
  if (a.wine && a.soloInstalla) throw ErroreUso("--install-only and --wine exclude each other");
  if (a.soloInstalla && a.opzioni.installa.empty()) throw ErroreUso("--install-only without any --install or --link");
  return a;
}

}  // namespace cw::sandbox
