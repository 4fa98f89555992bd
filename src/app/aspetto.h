#pragma once
// The look of the whole application, set once before the window is made:
// the two fonts registered, the classic Windows style (frame captions in the
// frame's top line, sunken text boxes, as the tool has always looked), and
// Tahoma 8.25 pt as the application font, so message boxes match the window;
// Qt's Italian translations (qtbase_it) for the texts Qt itself shows.

namespace cw {

// Needs the QApplication; call it before creating frmCompilazione.
void PreparaAspetto();

}  // namespace cw
