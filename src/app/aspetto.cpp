#include "app/aspetto.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include "app/caratteri.h"

namespace cw {

void PreparaAspetto() {
  CaricaCaratteri();
  // Built into Qt; should it be missing, the platform's style stays.
  if (QStyle* stile = QStyleFactory::create(QStringLiteral("Windows"))) QApplication::setStyle(stile);
  QApplication::setFont(CarattereFinestra());
}

}  // namespace cw
