#include "ui/qt/drawn_widget.h"
#include "ui/qt/skin_layout.h"
#include "ui/qt/widget_factory.h"
#include "ui/toolkit/container.h"

namespace brontal {
namespace {

SkinLayout::Direction DirectionOf(const CContainerUI& container) {
  if (dynamic_cast<const CHorizontalLayoutUI*>(&container)) return SkinLayout::Direction::kHorizontal;
  if (dynamic_cast<const CVerticalLayoutUI*>(&container)) return SkinLayout::Direction::kVertical;
  return SkinLayout::Direction::kOverlay;
}

// A custom-drawn control; a container also lays out its children's widgets.
class DrawnBinding final : public ControlBinding {
 public:
  DrawnBinding(CControlUI& control, DrawnWidget* widget)
      : ControlBinding(control, widget), native_(widget), container_(dynamic_cast<CContainerUI*>(&control)) {
    if (container_) new SkinLayout(native_, DirectionOf(*container_));
  }
  ~DrawnBinding() override {
    if (native_) native_->Detach();
  }

  bool BindsChildren() const override { return container_ != nullptr; }
  // It paints from the control: nothing else to bring over.
  void Repaint() override {
    if (native_) native_->Refresh();
  }

  void ChildrenChanged(const std::vector<ChildWidget>& children) override {
    std::vector<SkinLayout::Child> placed;
    for (const ChildWidget& child : children) {
      if (child.widget) placed.push_back({child.widget, SkinLayout::Placement::Of(*child.control)});
    }
    Layout().SetChildren(placed);
  }

 protected:
  void SyncKind() override {
    if (container_) Layout().SetBox(SkinLayout::Box::Of(*container_));
    native_->Refresh();
  }
  QString StyleSheet() const override { return {}; }

 private:
  SkinLayout& Layout() const { return static_cast<SkinLayout&>(*native_->layout()); }

  QPointer<DrawnWidget> native_;
  CContainerUI* container_;
};

}  // namespace

std::unique_ptr<ControlBinding> MakeDrawnBinding(CControlUI& control, QWidget& parent, bool forwards_input) {
  return std::make_unique<DrawnBinding>(control, new DrawnWidget(control, &parent, forwards_input));
}

}  // namespace brontal
