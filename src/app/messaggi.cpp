#include "app/messaggi.h"

#include <QAbstractButton>

#include "base/ui.h"

namespace cw {

namespace {

using B = QMessageBox::StandardButton;

struct Pulsanti {
  B elenco[3];
  int quanti;
  B fuga;  // the button closing the box stands for; NoButton: it cannot be closed
};

Pulsanti PulsantiDelloStile(int stile) {
  switch (stile & 0x7) {
    case 1: return {{B::Ok, B::Cancel}, 2, B::Cancel};
    case 2: return {{B::Abort, B::Retry, B::Ignore}, 3, B::NoButton};
    case 3: return {{B::Yes, B::No, B::Cancel}, 3, B::Cancel};
    case 4: return {{B::Yes, B::No}, 2, B::No};
    case 5: return {{B::Retry, B::Cancel}, 2, B::Cancel};
    default: return {{B::Ok}, 1, B::Ok};
  }
}

QMessageBox::Icon IconaDelloStile(int stile) {
  switch (stile & 0x70) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

void PreparaMessaggio(QMessageBox& box, const QString& testo, int stile, const QString& titolo) {
  box.setWindowTitle(titolo);
  box.setTextFormat(Qt::PlainText);
  box.setText(testo);
  box.setIcon(IconaDelloStile(stile));
  const Pulsanti p = PulsantiDelloStile(stile);
  QMessageBox::StandardButtons tutti;
  for (int i = 0; i < p.quanti; ++i) tutti |= p.elenco[i];
  box.setStandardButtons(tutti);
  // The first button is the default unless the style names the second or third.
  const int predefinito = (stile >> 8) & 0x3;
  box.setDefaultButton(p.elenco[predefinito < p.quanti ? predefinito : 0]);
  if (p.fuga != B::NoButton) box.setEscapeButton(p.fuga);
}

int RispostaMessaggio(const QMessageBox& box, const QAbstractButton* premuto) {
  if (!premuto) premuto = box.escapeButton();
  switch (premuto ? box.standardButton(const_cast<QAbstractButton*>(premuto)) : B::NoButton) {
    case B::Ok: return kRispostaOk;
    case B::Cancel: return kRispostaAnnulla;
    case B::Abort: return 3;
    case B::Retry: return 4;
    case B::Ignore: return 5;
    case B::Yes: return kRispostaSi;
    case B::No: return kRispostaNo;
    default: return kRispostaAnnulla;
  }
}

}  // namespace cw
