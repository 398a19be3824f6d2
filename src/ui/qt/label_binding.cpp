#include <QLabel>

#include "ui/qt/control_style.h"
#include "ui/qt/widget_factory.h"
#include "ui/toolkit/label.h"

namespace brontal {
namespace {

class LabelBinding final : public ControlBinding {
 public:
  LabelBinding(CLabelUI& label, QLabel* widget) : ControlBinding(label, widget), native_(widget) {
    native_->setTextFormat(Qt::PlainText);
    native_->setWordWrap(label.GetAttribute("wordbreak") == "true");
  }

 protected:
  void SyncKind() override {
    native_->setText(QString::fromStdString(Control().GetText()));
    native_->setAlignment(TextAlignment(Control(), Qt::AlignLeft | Qt::AlignVCenter));
  }

 private:
  QLabel* native_;
};

}  // namespace

std::unique_ptr<ControlBinding> MakeLabelBinding(CLabelUI& label, QWidget& parent) {
  return std::make_unique<LabelBinding>(label, new QLabel(&parent));
}

}  // namespace brontal
