// compilawexo: the window frmCompilazione; closing it ends the program.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/aspetto.h"
#include "app/frmCompilazione.h"
#include "commands/riga_finestra.h"
#include "platform/linux/drive_table_linux.h"
#include "platform/servizi_piattaforma.h"
#include "versione_programma.h"

int main(int argc, char** argv) {
  // Answered before Qt starts, so they need no display.
  const cw::RigaFinestra riga = cw::LeggiRigaFinestra(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto uscita = cw::RispondiRigaFinestra(riga, cw::kVersioneProgramma)) return *uscita;
  // Started from a menu there is no WINEPREFIX: the drives are then those of
  // Wine's own prefix, and the log says which one.
  if (const char* p = std::getenv("WINEPREFIX"); !p || !*p)
    std::fprintf(stderr, "compilawexo: WINEPREFIX non è impostata: prefisso Wine %s\n",
                 cw::DriveTable::FromEnvironment().Prefix().c_str());
  std::string errore;
  const auto traccia = cw::CreaTraccia(riga.debug, errore);
  if (!errore.empty()) {
    std::fprintf(stderr, "compilawexo: %s\n", errore.c_str());
    return 1;
  }
  cw::ImpostaTraccia(traccia.get());
  // SIGTERM, SIGINT and SIGHUP end what a command waits for, then the window.
  cw::CreaServiziSistema().segnali->PreparaFineSuSegnale();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("CompilaWexo"));
  QApplication::setApplicationVersion(QString::fromUtf8(cw::kVersioneProgramma));
  // The desktop finds the window's entry, and its icon, by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("compilawexo"));
  cw::PreparaAspetto();
  cw::frmCompilazione finestra;
  finestra.show();
  return app.exec();
}
