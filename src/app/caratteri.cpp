#include "app/caratteri.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QtGlobal>
#include <algorithm>
#include <string_view>

#include "commands/controlli.h"

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

namespace {

bool InContenitore(const DescrizioneControllo& d) {
  for (const DescrizioneControllo& c : ControlliFinestra())
    if (c.tipo == TipoControllo::Contenitore && std::string_view(c.nome) == d.contenitore) return true;
  return false;
}

}  // namespace

QFont CarattereContenitori(double rapportoPixel) {
  QFont f = Carattere(QStringLiteral("MS Sans Serif"));
  // A screen font drawn on the pixel grid: smoothing only blurs it.
  f.setStyleStrategy(QFont::NoAntialias);
  if (rapportoPixel == 1.0) return f;
  // Tahoma runs wider than the bitmap face: made as small as it takes for
  // every caption inside a picture box to need no more room than in the
  // bitmap face, the captions keep their place in the layout ("Incremento
  // automatico" within its check box, "Backup e compatibilità" on one line).
  // Unhinted, its advances scale with the layout instead of rounding up at
  // each size.
  QFont contorno = CarattereFinestra();
  contorno.setHintingPreference(QFont::PreferNoHinting);
  const QFontMetricsF bitmap(f), scalabile(contorno);
  qreal quota = 1.0;
  for (const DescrizioneControllo& d : ControlliFinestra()) {
    const QString testo = QString::fromUtf8(d.testo);
    if (!testo.isEmpty() && InContenitore(d))
      quota = std::min(quota, bitmap.horizontalAdvance(testo) / scalabile.horizontalAdvance(testo));
  }
  // Drawn at the scaled size a caption still comes out a few per cent wider
  // than measured here (2x: 112 px against 108): 5 % more room.
  if (quota > 0.8) contorno.setPointSizeF(kPuntiCaratteri * quota * 0.95);
  return contorno;
}

}  // namespace cw
