#pragma once

#include <memory>

#include "ui/qt/control_binding.h"

namespace brontal {

class CButtonUI;
class CComboUI;
class CEditUI;
class CLabelUI;
class CListUI;
class COptionUI;
class CSliderUI;

// The binding, with its widget made inside `parent`, for a control: the
// toolkit's own kinds get native Qt widgets, the program's control classes
// and the plain containers the custom-drawn widget.
std::unique_ptr<ControlBinding> CreateBinding(CControlUI& control, QWidget& parent);

// One factory per kind.
std::unique_ptr<ControlBinding> MakeLabelBinding(CLabelUI& label, QWidget& parent);
std::unique_ptr<ControlBinding> MakeButtonBinding(CButtonUI& button, QWidget& parent);
// Options become toggle buttons, check boxes check boxes.
std::unique_ptr<ControlBinding> MakeOptionBinding(COptionUI& option, QWidget& parent);
std::unique_ptr<ControlBinding> MakeSliderBinding(CSliderUI& slider, QWidget& parent);
std::unique_ptr<ControlBinding> MakeEditBinding(CEditUI& edit, QWidget& parent);
std::unique_ptr<ControlBinding> MakeComboBinding(CComboUI& combo, QWidget& parent);
std::unique_ptr<ControlBinding> MakeListBinding(CListUI& list, QWidget& parent);
// `forwards_input`: the control handles raw pointer events itself.
std::unique_ptr<ControlBinding> MakeDrawnBinding(CControlUI& control, QWidget& parent, bool forwards_input);

}  // namespace brontal
