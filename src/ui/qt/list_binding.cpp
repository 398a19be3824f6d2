#include <QItemSelectionModel>
#include <QListView>
#include <QScopedValueRollback>
#include <QStandardItemModel>

#include "ui/qt/list_rows.h"
#include "ui/qt/widget_factory.h"
#include "ui/toolkit/list_owner.h"

namespace brontal {
namespace {

// Moving the current row (pointer or keys) is the user's pick; a click on a
// row then also clicks it, as the control's UserClickItem does.
class ListBinding final : public ControlBinding {
 public:
  ListBinding(CListUI& list, QListView* widget)
      : ControlBinding(list, widget), list_(list), native_(widget), rows_(new QStandardItemModel(widget)) {
    native_->setModel(rows_);
    native_->setSelectionMode(QAbstractItemView::SingleSelection);
    native_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(native_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& row) {
      if (!syncing_ && row.isValid()) UserInput([this, index = row.row()] { list_.UserSelectItem(index); });
    });
    connect(native_, &QListView::clicked, this,
            [this](const QModelIndex& row) { UserInput([this, index = row.row()] { list_.UserClickItem(index); }); });
  }

  void ChildrenChanged(const std::vector<ChildWidget>&) override {
    const QScopedValueRollback quiet(syncing_, true);
    FillRows(list_, *rows_, *native_);
  }
  void ChildChanged(const CControlUI& item) override { UpdateRow(list_, item, *rows_, *native_); }

 protected:
  void SyncKind() override {
    QItemSelectionModel& selection = *native_->selectionModel();
    const QScopedValueRollback quiet(syncing_, true);
    const QModelIndex current = rows_->index(list_.GetCurSel(), 0);
    if (current.isValid()) {
      selection.setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
    } else {
      selection.clear();
    }
  }

 private:
  CListUI& list_;
  QListView* native_;
  QStandardItemModel* rows_;
  bool syncing_ = false;  // the view's own changes are not the user's
};

}  // namespace

std::unique_ptr<ControlBinding> MakeListBinding(CListUI& list, QWidget& parent) {
  return std::make_unique<ListBinding>(list, new QListView(&parent));
}

}  // namespace brontal
