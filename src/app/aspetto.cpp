#include "app/aspetto.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include "app/caratteri.h"

namespace cw {

void PreparaAspetto() {
  // Qt's own Italian texts, so the boxes say "Annulla", "Sì" as an Italian
  // system does; without the file they stay in English.
  auto* traduzione = new QTranslator(qApp);
  if (traduzione->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(traduzione);
  else
    delete traduzione;
  CaricaCaratteri();
  // Built into Qt; should it be missing, the platform's style stays.
  if (QStyle* stile = QStyleFactory::create(QStringLiteral("Windows"))) QApplication::setStyle(stile);
  QApplication::setFont(CarattereFinestra());
}

}  // namespace cw
