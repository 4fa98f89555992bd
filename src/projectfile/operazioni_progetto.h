#pragma once
// The operations that stamp values into every project file of the suite, and
// the GUID replacement over project and form files. Texts are UTF-8 as the
// window holds them; they reach the files in Windows-1252.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/ui.h"
#include "catalogue/catalogo.h"
#include "platform/filesystem.h"
#include "projectfile/compatibilita.h"
#include "projectfile/passaggio_progetti.h"

namespace cw {

// "CompatibleMode=\"<modo>\"" in the project file of every row except the
// applications ("app", "app-skipcompile").
bool RigaConCompatibilita(const CatalogoComponenti& catalogo, int riga);
void ImpostaCompatibilita(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, Compatibilita modo);
// The passes the three operations run, for whoever wants to know what they
// would write without writing it.
PassaggioProgetti PassaggioCompatibilita(Compatibilita modo);
PassaggioProgetti PassaggioVersione(const std::string& principale, const std::string& secondaria,
                                    const std::string& revisione);
// The project file's keys of the four version-information texts, in the
// order of their fields (Commenti, Copyright, Nome prodotto, Nome società).
inline constexpr const char* kChiaviProprieta[] = {
    "VersionComments=", "VersionLegalCopyright=", "VersionProductName=", "VersionCompanyName="};

// Which of those texts (by index) some project file of the catalogue holds,
// not empty, today: what a pass with an empty field would wipe out.
std::array<bool, 4> ProprietaScritte(FileSystem& fso, const CatalogoComponenti& catalogo);

PassaggioProgetti PassaggioProprieta(const std::string& commenti, const std::string& copyright,
                                     const std::string& nomeProdotto, const std::string& nomeSocieta);

// "MajorVer=", "MinorVer=", "RevisionVer=" followed by the texts as given, and
// "FavorPentiumPro(tm)=0" switched to -1, in the project file of every row.
void ImpostaVersione(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, const std::string& principale,
                     const std::string& secondaria, const std::string& revisione);

// The four version-information texts, in the project file of every row.
void ImpostaProprieta(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui, const std::string& commenti,
                      const std::string& copyright, const std::string& nomeProdotto, const std::string& nomeSocieta);

// The files the commands rewrite, row by row in catalogue order: the
// project file and each ".frm" file (exact, case-sensitive ending) directly
// inside the row's "Form" folder, none when the folder is missing; and the
// leftover "_tmp" copies of either: a project file's copy when anything of
// that name exists, every entry whose name ends ".frm_tmp" in the same
// listing (a file or not: a link, a folder, a FIFO). Each "Form" folder is
// listed once.
struct FileSuite {
  struct Riga {
    std::string progetto;
    std::vector<std::string> form;
  };
  std::vector<Riga> righe;
  std::vector<std::string> copie;
};
FileSuite ElencaFileSuite(FileSystem& fso, const CatalogoComponenti& catalogo);

// The rule of SostituisciGuid, and the files it rewrites in their order:
// each row's project file followed by its form files.
RegolaRiga RegolaGuid(const std::string& vecchio, const std::string& nuovo);
std::vector<std::string> FileSostituzioneGuid(const FileSuite& suite);
std::vector<std::string> FileSostituzioneGuid(FileSystem& fso, const CatalogoComponenti& catalogo);

// A GUID as the files hold it: 8-4-4-4-12 hexadecimal digits, in either
// letter case, inside braces or without both of them.
bool FormaGuid(std::string_view testo);

// Every occurrence of vecchio becomes nuovo in each of the files of the
// suite, or in the files FileSostituzioneGuid lists for the catalogue.
// Writes no log line; returns how many project and form files held vecchio.
struct FileCambiati {
  int progetti = 0, form = 0;
};
FileCambiati SostituisciGuid(FileSystem& fso, const FileSuite& suite, const std::string& vecchio,
                             const std::string& nuovo);
FileCambiati SostituisciGuid(FileSystem& fso, const CatalogoComponenti& catalogo, const std::string& vecchio,
                             const std::string& nuovo);

}  // namespace cw
