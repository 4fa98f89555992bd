// compilawexo: the window frmCompilazione; closing it ends the program.

#include <QApplication>

#include "app/aspetto.h"
#include "app/frmCompilazione.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("CompilaWexo"));
  cw::PreparaAspetto();
  cw::frmCompilazione finestra;
  finestra.show();
  return app.exec();
}
