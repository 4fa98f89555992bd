#pragma once
// The stand-in viewer: one text file shown read-only in a window titled
// after it. What the tool relies on is only that it takes the file's path on
// its command line and that its process ends when the window is closed or
// destroyed.

#include <memory>
#include <string>
#include <vector>

#include <QPlainTextEdit>

#include "platform/linux/drive_table_linux.h"

namespace cw::notepad {

// The file's Windows path from the words of the command line. The viewer
// takes the whole rest of its command line as one name, so the words split
// at the blanks of "C:\Progetti VB\..." are joined again with one blank.
std::string NomeDaArgomenti(const std::vector<std::string>& argomenti);

// The last component of a Windows path.
std::string NomeBreve(const std::string& percorso);

struct Documento {
  std::string nome;      // Windows path, UTF-8
  bool trovato = false;  // the file could be read
  std::string testo;     // UTF-8, decoded from Windows-1252
};

Documento Apri(const DriveTable& unita, const std::string& nome);

// The window: "<name> - Blocco note", read-only, the text with its line
// ends as lines.
std::unique_ptr<QPlainTextEdit> Finestra(const Documento& documento);

// Ends the application's event loop when the window's X window is destroyed,
// not only when it is closed: a viewer whose window another program destroyed
// would otherwise run on with nothing to close, and the full run waiting for
// it would never go on. Call once the window is shown.
void FinisceConLaFinestra(QWidget& finestra);

}  // namespace cw::notepad
