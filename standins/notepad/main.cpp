// standin-notepad: shows the file named on its command line until its
// window is closed or destroyed. The name is a Windows path, resolved through the drive
// table of $WINEPREFIX.

#include <QApplication>
#include <QMessageBox>

#include "blocco_note.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::vector<std::string> argomenti(argv + 1, argv + argc);
  const std::string nome = cw::notepad::NomeDaArgomenti(argomenti);
  if (nome.empty()) {
    auto w = cw::notepad::Finestra({"Senza nome", true, {}});
    w->show();
    cw::notepad::FinisceConLaFinestra(*w);
    return app.exec();
  }
  const auto documento = cw::notepad::Apri(cw::DriveTable::FromEnvironment(), nome);
  if (!documento.trovato) {
    QMessageBox::warning(nullptr, QStringLiteral("Blocco note"),
                         QString::fromStdString("Impossibile trovare il file " + nome + "."));
    return 0;
  }
  auto w = cw::notepad::Finestra(documento);
  w->show();
  cw::notepad::FinisceConLaFinestra(*w);
  return app.exec();
}
