#include "app/limite_digitazione.h"

#include <algorithm>
#include <limits>

namespace cw {

LimiteDigitazione::LimiteDigitazione(QLineEdit* casella, int limite)
    : QValidator(casella),
      limite_(limite > 0 ? limite : std::numeric_limits<int>::max()),
      precedente_(casella->text()) {
  connect(casella, &QLineEdit::textChanged, this, [this](const QString& t) { precedente_ = t; });
}

QValidator::State LimiteDigitazione::validate(QString& input, int& pos) const {
  const auto aCapo = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
  // The edit put the characters before pos in place of a selection: what
  // is kept of the old text is a prefix of it and the text after pos.
  pos = std::clamp(pos, 0, static_cast<int>(input.size()));
  const QString dopo = input.mid(pos);
  if (!precedente_.endsWith(dopo))
    return input.size() <= limite_ && std::none_of(input.begin(), input.end(), aCapo) ? Acceptable : Invalid;
  const int massimoPrima = static_cast<int>(precedente_.size() - dopo.size());
  int prima = 0;
  while (prima < pos && prima < massimoPrima && input[prima] == precedente_[prima]) ++prima;
  if (prima == pos) return Acceptable;  // nothing inserted: a deletion
  // The box holds one line, as the form's do: a pasted text ends at its
  // first line break, which would otherwise reach the project files as a
  // line of its own.
  QString inserito = input.mid(prima, pos - prima);
  inserito.truncate(static_cast<int>(std::find_if(inserito.begin(), inserito.end(), aCapo) - inserito.begin()));
  // As the original control does, the inserted characters are cut to what
  // the limit leaves room for, and nothing of them goes in when the kept
  // text already fills it.
  const int spazio = std::max(0, limite_ - prima - static_cast<int>(dopo.size()));
  inserito.truncate(std::min(static_cast<int>(inserito.size()), spazio));
  input = input.left(prima) + inserito + dopo;
  pos = prima + static_cast<int>(inserito.size());
  return Acceptable;
}

void LimiteDigitazione::ImpostaTesto(QLineEdit& casella, const QString& testo) {
  // The line edit checks even a text set by the program; let this one in.
  if (auto* limite = casella.findChild<LimiteDigitazione*>(QString(), Qt::FindDirectChildrenOnly))
    limite->precedente_ = testo;
  casella.setText(testo);
}

}  // namespace cw
