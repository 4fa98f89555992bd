#pragma once
// Message boxes by style number: the low bits choose the buttons, the next
// ones the icon (16 critical, 32 question, 48 exclamation, 64 information),
// and the answer is the number of the button pressed.

#include <QMessageBox>
#include <QString>

namespace cw {

// Title, text (shown as plain text), icon, buttons, default and escape
// button for a style.
void PreparaMessaggio(QMessageBox& box, const QString& testo, int stile, const QString& titolo);

// The answer for the button pressed (1 OK, 2 Cancel, 3 Abort, 4 Retry,
// 5 Ignore, 6 Yes, 7 No). No button pressed, as when the box is closed,
// counts as its escape button: Cancel, No, or the lone OK.
int RispostaMessaggio(const QMessageBox& box, const QAbstractButton* premuto);

}  // namespace cw
