#include <QComboBox>
#include <QListView>
#include <QSignalBlocker>
#include <QStandardItemModel>

#include "ui/qt/list_rows.h"
#include "ui/qt/widget_factory.h"
#include "ui/toolkit/list_owner.h"

namespace brontal {
namespace {

class ComboBinding final : public ControlBinding {
 public:
  ComboBinding(CComboUI& combo, QComboBox* widget)
      : ControlBinding(combo, widget),
        combo_(combo),
        native_(widget),
        rows_(new QStandardItemModel(widget)),
        popup_(qobject_cast<QListView*>(widget->view())) {  // Qt's own, which styles may draw their way
    native_->setModel(rows_);
    // Only the user's picks: a pick of the current item again is no change.
    connect(native_, &QComboBox::activated, this,
            [this](int index) { UserInput([this, index] { combo_.UserSelectItem(index); }); });
  }

  void ChildrenChanged(const std::vector<ChildWidget>&) override {
    const QSignalBlocker quiet(native_);
    FillRows(combo_, *rows_, *popup_);
  }
  void ChildChanged(const CControlUI& item) override { UpdateRow(combo_, item, *rows_, *popup_); }

 protected:
  void SyncKind() override {
    const QSignalBlocker quiet(native_);
    native_->setCurrentIndex(combo_.GetCurSel());
  }

 private:
  CComboUI& combo_;
  QComboBox* native_;
  QStandardItemModel* rows_;
  QListView* popup_;
};

}  // namespace

std::unique_ptr<ControlBinding> MakeComboBinding(CComboUI& combo, QWidget& parent) {
  return std::make_unique<ComboBinding>(combo, new QComboBox(&parent));
}

}  // namespace brontal
