#include "ui/toolkit/control_factory.h"

#include <array>
#include <utility>

#include "ui/toolkit/button.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"

namespace brontal {
namespace {

template <typename T>
void RegisterKind(CControlFactory& factory) {
  factory.Register(std::string(T().GetClass()), [] { return std::make_unique<T>(); });
}

}  // namespace

CControlFactory::CControlFactory() {
  RegisterKind<CControlUI>(*this);
  RegisterKind<CContainerUI>(*this);
  RegisterKind<CHorizontalLayoutUI>(*this);
  RegisterKind<CVerticalLayoutUI>(*this);
  RegisterKind<CTabLayoutUI>(*this);
  RegisterKind<CLabelUI>(*this);
  RegisterKind<CButtonUI>(*this);
  RegisterKind<COptionUI>(*this);
  RegisterKind<CCheckBoxUI>(*this);
  RegisterKind<CSliderUI>(*this);
  RegisterKind<CComboUI>(*this);
  RegisterKind<CEditUI>(*this);
  RegisterKind<CListUI>(*this);
}

void CControlFactory::Register(std::string class_name, Creator creator) {
  creators_.insert_or_assign(std::move(class_name), std::move(creator));
}

std::unique_ptr<CControlUI> CControlFactory::Create(std::string_view class_name) const {
  const std::string name(class_name);
  for (const std::string& candidate : std::array{name, "C" + name + "UI", "C" + name}) {
    if (const auto it = creators_.find(candidate); it != creators_.end()) return it->second();
  }
  return nullptr;
}

}  // namespace brontal
