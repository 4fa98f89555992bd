#include "app/lista_log.h"

#include <QEvent>
#include <QStyledItemDelegate>
#include <algorithm>

namespace cw {

namespace {

class DelegatoRighe : public QStyledItemDelegate {
 public:
  explicit DelegatoRighe(ListaLog& lista) : QStyledItemDelegate(&lista), lista_(lista) {}

  QSize sizeHint(const QStyleOptionViewItem& opzione, const QModelIndex& indice) const override {
    QSize s = Propria(opzione, indice);
    s.setWidth(std::max(s.width(), lista_.LarghezzaMassima()));
    return s;
  }
  QSize Propria(const QStyleOptionViewItem& opzione, const QModelIndex& indice) const {
    return QStyledItemDelegate::sizeHint(opzione, indice);
  }

 private:
  ListaLog& lista_;
};

}  // namespace

ListaLog::ListaLog(QWidget* parent) : QListWidget(parent) {
  setUniformItemSizes(true);
  setItemDelegate(new DelegatoRighe(*this));
  QAbstractItemModel* m = model();
  connect(m, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int prima, int ultima) { Misura(prima, ultima); });
  // A line written over only grows in the log (" in corso..." gets " OK!");
  // one that got shorter leaves the range a little wide until the next clear,
  // as the Win32 list's horizontal extent does.
  connect(m, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& da, const QModelIndex& a) { Misura(da.row(), a.row()); });
  connect(m, &QAbstractItemModel::rowsRemoved, this, [this] { Rimisura(); });
  connect(m, &QAbstractItemModel::modelReset, this, [this] { Rimisura(); });
}

ListaLog::~ListaLog() { disconnect(model(), nullptr, this, nullptr); }

void ListaLog::Misura(int prima, int ultima) {
  QStyleOptionViewItem opzione;
  initViewItemOption(&opzione);
  const auto* delegato = static_cast<const DelegatoRighe*>(itemDelegate());
  for (int riga = prima; riga <= ultima; ++riga)
    larghezza_ = std::max(larghezza_, delegato->Propria(opzione, model()->index(riga, 0)).width());
}

void ListaLog::Rimisura() {
  larghezza_ = 0;
  if (count() > 0) Misura(0, count() - 1);
}

void ListaLog::changeEvent(QEvent* evento) {
  QListWidget::changeEvent(evento);
  if (evento->type() == QEvent::FontChange) Rimisura();
}

}  // namespace cw
