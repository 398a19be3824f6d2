#include "ui/toolkit/control.h"

#include <utility>

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"

namespace brontal {

CControlUI::CControlUI() : life_(std::make_shared<int>(0)) {}

CControlUI::~CControlUI() {
  if (manager_) manager_->ControlDestroyed(*this);
}

void CControlUI::SetName(std::string name) { name_ = std::move(name); }

void CControlUI::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Invalidate();
}

void CControlUI::SetToolTip(std::string tooltip) {
  tooltip_ = std::move(tooltip);
  Invalidate();
}

void CControlUI::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Invalidate();
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Invalidate();
}

bool CControlUI::IsReachable() const {
  const CControlUI* child = this;
  if (!visible_ || !enabled_) return false;
  for (const CContainerUI* parent = parent_; parent; child = parent, parent = parent->GetParent()) {
    if (!parent->IsVisible() || !parent->IsEnabled() || !parent->ShowsChild(*child)) return false;
  }
  return true;
}

void CControlUI::SetBkColor(std::uint32_t argb) {
  bk_color_ = argb;
  // The device pictures change their keys' colours many times a second.
  if (manager_) manager_->ControlRepainted(*this);
}

void CControlUI::SetFixedWidth(int width) {
  fixed_size_.cx = width;
  Invalidate();
}

void CControlUI::SetFixedHeight(int height) {
  fixed_size_.cy = height;
  Invalidate();
}

void CControlUI::SetFloat(bool floating) {
  float_ = floating;
  Invalidate();
}

void CControlUI::SetPos(const Rect& pos) {
  if (pos == pos_) return;
  pos_ = pos;
  Invalidate();
}

const std::string& CControlUI::GetAttribute(std::string_view name) const {
  static const std::string kNone;
  const auto it = attributes_.find(name);
  return it == attributes_.end() ? kNone : it->second;
}

void CControlUI::SetStyleAttribute(std::string_view name, std::string value) {
  attributes_.insert_or_assign(std::string(name), std::move(value));
  Invalidate();
}

bool CControlUI::SetAttribute(std::string_view name, std::string_view value) {
  const auto apply_bool = [&](void (CControlUI::*setter)(bool)) {
    const auto flag = ParseBoolAttribute(value);
    if (flag) (this->*setter)(*flag);
    return flag.has_value();
  };
  if (name == "name") {
    SetName(std::string(value));
  } else if (name == "text") {
    SetText(std::string(value));
  } else if (name == "tooltip") {
    SetToolTip(std::string(value));
  } else if (name == "userdata") {
    SetUserData(std::string(value));
  } else if (name == "visible") {
    return apply_bool(&CControlUI::SetVisible);
  } else if (name == "enabled") {
    return apply_bool(&CControlUI::SetEnabled);
  } else if (name == "float") {
    return apply_bool(&CControlUI::SetFloat);
  } else if (name == "bkcolor") {
    const auto color = ParseColorAttribute(value);
    if (!color) return false;
    SetBkColor(*color);
  } else if (name == "width" || name == "height") {
    const auto length = ParseIntAttribute(value);
    if (!length || *length < 0) return false;
    name == "width" ? SetFixedWidth(*length) : SetFixedHeight(*length);
  } else if (name == "pos") {
    const auto rect = ParseRectAttribute(value);
    if (!rect || rect->Width() < 0 || rect->Height() < 0) return false;
    SetPos(*rect);
    SetFixedWidth(rect->Width());
    SetFixedHeight(rect->Height());
  } else {
    SetStyleAttribute(name, std::string(value));
  }
  return true;
}

void CControlUI::Event(TEventUI& event) {
  event.sender = this;
  DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEventType::kSetFocus:
    case UiEventType::kKillFocus:
      focused_ = event.type == UiEventType::kSetFocus;
      Invalidate();
      break;
    case UiEventType::kMouseEnter:
    case UiEventType::kMouseLeave:
      hot_ = event.type == UiEventType::kMouseEnter;
      Invalidate();
      break;
    case UiEventType::kTimer: SendNotify(notify::kTimer, event.wparam, event.lparam); break;
    default: break;
  }
}

bool CControlUI::Activate() { return IsReachable(); }

void CControlUI::Invalidate() {
  if (manager_) manager_->ControlChanged(*this);
}

void CControlUI::SendNotify(std::string_view type, std::uintptr_t wparam, std::intptr_t lparam) {
  if (manager_) manager_->SendNotify(this, type, wparam, lparam);
}

void CControlUI::SetManager(CPaintManagerUI* manager, CContainerUI* parent) {
  manager_ = manager;
  parent_ = parent;
}

}  // namespace brontal
