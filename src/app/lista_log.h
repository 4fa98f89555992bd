#pragma once
// lstInformazioni, the log's list. Its rows are lines of one font, so the list
// takes one row's size for every row: a refresh after each line of a walk
// would otherwise measure every row again, hundreds of times over. The row it
// takes is the last one, though, so a longer line above it (a whole report
// followed by "Pronto") was cut, with no horizontal scroll bar to reach the
// rest. Here every row reports the width of the widest line, which the list
// keeps as lines come, change and go, and as its font changes.

#include <QListWidget>

namespace cw {

class ListaLog : public QListWidget {
 public:
  explicit ListaLog(QWidget* parent);
  // The list's own destructor clears the model after this part is gone: the
  // measuring connections must not see it.
  ~ListaLog() override;

  // The widest row's own width, in pixels; 0 when the list is empty.
  int LarghezzaMassima() const { return larghezza_; }

 protected:
  void changeEvent(QEvent* evento) override;

 private:
  // Takes rows prima..ultima into account; Rimisura measures them all.
  void Misura(int prima, int ultima);
  void Rimisura();

  int larghezza_ = 0;
};

}  // namespace cw
