// compilawexo: the window frmCompilazione; closing it ends the program.

#include <QApplication>

#include "app/aspetto.h"
#include "app/frmCompilazione.h"
#include "platform/fine_su_segnale.h"

int main(int argc, char** argv) {
  // SIGTERM, SIGINT and SIGHUP end what a command waits for, then the window.
  cw::PreparaFineSuSegnale();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("CompilaWexo"));
  cw::PreparaAspetto();
  cw::frmCompilazione finestra;
  finestra.show();
  return app.exec();
}
