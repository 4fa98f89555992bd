// ReadLine and AtEndOfStream over any bytes, on the stream itself and
// through the file service: the lines joined back with their ends give the
// input. The stream drops the ends, so each one is taken from the input
// where the line stops: LF or CR LF, and a line that stops before an LF
// must not keep the CR of a CR LF.
//
// The writing side too: WriteLine of those lines gives them back with CR LF
// ends, and Write of the input gives the input.

#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "base/flusso_lettura.h"
#include "fuzz/bersagli.h"
#include "fuzz/comune.h"
#include "platform/linux/filesystem_linux.h"

namespace cw::fuzz {
namespace {

std::vector<std::string> Righe(TextStream& flusso, std::string_view ingresso) {
  std::vector<std::string> righe;
  std::string ricostruito;
  while (!flusso.AtEndOfStream()) {
    CW_VERIFICA(righe.size() <= ingresso.size(), "more lines than bytes");
    std::string riga = flusso.ReadLine();
    const size_t pos = ricostruito.size();
    CW_VERIFICA(
        ingresso.compare(pos, riga.size(), riga) == 0,
        "line " + std::to_string(righe.size()) + " " + Mostra(riga) + " is not the input at " + std::to_string(pos));
    CW_VERIFICA(riga.find_first_of("\r\n") == std::string::npos, "CR or LF inside a line: " + Mostra(riga));
    ricostruito += riga;
    const std::string_view resto = ingresso.substr(ricostruito.size());
    if (resto.empty()) {
      // The last line without an end.
    } else if (resto.starts_with("\r\n")) {
      ricostruito += "\r\n";
    } else if (resto.front() == '\n' || resto.front() == '\r') {
      ricostruito += resto.front();
    } else {
      Fallito(__FILE__, __LINE__, "line stops at no line end", Mostra(riga) + " then " + Mostra(resto.substr(0, 8)));
    }
    righe.push_back(std::move(riga));
  }
  CW_VERIFICA(ricostruito == ingresso, "joined back " + Mostra(ricostruito) + " from " + Mostra(ingresso));
  // Past the end: error 62, and the stream stays at its end.
  bool oltre = false;
  try {
    flusso.ReadLine();
  } catch (const ErroreRuntime& e) {
    oltre = e.Numero() == kInputOltreFine;
  }
  CW_VERIFICA(oltre, "ReadLine past the end did not raise error 62");
  CW_VERIFICA(flusso.AtEndOfStream() && flusso.ReadAll().empty(), "not at the end after error 62");
  return righe;
}

}  // namespace

int ProvaFlussoRighe(const std::uint8_t* dati, std::size_t n) {
  const std::string ingresso(reinterpret_cast<const char*>(dati), n);

  ReadingStream flusso(ingresso);
  const std::vector<std::string> righe = Righe(flusso, ingresso);

  // ReadAll after some lines gives exactly what they left.
  {
    ReadingStream parziale(ingresso);
    std::string letto;
    for (size_t i = 0; i < righe.size() / 2; ++i) {
      const std::string riga = parziale.ReadLine();
      letto += riga;
      letto += ingresso.compare(letto.size(), 2, "\r\n") == 0 ? std::string("\r\n") : ingresso.substr(letto.size(), 1);
    }
    CW_VERIFICA(letto + parziale.ReadAll() == ingresso, "ReadAll after " + std::to_string(righe.size() / 2) + " lines");
  }

  // The same through the file service, reading a file and writing one.
  static const std::filesystem::path prefisso = [] {
    const auto p = CartellaLavoro() / "flusso";
    std::filesystem::create_directories(p / "dosdevices");
    std::filesystem::create_directories(p / "drive_c");
    std::filesystem::create_directory_symlink("../drive_c", p / "dosdevices" / "c:");
    return p;
  }();
  static FileSystemLinux fso{DriveTable(prefisso)};
  ScriviFile(prefisso / "drive_c" / "riga.txt", ingresso);
  {
    const auto lettore = fso.OpenTextFile("C:\\riga.txt", IOMode::ForReading);
    CW_VERIFICA(Righe(*lettore, ingresso) == righe, "the file service reads other lines than the stream");
    lettore->Close();
  }
  {
    const auto scrittore = fso.OpenTextFile("C:\\scritto.txt", IOMode::ForWriting, true);
    std::string atteso;
    for (const auto& riga : righe) {
      scrittore->WriteLine(riga);
      atteso += riga + "\r\n";
    }
    scrittore->Close();
    CW_VERIFICA(LeggiFile(prefisso / "drive_c" / "scritto.txt") == atteso, "WriteLine did not give the lines back");
  }
  {
    const auto scrittore = fso.OpenTextFile("C:\\scritto.txt", IOMode::ForWriting, true);
    scrittore->Write(ingresso);
    scrittore->Close();
    CW_VERIFICA(LeggiFile(prefisso / "drive_c" / "scritto.txt") == ingresso, "Write did not give the input back");
  }
  return 0;
}

}  // namespace cw::fuzz
