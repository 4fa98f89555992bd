#include "percorsi_windows.h"

#include <vector>

namespace cw::vb6 {
namespace {

bool Separatore(char c) { return c == '\\' || c == '/'; }

bool HaUnita(std::string_view p) {
  return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

// "C:" + components, with "." dropped and ".." taking one back.
std::string Normalizza(std::string_view unita, std::string_view resto) {
  std::vector<std::string_view> parti;
  size_t i = 0;
  while (i < resto.size()) {
    while (i < resto.size() && Separatore(resto[i])) ++i;
    size_t j = i;
    while (j < resto.size() && !Separatore(resto[j])) ++j;
    const std::string_view parte = resto.substr(i, j - i);
    if (parte == "..") {
      if (!parti.empty()) parti.pop_back();
    } else if (!parte.empty() && parte != ".") {
      parti.push_back(parte);
    }
    i = j;
  }
  std::string out(unita);
  for (auto p : parti) {
    out += '\\';
    out += p;
  }
  if (parti.empty()) out += '\\';
  return out;
}

}  // namespace

std::string CartellaDi(std::string_view percorso) {
  size_t k = percorso.size();
  while (k > 0 && !Separatore(percorso[k - 1])) --k;
  if (k == 0) return {};
  return std::string(percorso.substr(0, k - 1));
}

std::string Combina(std::string_view cartella, std::string_view nome) {
  if (HaUnita(nome)) return Normalizza(nome.substr(0, 2), nome.substr(2));
  const std::string_view unita = HaUnita(cartella) ? cartella.substr(0, 2) : std::string_view{};
  if (!nome.empty() && Separatore(nome[0])) return Normalizza(unita, nome);
  std::string resto(cartella.substr(unita.size()));
  resto += '\\';
  resto += nome;
  return Normalizza(unita, resto);
}

}  // namespace cw::vb6
