#pragma once
// A command button whose caption wraps onto more lines when it does not fit
// its width, as the original buttons do ("Backup, compatibilità e
// compilazione" takes two lines). Never a default button.

#include <QPushButton>

namespace cw {

class PulsanteComando : public QPushButton {
 public:
  explicit PulsanteComando(const QString& testo, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Enter clicks the button that has the focus, as on Windows.
  void keyPressEvent(QKeyEvent* event) override;
};

// The caption as Qt must be given it so that no character becomes an access
// key: every "&" doubled.
QString SenzaTastiAccesso(const QString& testo);

}  // namespace cw
