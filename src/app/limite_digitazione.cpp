#include "app/limite_digitazione.h"

namespace cw {

LimiteDigitazione::LimiteDigitazione(QLineEdit* casella, int limite)
    : QValidator(casella), limite_(limite), precedente_(casella->text()) {
  connect(casella, &QLineEdit::textChanged, this, [this](const QString& t) { precedente_ = t; });
}

QValidator::State LimiteDigitazione::validate(QString& input, int&) const {
  return input.size() <= limite_ || input.size() <= precedente_.size() ? Acceptable : Invalid;
}

void LimiteDigitazione::ImpostaTesto(QLineEdit& casella, const QString& testo) {
  // The line edit checks even a text set by the program; let this one in.
  if (auto* limite = casella.findChild<LimiteDigitazione*>(QString(), Qt::FindDirectChildrenOnly))
    limite->precedente_ = testo;
  casella.setText(testo);
}

}  // namespace cw
