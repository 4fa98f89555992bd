#include "app/finestra_anteprima.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/caratteri.h"
#include "tools/indirizzi_base_dll.h"

namespace cw {

void MostraAnteprima(QWidget* padre, const QString& testo) {
  auto* finestra = padre->findChild<QDialog*>(QStringLiteral("frmAnteprima"), Qt::FindDirectChildrenOnly);
  if (!finestra) {
    finestra = new QDialog(padre);
    finestra->setObjectName(QStringLiteral("frmAnteprima"));
    finestra->setWindowTitle(QStringLiteral("Anteprima modifiche"));
    finestra->setModal(false);
    auto* testoDiff = new QPlainTextEdit(finestra);
    testoDiff->setObjectName(QStringLiteral("txtAnteprima"));
    testoDiff->setReadOnly(true);
    // Read only, the text takes no keys: the keyboard's cursor brings back the
    // arrows, the pages and Ctrl+Home / Ctrl+End to the start and the end.
    testoDiff->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    testoDiff->setLineWrapMode(QPlainTextEdit::NoWrap);
    testoDiff->setFont(Carattere(QString::fromUtf8(kFontReport)));
    auto* pulsanti = new QDialogButtonBox(finestra);
    pulsanti->addButton(QStringLiteral("Chiudi"), QDialogButtonBox::RejectRole);
    QObject::connect(pulsanti, &QDialogButtonBox::rejected, finestra, &QDialog::hide);
    auto* disposizione = new QVBoxLayout(finestra);
    disposizione->addWidget(testoDiff);
    disposizione->addWidget(pulsanti);
    finestra->resize(720, 520);
  }
  auto* testoDiff = finestra->findChild<QPlainTextEdit*>(QStringLiteral("txtAnteprima"));
  testoDiff->setPlainText(testo);
  finestra->show();
  finestra->raise();
  finestra->activateWindow();
  testoDiff->setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace cw
