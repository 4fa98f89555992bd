#pragma once
// The window of "Anteprima modifiche": the diff of what a command would
// write, read-only, in the font of the base address report so the columns
// of the diff line up.

#include <QString>

class QWidget;

namespace cw {

// Shows testo in the window "frmAnteprima" owned by padre, opening it or
// replacing what it showed; it stays open beside the main window, which
// goes on taking commands.
void MostraAnteprima(QWidget* padre, const QString& testo);

}  // namespace cw
