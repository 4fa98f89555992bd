#pragma once
// CatalogoComponenti: the suite the tool builds, one row per component
// project, in build order. Fixed in the program; filled once at load.

#include <array>
#include <string>
#include <vector>

namespace cw {

enum Colonna : int { kCartella = 0, kFileProgetto = 1, kCartellaOutput = 2, kTipo = 3, kFileOutput = 4 };

inline constexpr const char* kRadiceSorgenti = "C:\\Progetti VB\\Wexo\\";
inline constexpr const char* kCartellaOutputComponenti = "C:\\Orbalis\\Componenti";
inline constexpr int kRigheCatalogo = 148;

using RigaCatalogo = std::array<std::string, 5>;

class CatalogoComponenti {
 public:
  // The table of the program: 148 rows, all empty until CaricaCatalogo.
  CatalogoComponenti() : righe_(kRigheCatalogo) {}
  // A table of any size, for tests that need other rows.
  explicit CatalogoComponenti(std::vector<RigaCatalogo> righe) : righe_(std::move(righe)) {}

  // The table's own bounds; walks run LBound()..UBound().
  int LBound() const { return 0; }
  int UBound() const { return static_cast<int>(righe_.size()) - 1; }

  // A cell; an index outside the bounds raises run-time error 9.
  const std::string& operator()(int riga, int colonna) const;
  void Imposta(int riga, int colonna, std::string valore);

  // Cartella + "\" + FileProgetto, and CartellaOutput + "\" + FileOutput.
  std::string FileProgettoCompleto(int riga) const;
  std::string FileOutputCompleto(int riga) const;

 private:
  std::vector<RigaCatalogo> righe_;
};

// Fills all 148 rows of the program's catalogue.
void CaricaCatalogo(CatalogoComponenti& catalogo);

}  // namespace cw
