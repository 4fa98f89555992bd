#include "progetto.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "base/ansi.h"
#include "dado.h"
#include "sorgenti_vb.h"

namespace cw::sandbox {

namespace {

constexpr const char* kSocieta = "Orbalis S.r.l.";

// Each thing drawn per row has its own stream, so adding a choice to one
// part does not shift every other part of the file.
enum Flusso : std::uint64_t { kStruttura = 1, kChiavi, kVersione, kBase, kLibreria, kForm };
Dado DadoDi(int riga, Flusso flusso) { return Dado(static_cast<std::uint64_t>(riga) * 16 + flusso); }

bool IniziaCon(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }

std::string Radice(const std::string& progetto) {
  const size_t punto = progetto.rfind('.');
  return punto == std::string::npos ? progetto : progetto.substr(0, punto);
}

std::string Minuscolo(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// "ContabilitaDati" -> "Contabilità dati": the words of a name, written out.
std::string Descrizione(const std::string& nome) {
  std::vector<std::string> parole;
  for (char c : nome) {
    if ((c >= 'A' && c <= 'Z') || parole.empty()) parole.emplace_back();
    parole.back() += c;
  }
  if (parole.size() > 1 && (parole.front() == "Quil" || parole.front() == "Wexo")) parole.erase(parole.begin());
  static const std::pair<const char*, const char*> kAccenti[] = {{"contabilita", "contabilità"},
                                                                 {"qualita", "qualità"},
                                                                 {"utilita", "utilità"},
                                                                 {"tracciabilita", "tracciabilità"},
                                                                 {"attivita", "attività"},
                                                                 {"fedelta", "fedeltà"},
                                                                 {"iva", "IVA"}};
  std::string out;
  for (size_t i = 0; i < parole.size(); ++i) {
    std::string p = Minuscolo(parole[i]);
    for (const auto& [senza, con] : kAccenti)
      if (p == senza) p = con;
    if (i == 0 && p[0] >= 'a' && p[0] <= 'z') p[0] = static_cast<char>(p[0] - 'a' + 'A');
    if (i) out += ' ';
    out += p;
  }
  return out;
}

// The product a row belongs to: the sister family lives in its grouping
// folder and in the applications named after it.
std::string Prodotto(const CatalogoComponenti& c, int riga) {
  const std::string relativa =
      c(riga, kCartella).substr(std::min(c(riga, kCartella).size(), std::string(kRadiceSorgenti).size()));
  return IniziaCon(relativa, "Quil\\") || IniziaCon(Radice(c(riga, kFileProgetto)), "Quil") ? "Quil" : "Wexo";
}

bool DentroA(const std::string& cartella, const std::string& contenitore) {
  return IniziaCon(cartella, contenitore + "\\");
}

// The type library of a component, as the projects that use it reference it.
std::string GuidLibreria(int riga) { return DadoDi(riga, kLibreria).Guid(); }

// A distinct 64 KB-aligned base address for each DLL project: the DLLs are
// laid out one megabyte apart from the environment's default &H11000000.
std::string IndirizzoBase(const CatalogoComponenti& c, int riga) {
  int ordinale = 0;
  for (int i = c.LBound(); i < riga; ++i) ordinale += GenereDi(c(i, kTipo)) == Genere::Dll;
  Dado d = DadoDi(riga, kBase);
  const unsigned indirizzo =
      0x11000000u + static_cast<unsigned>(ordinale) * 0x100000u + static_cast<unsigned>(d.Tra(16)) * 0x10000u;
  char buf[24];
  std::snprintf(buf, sizeof buf, "&H%08X", indirizzo);
  return buf;
}

// "..\..\..\Orbalis\Componenti": the output folder seen from the project's folder.
std::string PercorsoRelativo(const std::string& da, const std::string& a) {
  if (da.size() < 2 || a.size() < 2 || Minuscolo(da.substr(0, 2)) != Minuscolo(a.substr(0, 2))) return a;
  const size_t livelli = static_cast<size_t>(std::count(da.begin() + 2, da.end(), '\\'));
  std::string out;
  for (size_t i = 0; i < livelli; ++i) out += "..\\";
  return out + a.substr(3);
}

std::string Unisci(const std::vector<std::string>& righe) {
  std::string testo;
  for (const std::string& r : righe) {
    testo += r;
    testo += "\r\n";
  }
  return Utf8ToAnsi(testo);
}

template <typename T>
void Mescola(std::vector<T>& v, Dado& d) {
  for (size_t i = v.size(); i > 1; --i) std::swap(v[i - 1], v[static_cast<size_t>(d.Tra(static_cast<int>(i)))]);
}

// Picks `n` different names from a pool, keeping the pool's order.
std::vector<std::string> Scegli(const std::vector<std::string>& pool, int n, Dado& d) {
  std::vector<std::string> copia = pool;
  Mescola(copia, d);
  copia.resize(std::min(copia.size(), static_cast<size_t>(n)));
  return copia;
}

}  // namespace

Genere GenereDi(const std::string& tipo) {
  if (IniziaCon(tipo, "dll")) return Genere::Dll;
  if (IniziaCon(tipo, "exe")) return Genere::Server;
  return Genere::Applicazione;
}

std::vector<FileGenerato> GeneraProgetto(const CatalogoComponenti& c, int riga) {
  const std::string cartella = c(riga, kCartella);
  const std::string nome = Radice(c(riga, kFileProgetto));
  const std::string output = c(riga, kFileOutput);
  const Genere genere = GenereDi(c(riga, kTipo));
  const bool componente = genere != Genere::Applicazione;
  const std::string prodotto = Prodotto(c, riga);
  const std::string descrizione = Descrizione(nome);
  Dado d = DadoDi(riga, kStruttura);
  Dado k = DadoDi(riga, kChiavi);

  std::vector<FileGenerato> file(1);
  file[0].percorso = c(riga, kFileProgetto);

  // What the project holds: classes, modules, forms.
  std::vector<std::string> classi;
  if (componente) classi.push_back("cls" + nome);
  const int altreClassi = genere == Genere::Dll ? d.Tra(4) : genere == Genere::Server ? d.Tra(3) : d.Tra(2);
  for (const std::string& n : Scegli({"clsParametri", "clsElenco", "clsElemento", "clsRicerca", "clsValidazione",
                                      "clsEsportazione", "clsFiltro", "clsMovimento"},
                                     altreClassi, d))
    classi.push_back(n);

  const bool conForm = genere == Genere::Applicazione || d.Percento(genere == Genere::Server ? 45 : 25);
  std::vector<Form> form;
  if (conForm) {
    const int quante = genere == Genere::Applicazione ? 1 + d.Tra(3) : 1 + d.Tra(2);
    std::vector<std::string> nomi;
    if (genere == Genere::Applicazione) nomi.push_back("frmPrincipale");
    for (const std::string& n : Scegli({"frmRicerca", "frmDettaglio", "frmOpzioni", "frmInformazioni", "frmStampa",
                                        "frmElenco", "frmAccesso", "frmRiepilogo"},
                                       quante - static_cast<int>(nomi.size()), d))
      nomi.push_back(n);
    std::vector<int> ocx;
    const int quanteOcx = 1 + d.Tra(3);
    std::vector<int> tutte = {0, 1, 2, 3, 4};
    Mescola(tutte, d);
    ocx.assign(tutte.begin(), tutte.begin() + quanteOcx);
    std::sort(ocx.begin(), ocx.end());
    static const std::pair<const char*, const char*> kTitoli[] = {
        {"frmRicerca", "Ricerca"}, {"frmDettaglio", "Dettaglio"},
        {"frmOpzioni", "Opzioni"}, {"frmInformazioni", "Informazioni su"},
        {"frmStampa", "Stampa"},   {"frmElenco", "Elenco"},
        {"frmAccesso", "Accesso"}, {"frmRiepilogo", "Riepilogo attività"}};
    for (size_t i = 0; i < nomi.size(); ++i) {
      Form f;
      f.nome = nomi[i];
      f.principale = f.nome == "frmPrincipale";
      f.titolo = prodotto + " – " + descrizione;
      for (const auto& [n, t] : kTitoli)
        if (f.nome == n) f.titolo = std::string(t) + " – " + descrizione;
      // The first form uses every control library of the project, the others one of them.
      if (i == 0)
        f.ocx = ocx;
      else
        f.ocx = {ocx[static_cast<size_t>(d.Tra(static_cast<int>(ocx.size())))]};
      form.push_back(std::move(f));
    }
  }

  std::string avvio = "(None)";
  if (genere == Genere::Applicazione)
    avvio = d.Percento(60) ? "frmPrincipale" : "Sub Main";
  else if (d.Percento(20))
    avvio = "Sub Main";
  std::vector<std::string> moduli =
      Scegli({"modGlobali", "modCostanti", "modApi", "modFunzioni", "modErrori"}, 1 + d.Tra(2), d);
  if (avvio == "Sub Main") moduli.insert(moduli.begin(), "modAvvio");

  // The project file.
  std::vector<std::string> r;
  r.push_back(std::string("Type=") + (genere == Genere::Dll ? "OleDll" : genere == Genere::Server ? "OleExe" : "Exe"));
  r.push_back(std::string("Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#") +
              (k.Percento(50) ? "C:\\WINDOWS\\system32\\stdole2.tlb" : "C:\\Windows\\System32\\stdole2.tlb") +
              "#OLE Automation");
  if (k.Percento(40))
    r.push_back(
        "Reference=*\\G{420B2830-E718-11CF-893D-00A0C9054228}#1.0#0#C:\\WINDOWS\\system32\\scrrun.dll#Microsoft "
        "Scripting Runtime");
  if (k.Percento(45))
    r.push_back(
        "Reference=*\\G{2A75196C-D9EB-4129-B803-931327F72D5C}#2.8#0#C:\\Programmi\\File "
        "comuni\\System\\ado\\msado28.tlb#Microsoft ActiveX Data Objects 2.8 Library");
  // The suite's own components it uses, all built before it: what lies in
  // its folder and a few of the base libraries.
  std::vector<int> usati;
  for (int j = c.LBound(); j < riga; ++j)
    if (GenereDi(c(j, kTipo)) != Genere::Applicazione && DentroA(c(j, kCartella), cartella)) usati.push_back(j);
  const int basi = std::min(riga, 20);
  for (int n = k.Tra(3); n > 0 && basi > 0; --n) {
    const int j = k.Tra(basi);
    if (GenereDi(c(j, kTipo)) != Genere::Applicazione && std::find(usati.begin(), usati.end(), j) == usati.end())
      usati.push_back(j);
  }
  std::sort(usati.begin(), usati.end());
  for (int j : usati)
    r.push_back("Reference=*\\G" + GuidLibreria(j) + "#1.0#0#" + c.FileOutputCompleto(j) + "#" + Prodotto(c, j) + " " +
                Descrizione(Radice(c(j, kFileProgetto))));

  // Members in the order they were added over the years, control libraries
  // among them; the environment keeps that order.
  std::vector<std::string> membri;
  std::vector<int> ocxProgetto;
  for (const Form& f : form)
    for (int i : f.ocx)
      if (std::find(ocxProgetto.begin(), ocxProgetto.end(), i) == ocxProgetto.end()) ocxProgetto.push_back(i);
  for (int i : ocxProgetto) {
    const Ocx& o = LibrerieOcx()[static_cast<size_t>(i)];
    membri.push_back(std::string("Object=") + o.guid + "; " + o.file);
  }
  for (const Form& f : form) membri.push_back("Form=Form\\" + f.nome + ".frm");
  for (const std::string& m : moduli) membri.push_back("Module=" + m + "; " + m + ".bas");
  for (const std::string& cl : classi) membri.push_back("Class=" + cl + "; " + cl + ".cls");
  if (k.Percento(50)) Mescola(membri, k);
  r.insert(r.end(), membri.begin(), membri.end());

  if (!form.empty() && k.Percento(50)) r.push_back("IconForm=\"" + form.front().nome + "\"");
  r.push_back("Startup=\"" + avvio + "\"");
  r.push_back("HelpFile=\"\"");
  std::string titolo = nome;
  if (genere == Genere::Applicazione)
    titolo = descrizione == "Orbalis" ? "Orbalis " + prodotto : prodotto + " " + descrizione;
  r.push_back("Title=\"" + titolo + "\"");
  r.push_back("ExeName32=\"" + output + "\"");
  if (k.Percento(55)) r.push_back("Path32=\"" + PercorsoRelativo(cartella, c(riga, kCartellaOutput)) + "\"");
  r.push_back("Command32=\"\"");
  r.push_back("Name=\"" + nome + "\"");
  r.push_back("HelpContextID=\"0\"");
  if (componente && k.Percento(70)) r.push_back("Description=\"" + prodotto + " – " + descrizione + "\"");
  std::string copiaRiferimento;
  if (componente) {
    copiaRiferimento = k.Percento(70) ? "Compatibilita\\" + output : nome + ".cmp";
    r.push_back("CompatibleMode=\"1\"");
    r.push_back("CompatibleExe32=\"" + copiaRiferimento + "\"");
    if (k.Percento(40)) r.push_back("VersionCompatible32=\"1\"");
  } else {
    r.push_back("CompatibleMode=\"0\"");
  }
  Dado v = DadoDi(riga, kVersione);
  r.push_back("MajorVer=" + std::to_string(1 + v.Tra(3)));
  r.push_back("MinorVer=" + std::to_string(v.Tra(10)));
  r.push_back("RevisionVer=" + std::to_string(v.Tra(400)));
  r.push_back(std::string("AutoIncrementVer=") + (v.Percento(20) ? "1" : "0"));
  r.push_back("ServerSupportFiles=0");

  // Base address: most DLLs declare one, a few were never given one.
  std::string base;
  if (genere == Genere::Dll && !DadoDi(riga, kBase).Percento(7)) base = "DllBaseAddress=" + IndirizzoBase(c, riga);
  const bool basePrima = k.Percento(75);
  if (!base.empty() && basePrima) r.push_back(base);

  // Version texts: all four in most projects, one missing here and there,
  // none at all in a few; accented letters in the ANSI code page.
  std::vector<std::pair<int, std::string>> testi;
  const int manca = v.Tra(100) < 8 ? -2 : v.Tra(100) < 15 ? v.Tra(4) : -1;
  static const char* const kCopyright[] = {"Copyright © 1999-2005 Orbalis S.r.l.",
                                           "© Orbalis S.r.l. – Tutti i diritti riservati",
                                           "Copyright © Orbalis S.r.l., Società del gruppo Orbalis"};
  if (manca != -2) {
    if (manca != 0)
      testi.push_back({0, "VersionComments=\"" + descrizione + " – componente della suite " + prodotto + "\""});
    if (manca != 3) testi.push_back({1, std::string("VersionCompanyName=\"") + kSocieta + "\""});
    testi.push_back({2, "VersionFileDescription=\"" + prodotto + " " + descrizione + "\""});
    if (manca != 1) testi.push_back({3, std::string("VersionLegalCopyright=\"") + kCopyright[v.Tra(3)] + "\""});
    if (manca != 2) testi.push_back({4, "VersionProductName=\"Orbalis " + prodotto + "\""});
  }
  if (v.Percento(25)) Mescola(testi, v);
  for (const auto& t : testi) r.push_back(t.second);
  if (!base.empty() && !basePrima) r.push_back(base);

  r.push_back("CompilationType=0");
  r.push_back("OptimizationType=0");
  r.push_back(std::string("FavorPentiumPro(tm)=") + (k.Percento(55) ? "0" : "-1"));
  r.push_back("CodeViewDebugInfo=0");
  r.push_back("NoAliasing=0");
  r.push_back("BoundsCheck=0");
  r.push_back("OverflowCheck=0");
  r.push_back("FlPointCheck=0");
  r.push_back("FDIVCheck=0");
  r.push_back("UnroundedFP=0");
  r.push_back(std::string("StartMode=") + (componente ? "1" : "0"));
  r.push_back(std::string("Unattended=") + (genere == Genere::Dll && k.Percento(20) ? "-1" : "0"));
  r.push_back("Retained=0");
  r.push_back("ThreadPerObject=0");
  r.push_back("MaxNumberOfThreads=1");
  if (genere == Genere::Dll) r.push_back("ThreadingModel=1");
  if (k.Percento(50)) r.push_back("DebugStartupOption=0");
  if (k.Percento(30)) {
    r.push_back("");
    r.push_back("[MS Transaction Server]");
    r.push_back("AutoRefresh=1");
  }
  file[0].contenuto = Unisci(r);

  // The files it names.
  Dado f = DadoDi(riga, kForm);
  for (const Form& fm : form) file.push_back({"Form\\" + fm.nome + ".frm", Unisci(TestoForm(fm, f))});
  for (const std::string& m : moduli) {
    const bool mostra = m == "modAvvio" && avvio == "Sub Main" && !form.empty();
    file.push_back({m + ".bas", Unisci(TestoModulo(m, nome, prodotto + " " + descrizione, m == "modAvvio",
                                                   mostra ? form.front().nome : std::string()))});
  }
  for (const std::string& cl : classi)
    file.push_back({cl + ".cls", Unisci(TestoClasse(cl, descrizione, componente && cl == "cls" + nome, f))});
  if (componente) {
    file.push_back(
        {copiaRiferimento, Unisci({"Copia di riferimento per la compatibilità binaria", "Componente=" + output,
                                   "Libreria=" + GuidLibreria(riga), "Versione=1.0"})});
  }
  return file;
}

}  // namespace cw::sandbox
