#include <QSignalBlocker>
#include <QSlider>

#include "ui/qt/widget_factory.h"
#include "ui/toolkit/slider.h"

namespace brontal {
namespace {

// A drag gives the control's live updates and the release its commit; a step
// by key or page click commits at once.
class SliderBinding final : public ControlBinding {
 public:
  SliderBinding(CSliderUI& slider, QSlider* widget) : ControlBinding(slider, widget), native_(widget) {
    connect(native_, &QSlider::valueChanged, this, [this, &slider](int value) {
      if (native_->isSliderDown()) {
        UserInput([&slider, value] { slider.UserDrag(value); });
      } else {
        UserInput([&slider, value] { slider.UserRelease(value); });
      }
    });
    connect(native_, &QSlider::sliderReleased, this,
            [this, &slider] { UserInput([&slider, value = native_->value()] { slider.UserRelease(value); }); });
  }

 protected:
  void SyncKind() override {
    const auto& slider = static_cast<const CSliderUI&>(Control());
    const QSignalBlocker quiet(native_);
    native_->setRange(slider.GetMinValue(), slider.GetMaxValue());
    native_->setValue(slider.GetValue());
  }

 private:
  QSlider* native_;
};

}  // namespace

std::unique_ptr<ControlBinding> MakeSliderBinding(CSliderUI& slider, QWidget& parent) {
  return std::make_unique<SliderBinding>(slider, new QSlider(Qt::Horizontal, &parent));
}

}  // namespace brontal
