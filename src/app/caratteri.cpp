#include "app/caratteri.h"

#include <QFontDatabase>
#include <QtGlobal>

namespace cw {

void CaricaCaratteri() {
  static const bool kCaricati = [] {
    for (const char* file : {"tahoma.ttf", "ms_sans_serif.ttf"}) {
      const QString percorso = QString::fromUtf8(kCartellaCaratteriWine) + QString::fromUtf8(file);
      if (QFontDatabase::addApplicationFont(percorso) < 0)
        qWarning("compilawexo: cannot load font %s", qPrintable(percorso));
    }
    return true;
  }();
  (void)kCaricati;
}

QFont Carattere(const QString& famiglia) {
  QFont f(famiglia);
  f.setPointSizeF(kPuntiCaratteri);
  f.setWeight(QFont::Normal);
  f.setItalic(false);
  return f;
}

QFont CarattereFinestra() { return Carattere(QStringLiteral("Tahoma")); }

QFont CarattereContenitori() {
  QFont f = Carattere(QStringLiteral("MS Sans Serif"));
  // A screen font drawn on the pixel grid: smoothing only blurs it.
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

}  // namespace cw
