#include "ui/toolkit/toolkit.h"

#include <algorithm>

#include "ui/toolkit/container.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/window.h"

namespace brontal {

void Toolkit::ReloadText() {
  for (WindowImplBase* window : windows_) {
    CControlUI* root = window->GetPaintManager().GetRoot();
    if (!root) continue;
    FindControlIf(*root, [](CControlUI& control) {
      const auto* label = dynamic_cast<const CLabelUI*>(&control);
      if (label && label->IsResourceText()) control.Invalidate();
      return false;
    });
  }
}

void Toolkit::AddWindow(WindowImplBase& window) { windows_.push_back(&window); }

void Toolkit::RemoveWindow(WindowImplBase& window) { std::erase(windows_, &window); }

}  // namespace brontal
