#include "projectfile/grafo_riferimenti.h"

#include <algorithm>
#include <map>

#include "base/ansi.h"

namespace cw {
namespace {

bool Separatore(char c) { return c == '\\' || c == '/'; }

bool HaUnita(std::string_view p) {
  return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

// The path of a file a project names, as Windows finds it: as it stands with
// a drive, below the project's drive when it starts with a separator,
// otherwise below the project's folder; "." and ".." folded, "/" read as
// "\", and in upper case as Windows compares names. With nudoResta a bare
// name (no folder) stays bare: a control library the system finds by its
// registration.
std::string Chiave(std::string_view cartella, std::string_view nome, bool nudoResta = false) {
  const bool nudo = nudoResta && std::none_of(nome.begin(), nome.end(), Separatore) && !HaUnita(nome);
  std::string percorso;
  if (nudo) {
    percorso = nome;
  } else {
    std::string_view unita;
    std::string resto;
    if (HaUnita(nome)) {
      unita = nome.substr(0, 2);
      resto = nome.substr(2);
    } else {
      unita = HaUnita(cartella) ? cartella.substr(0, 2) : std::string_view{};
      resto = !nome.empty() && Separatore(nome.front())
                  ? std::string(nome)
                  : std::string(cartella.substr(unita.size())) + "\\" + std::string(nome);
    }
    std::vector<std::string> parti;
    size_t i = 0;
    while (i < resto.size()) {
      while (i < resto.size() && Separatore(resto[i])) ++i;
      size_t j = i;
      while (j < resto.size() && !Separatore(resto[j])) ++j;
      const std::string parte = resto.substr(i, j - i);
      if (parte == "..") {
        if (!parti.empty()) parti.pop_back();
      } else if (!parte.empty() && parte != ".") {
        parti.push_back(parte);
      }
      i = j;
    }
    percorso = unita;
    for (const std::string& p : parti) percorso += "\\" + p;
  }
  return MaiuscoloUtf8(percorso);
}

std::string NomeDi(const std::string& chiave) {
  const size_t k = chiave.find_last_of('\\');
  return k == std::string::npos ? chiave : chiave.substr(k + 1);
}

}  // namespace

int GrafoRiferimenti::Archi() const {
  int n = 0;
  for (const auto& r : richieste) n += static_cast<int>(r.size());
  return n;
}

GrafoRiferimenti CostruisciGrafo(const CatalogoComponenti& catalogo, const std::vector<RiferimentiProgetto>& progetti) {
  const int righe = catalogo.UBound() - catalogo.LBound() + 1;
  // Every row's built file and project file, by path and by bare name.
  std::multimap<std::string, int> costruiti, perNome, progettiDi;
  for (int i = 0; i < righe; ++i) {
    const int riga = catalogo.LBound() + i;
    const RiferimentiProgetto& p = progetti[static_cast<size_t>(i)];
    if (p.nomeEseguibile && !p.nomeEseguibile->empty()) {
      const std::string chiave = Chiave(catalogo(riga, kCartellaOutput), AnsiToUtf8(*p.nomeEseguibile));
      costruiti.emplace(chiave, i);
      perNome.emplace(NomeDi(chiave), i);
    }
    progettiDi.emplace(Chiave(catalogo(riga, kCartella), catalogo(riga, kFileProgetto)), i);
  }

  GrafoRiferimenti g;
  g.richieste.resize(static_cast<size_t>(righe));
  for (int i = 0; i < righe; ++i) {
    const RiferimentiProgetto& p = progetti[static_cast<size_t>(i)];
    std::vector<int>& richieste = g.richieste[static_cast<size_t>(i)];
    for (size_t k = 0; k < p.file.size(); ++k) {
      const std::string chiave =
          Chiave(catalogo(catalogo.LBound() + i, kCartella), AnsiToUtf8(p.file[k]), !p.progetto[k]);
      const auto& dove = p.progetto[k] ? progettiDi : chiave.find('\\') == std::string::npos ? perNome : costruiti;
      for (auto [a, b] = dove.equal_range(chiave); a != b; ++a) richieste.push_back(a->second);
    }
    std::sort(richieste.begin(), richieste.end());
    richieste.erase(std::unique(richieste.begin(), richieste.end()), richieste.end());
    for (int r : richieste)
      if (r > i) g.successive.push_back({i, r});
  }

  // Tarjan's strongly connected components, without recursion: a chain of
  // 148 rows is shallow, a catalogue of any size need not be.
  std::vector<int> indice(static_cast<size_t>(righe), -1), minimo(static_cast<size_t>(righe), 0);
  std::vector<bool> inPila(static_cast<size_t>(righe), false);
  std::vector<int> pila;
  int contatore = 0;
  for (int radice = 0; radice < righe; ++radice) {
    if (indice[static_cast<size_t>(radice)] >= 0) continue;
    std::vector<std::pair<int, size_t>> cammino = {{radice, 0}};
    while (!cammino.empty()) {
      auto& [v, prossimo] = cammino.back();
      const size_t sv = static_cast<size_t>(v);
      if (prossimo == 0 && indice[sv] < 0) {
        indice[sv] = minimo[sv] = contatore++;
        pila.push_back(v);
        inPila[sv] = true;
      }
      const std::vector<int>& archi = g.richieste[sv];
      if (prossimo < archi.size()) {
        const int w = archi[prossimo++];
        const size_t sw = static_cast<size_t>(w);
        if (indice[sw] < 0)
          cammino.push_back({w, 0});
        else if (inPila[sw])
          minimo[sv] = std::min(minimo[sv], indice[sw]);
        continue;
      }
      if (minimo[sv] == indice[sv]) {
        std::vector<int> componente;
        int w = -1;
        do {
          w = pila.back();
          pila.pop_back();
          inPila[static_cast<size_t>(w)] = false;
          componente.push_back(w);
        } while (w != v);
        const bool daSe = std::binary_search(archi.begin(), archi.end(), v);
        if (componente.size() > 1 || daSe) {
          std::sort(componente.begin(), componente.end());
          g.cicli.push_back(std::move(componente));
        }
      }
      const int finito = v;
      cammino.pop_back();
      if (!cammino.empty()) {
        const size_t su = static_cast<size_t>(cammino.back().first);
        minimo[su] = std::min(minimo[su], minimo[static_cast<size_t>(finito)]);
      }
    }
  }
  std::sort(g.cicli.begin(), g.cicli.end());
  return g;
}

GrafoRiferimenti LeggiGrafoRiferimenti(FileSystem& fso, const CatalogoComponenti& catalogo) {
  std::vector<RiferimentiProgetto> progetti;
  for (int i = catalogo.LBound(); i <= catalogo.UBound(); ++i) {
    const auto file = fso.OpenTextFile(catalogo.FileProgettoCompleto(i), IOMode::ForReading);
    progetti.push_back(LeggiRiferimenti(file->ReadAll()));
    file->Close();
  }
  return CostruisciGrafo(catalogo, progetti);
}

std::vector<double> PercorsoRimanente(const GrafoRiferimenti& grafo, const std::vector<double>& pesi) {
  if (!grafo.cicli.empty()) return {};
  const size_t n = grafo.richieste.size();
  // Who needs each row, and a row's value once all of those are known: the
  // rows in reverse topological order, leaves (needed by none) first.
  std::vector<std::vector<int>> chiLaUsa(n);
  std::vector<size_t> mancanti(n, 0);
  for (size_t r = 0; r < n; ++r)
    for (int u : grafo.richieste[r]) {
      chiLaUsa[static_cast<size_t>(u)].push_back(static_cast<int>(r));
      ++mancanti[static_cast<size_t>(u)];
    }
  std::vector<double> rimanente(n, 0);
  std::vector<int> pronte;
  for (size_t r = 0; r < n; ++r)
    if (mancanti[r] == 0) pronte.push_back(static_cast<int>(r));
  while (!pronte.empty()) {
    const size_t r = static_cast<size_t>(pronte.back());
    pronte.pop_back();
    double piu = 0;
    for (int d : chiLaUsa[r]) piu = std::max(piu, rimanente[static_cast<size_t>(d)]);
    rimanente[r] = (pesi.empty() ? 1.0 : pesi[r]) + piu;
    for (int u : grafo.richieste[r])
      if (--mancanti[static_cast<size_t>(u)] == 0) pronte.push_back(u);
  }
  return rimanente;
}

std::optional<RigaSuccessiva> PrimaViolazione(const GrafoRiferimenti& grafo, const std::vector<int>& ordine) {
  std::vector<int> posizione(grafo.richieste.size(), -1);
  for (size_t k = 0; k < ordine.size(); ++k) posizione[static_cast<size_t>(ordine[k])] = static_cast<int>(k);
  for (size_t k = 0; k < ordine.size(); ++k)
    for (int u : grafo.richieste[static_cast<size_t>(ordine[k])])
      if (posizione[static_cast<size_t>(u)] >= static_cast<int>(k)) return RigaSuccessiva{ordine[k], u};
  return std::nullopt;
}

}  // namespace cw
