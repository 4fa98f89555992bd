#include "app/puntatore.h"

#include <QCursor>
#include <QGuiApplication>

#include "base/ui.h"

namespace cw {

void ImpostaPuntatore(int valore) {
  Qt::CursorShape forma;
  switch (valore) {
    case kPuntatoreClessidra: forma = Qt::WaitCursor; break;
    case kPuntatoreFrecciaClessidra: forma = Qt::BusyCursor; break;
    default:
      while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
      return;
  }
  if (QGuiApplication::overrideCursor())
    QGuiApplication::changeOverrideCursor(QCursor(forma));
  else
    QGuiApplication::setOverrideCursor(QCursor(forma));
}

int PuntatoreCorrente() {
  const QCursor* c = QGuiApplication::overrideCursor();
  if (!c) return kPuntatorePredefinito;
  switch (c->shape()) {
    case Qt::WaitCursor: return kPuntatoreClessidra;
    case Qt::BusyCursor: return kPuntatoreFrecciaClessidra;
    default: return kPuntatorePredefinito;
  }
}

}  // namespace cw
