#include "app/pulsante.h"

#include <QKeyEvent>

#include <QStyleOptionButton>
#include <QStylePainter>

namespace cw {

QString SenzaTastiAccesso(const QString& testo) {
  QString t = testo;
  return t.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

PulsanteComando::PulsanteComando(const QString& testo, QWidget* parent)
    : QPushButton(SenzaTastiAccesso(testo), parent) {
  setAutoDefault(false);
  setDefault(false);
}

void PulsanteComando::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void PulsanteComando::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionButton opt;
  initStyleOption(&opt);
  const QString testo = opt.text;
  // The style draws the bevel and the focus frame; the caption is ours.
  opt.text.clear();
  p.drawControl(QStyle::CE_PushButton, opt);

  QRect r = style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
  if (isDown() || isChecked())
    r.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &opt, this),
                style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &opt, this));
  // TextShowMnemonic turns the doubled "&&" back into one "&"; with every
  // "&" doubled no character is underlined.
  p.drawItemText(r, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, palette(), isEnabled(), testo,
                 QPalette::ButtonText);
}

}  // namespace cw
