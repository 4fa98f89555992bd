// compilawexo: the window frmCompilazione; closing it ends the program.

#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/aspetto.h"
#include "app/frmCompilazione.h"
#include "platform/servizi_piattaforma.h"
#include "versione_programma.h"

int main(int argc, char** argv) {
  // Answered before Qt starts, so it needs no display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("compilawexo %s\n", cw::kVersioneProgramma);
    return 0;
  }
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
