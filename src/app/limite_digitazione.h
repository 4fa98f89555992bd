#pragma once
// The typing limit of a text box: one line, and at most its maximum length.
// Like the original control's maximum length it limits only what the user
// types or pastes: a text the program puts in the box stays whole, so a
// revision that grows to five digits ("10000") is shown and saved as it is,
// not cut to four.

#include <QLineEdit>
#include <QValidator>

namespace cw {

class LimiteDigitazione : public QValidator {
  Q_OBJECT

 public:
  // limite 0: no length limit, only the one line.
  LimiteDigitazione(QLineEdit* casella, int limite);

  // The characters an edit inserts (typed or pasted, over a selection or
  // not) are cut at their first CR or LF, then to the room the limit
  // leaves; shortening a long text is always allowed.
  State validate(QString& input, int& pos) const override;

  int Limite() const { return limite_; }

  // Puts a text in the box as the program does, past the limit if need be.
  // A box without a limit just takes the text.
  static void ImpostaTesto(QLineEdit& casella, const QString& testo);

 private:
  int limite_;
  QString precedente_;
};

}  // namespace cw
