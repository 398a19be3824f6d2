#include "ui/qt/widget_factory.h"

#include <string_view>

#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"

namespace brontal {
namespace {

// The control when its class is exactly `kind`: a program class derived from
// a kind draws itself and handles its own raw events, which a native widget
// would swallow.
template <typename Kind>
Kind* Exactly(CControlUI& control, std::string_view kind) {
  return control.GetClass() == kind ? dynamic_cast<Kind*>(&control) : nullptr;
}

}  // namespace

std::unique_ptr<ControlBinding> CreateBinding(CControlUI& control, QWidget& parent) {
  if (auto* label = Exactly<CLabelUI>(control, "Label")) return MakeLabelBinding(*label, parent);
  if (auto* button = Exactly<CButtonUI>(control, "Button")) return MakeButtonBinding(*button, parent);
  if (auto* option = Exactly<COptionUI>(control, "Option")) return MakeOptionBinding(*option, parent);
  if (auto* check = Exactly<CCheckBoxUI>(control, "CheckBox")) return MakeOptionBinding(*check, parent);
  if (auto* slider = Exactly<CSliderUI>(control, "Slider")) return MakeSliderBinding(*slider, parent);
  if (auto* edit = Exactly<CEditUI>(control, "Edit")) return MakeEditBinding(*edit, parent);
  if (auto* combo = Exactly<CComboUI>(control, "Combo")) return MakeComboBinding(*combo, parent);
  if (auto* list = Exactly<CListUI>(control, "List")) return MakeListBinding(*list, parent);
  const std::string_view kind = control.GetClass();
  const bool toolkit_kind = kind == "Control" || kind == "Container" || kind == "HorizontalLayout" ||
                            kind == "VerticalLayout" || kind == "TabLayout";
  return MakeDrawnBinding(control, parent, !toolkit_kind);
}

}  // namespace brontal
