#pragma once
// The source backup: up to five generations of every catalogue project file
// beside it, P_1 the newest and P_5 the oldest.

#include "base/ui.h"
#include "catalogue/catalogo.h"
#include "platform/filesystem.h"

namespace cw {

inline constexpr int kGenerazioniBackup = 5;

// For every row in catalogue order: P_4..P_1 renamed one generation older
// (those that exist), then P copied whole to P_1; one log line per row, marked
// " OK!" when the row is done. The first failing copy stops it with that
// row's line still ending in " in corso...".
std::string GenerazioneBackup(const std::string& progetto, int k);
void EseguiBackup(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui);

}  // namespace cw
