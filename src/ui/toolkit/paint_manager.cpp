#include "ui/toolkit/paint_manager.h"

#include <algorithm>
#include <limits>

#include "ui/toolkit/container.h"
#include "ui/toolkit/control.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window.h"
#include "ui/toolkit/window_host.h"

namespace brontal {
namespace {

bool IsAtOrBelow(const CControlUI* control, const CControlUI* scope) {
  for (; control; control = control->GetParent()) {
    if (control == scope) return true;
  }
  return false;
}

}  // namespace

CPaintManagerUI::~CPaintManagerUI() {
  StopTimers();
  root_.reset();
}

void CPaintManagerUI::AttachRoot(std::unique_ptr<CControlUI> root) {
  root_ = std::move(root);
  if (root_) root_->SetManager(this, nullptr);
}

CControlUI* CPaintManagerUI::FindControl(std::string_view name) const {
  return FindSubControlByName(root_.get(), name);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, std::string_view name) {
  if (!parent) return nullptr;
  return FindControlIf(*parent, [name](CControlUI& control) { return control.GetName() == name; });
}

void CPaintManagerUI::SendNotify(CControlUI* sender, std::string_view type, std::uintptr_t wparam,
                                 std::intptr_t lparam) {
  TNotifyUI msg{std::string(type), sender, wparam, lparam};
  std::vector<CNotifyPump*> receivers;
  for (const PumpEntry& entry : pumps_) {
    if (!entry.scope) receivers.push_back(entry.pump);
  }
  for (const PumpEntry& entry : pumps_) {
    if (entry.scope && IsAtOrBelow(sender, entry.scope)) receivers.push_back(entry.pump);
  }
  for (CNotifyPump* pump : receivers) {
    const bool still_added =
        std::any_of(pumps_.begin(), pumps_.end(), [pump](const PumpEntry& e) { return e.pump == pump; });
    if (still_added) pump->Notify(msg);
  }
}

void CPaintManagerUI::AddNotifyPump(CNotifyPump& pump, const CControlUI* scope) {
  RemoveNotifyPump(pump);
  pumps_.push_back({&pump, scope});
}

void CPaintManagerUI::RemoveNotifyPump(const CNotifyPump& pump) {
  std::erase_if(pumps_, [&pump](const PumpEntry& e) { return e.pump == &pump; });
}

bool CPaintManagerUI::SetTimer(CControlUI& control, unsigned id, std::chrono::milliseconds period) {
  if (timers_stopped_ || control.GetManager() != this) return false;
  KillTimer(control, id);
  const TimerId timer = toolkit_.Loop().StartTimer(period, [&control, id] {
    TEventUI event(UiEventType::kTimer, {}, id);
    control.Event(event);
  });
  timers_.emplace(std::pair{&control, id}, timer);
  return true;
}

bool CPaintManagerUI::KillTimer(const CControlUI& control, unsigned id) {
  const auto it = timers_.find({&control, id});
  if (it == timers_.end()) return false;
  toolkit_.Loop().StopTimer(it->second);
  timers_.erase(it);
  return true;
}

void CPaintManagerUI::KillTimers(const CControlUI& control) {
  const auto first = timers_.lower_bound({&control, 0});
  const auto last = timers_.upper_bound({&control, std::numeric_limits<unsigned>::max()});
  for (auto it = first; it != last; ++it) toolkit_.Loop().StopTimer(it->second);
  timers_.erase(first, last);
}

bool CPaintManagerUI::HasTimer(const CControlUI& control, unsigned id) const {
  return timers_.contains({&control, id});
}

void CPaintManagerUI::StopTimers() {
  timers_stopped_ = true;
  for (const auto& [key, timer] : timers_) toolkit_.Loop().StopTimer(timer);
  timers_.clear();
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (control == focus_) return;
  CControlUI* previous = std::exchange(focus_, control);
  const auto control_alive = control ? control->LifeToken() : std::weak_ptr<const void>();
  if (previous) {
    TEventUI kill(UiEventType::kKillFocus);
    previous->Event(kill);
    previous->SendNotify(notify::kKillFocus);
  }
  // The "killfocus" handler may have moved the focus on, or removed `control`.
  if (control && focus_ == control && !control_alive.expired()) {
    TEventUI set(UiEventType::kSetFocus);
    control->Event(set);
  }
}

bool CPaintManagerUI::SetScale(int percent) {
  if (percent < 100 || percent > 500) return false;
  scale_ = percent;
  WindowChanged();
  return true;
}

FontTable& CPaintManagerUI::Fonts(bool shared) { return shared ? toolkit_.SharedFonts() : fonts_; }

void CPaintManagerUI::AddFont(int id, FontSpec font, bool shared) {
  Fonts(shared).Add(id, std::move(font));
  WindowChanged();
}

void CPaintManagerUI::RemoveAllFonts(bool shared) {
  Fonts(shared).RemoveAll();
  WindowChanged();
}

void CPaintManagerUI::SetDefaultFont(FontSpec font, bool shared) {
  Fonts(shared).SetDefault(std::move(font));
  WindowChanged();
}

const FontSpec* CPaintManagerUI::GetFont(int id) const {
  const FontSpec* own = fonts_.Find(id);
  return own ? own : toolkit_.SharedFonts().Find(id);
}

std::optional<FontSpec> CPaintManagerUI::GetDefaultFont() const {
  return fonts_.Default() ? fonts_.Default() : toolkit_.SharedFonts().Default();
}

void CPaintManagerUI::WindowChanged() {
  if (WindowHost* host = toolkit_.Host()) host->WindowChanged(window_);
}

void CPaintManagerUI::ControlChanged(CControlUI& control) {
  if (WindowHost* host = toolkit_.Host()) host->ControlChanged(control);
}

void CPaintManagerUI::ControlRepainted(CControlUI& control) {
  if (WindowHost* host = toolkit_.Host()) host->ControlRepainted(control);
}

void CPaintManagerUI::ChildrenChanged(CContainerUI& container) {
  if (WindowHost* host = toolkit_.Host()) host->ChildrenChanged(container);
}

void CPaintManagerUI::ControlDestroyed(CControlUI& control) {
  KillTimers(control);
  if (focus_ == &control) focus_ = nullptr;
  std::erase_if(pumps_, [&control](const PumpEntry& e) { return e.scope == &control; });
  if (WindowHost* host = toolkit_.Host()) host->ControlDestroyed(control);
}

}  // namespace brontal
