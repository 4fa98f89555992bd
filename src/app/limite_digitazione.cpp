#include "app/limite_digitazione.h"

#include <algorithm>

namespace cw {

LimiteDigitazione::LimiteDigitazione(QLineEdit* casella, int limite)
    : QValidator(casella), limite_(limite), precedente_(casella->text()) {
  connect(casella, &QLineEdit::textChanged, this, [this](const QString& t) { precedente_ = t; });
}

QValidator::State LimiteDigitazione::validate(QString& input, int& pos) const {
  if (input.size() <= limite_) return Acceptable;
  // The edit put the characters before pos in place of a selection: what
  // is kept of the old text is a prefix of it and the text after pos.
  pos = std::clamp(pos, 0, static_cast<int>(input.size()));
  const QString dopo = input.mid(pos);
  if (!precedente_.endsWith(dopo)) return Invalid;
  const int massimoPrima = static_cast<int>(precedente_.size() - dopo.size());
  int prima = 0;
  while (prima < pos && prima < massimoPrima && input[prima] == precedente_[prima]) ++prima;
  if (prima == pos) return Acceptable;  // nothing inserted: a deletion
  // As the original control does, the inserted characters are cut to what
  // the limit leaves room for, and nothing of them goes in when the kept
  // text already fills it.
  const int spazio = std::max(0, limite_ - prima - static_cast<int>(dopo.size()));
  const int inseriti = std::min(pos - prima, spazio);
  input = input.left(prima + inseriti) + dopo;
  pos = prima + inseriti;
  return Acceptable;
}

void LimiteDigitazione::ImpostaTesto(QLineEdit& casella, const QString& testo) {
  // The line edit checks even a text set by the program; let this one in.
  if (auto* limite = casella.findChild<LimiteDigitazione*>(QString(), Qt::FindDirectChildrenOnly))
    limite->precedente_ = testo;
  casella.setText(testo);
}

}  // namespace cw
