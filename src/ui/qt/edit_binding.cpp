#include <QLineEdit>

#include "ui/qt/control_style.h"
#include "ui/qt/widget_factory.h"
#include "ui/toolkit/edit.h"

namespace brontal {
namespace {

// Typing is the control's user edit; leaving the field reaches the control
// through the view's focus tracking, which gives the "killfocus".
class EditBinding final : public ControlBinding {
 public:
  EditBinding(CEditUI& edit, QLineEdit* widget) : ControlBinding(edit, widget), native_(widget) {
    connect(native_, &QLineEdit::textEdited, this, [this, &edit](const QString& text) {
      UserInput([&edit, &text] { edit.UserEditText(text.toStdString()); });
    });
  }

 protected:
  void SyncKind() override {
    // Only a real change: setting the same text would move the cursor.
    const QString text = QString::fromStdString(Control().GetText());
    if (native_->text() != text) native_->setText(text);
    native_->setAlignment(TextAlignment(Control(), Qt::AlignLeft | Qt::AlignVCenter));
  }

 private:
  QLineEdit* native_;
};

}  // namespace

std::unique_ptr<ControlBinding> MakeEditBinding(CEditUI& edit, QWidget& parent) {
  return std::make_unique<EditBinding>(edit, new QLineEdit(&parent));
}

}  // namespace brontal
