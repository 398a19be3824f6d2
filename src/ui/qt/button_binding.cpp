#include <QCheckBox>
#include <QPushButton>

#include "ui/qt/widget_factory.h"
#include "ui/toolkit/option.h"

namespace brontal {
namespace {

// Buttons, options and check boxes: a click is the control's Activate. The
// checked state shown afterwards is the control's, which may have refused
// the change (the selected option of a group stays selected).
class ButtonBinding final : public ControlBinding {
 public:
  ButtonBinding(CButtonUI& button, QAbstractButton* widget)
      : ControlBinding(button, widget), native_(widget), option_(dynamic_cast<const COptionUI*>(&button)) {
    connect(native_, &QAbstractButton::clicked, this, [this, &button] { UserInput([&button] { button.Activate(); }); });
  }

 protected:
  void SyncKind() override {
    native_->setText(QString::fromStdString(Control().GetText()));
    if (option_) native_->setChecked(option_->IsSelected());
  }

 private:
  QAbstractButton* native_;
  const COptionUI* option_;
};

}  // namespace

std::unique_ptr<ControlBinding> MakeButtonBinding(CButtonUI& button, QWidget& parent) {
  return std::make_unique<ButtonBinding>(button, new QPushButton(&parent));
}

std::unique_ptr<ControlBinding> MakeOptionBinding(COptionUI& option, QWidget& parent) {
  QAbstractButton* widget = nullptr;
  if (dynamic_cast<const CCheckBoxUI*>(&option)) {
    widget = new QCheckBox(&parent);
  } else {
    widget = new QPushButton(&parent);
  }
  widget->setCheckable(true);
  return std::make_unique<ButtonBinding>(option, widget);
}

}  // namespace brontal
