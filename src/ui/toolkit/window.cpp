#include "ui/toolkit/window.h"

#include <algorithm>
#include <utility>

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/control.h"
#include "ui/toolkit/layout_builder.h"
#include "ui/toolkit/message_loop.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window_host.h"

namespace brontal {

WindowImplBase::WindowImplBase(Toolkit& toolkit)
    : toolkit_(toolkit), paint_manager_(toolkit, *this), life_(std::make_shared<int>(0)) {}

WindowImplBase::~WindowImplBase() {
  if (!IsWindow()) return;
  // Owned windows still go first (they would keep a dangling owner, and one
  // that deletes itself at its end would never be deleted); of this window
  // the derived part is gone, so no handler of its own can run, only the cleanup.
  while (WindowImplBase* window = FirstOwnedWindow()) window->Destroy();
  Teardown();
}

bool WindowImplBase::Create(WindowImplBase* owner, std::string title, Rect rect) {
  if (created_) {
    create_error_ = "the window exists already";
    return false;
  }
  const auto layout_path = toolkit_.Resources().LayoutPath(GetSkinFile());
  LayoutBuilder builder(toolkit_.Factory(), [this](std::string_view class_name) { return CreateControl(class_name); });
  LayoutResult layout = builder.Build(layout_path);
  if (!layout.root) {
    create_error_ = std::move(layout.error);
    return false;
  }
  if (rect.IsEmpty()) {
    const auto size_it = layout.window_attributes.find("size");
    const auto size =
        size_it == layout.window_attributes.end() ? std::optional<Size>(Size{}) : ParseSizeAttribute(size_it->second);
    if (!size) {
      create_error_ = layout_path.string() + ": bad window size \"" + size_it->second + "\"";
      return false;
    }
    rect = {0, 0, size->cx, size->cy};
  }
  owner_ = owner;
  title_ = std::move(title);
  rect_ = rect;
  layout_attributes_ = std::move(layout.window_attributes);
  paint_manager_.AddNotifyPump(*this);
  paint_manager_.AttachRoot(std::move(layout.root));
  created_ = true;
  toolkit_.AddWindow(*this);
  Changed();
  InitWindow();
  PostToSelf([this] { paint_manager_.SendNotify(paint_manager_.GetRoot(), notify::kWindowInit); });
  return true;
}

void WindowImplBase::ShowWindow(bool show) {
  if (!IsWindow() || show == visible_) return;
  visible_ = show;
  Changed();
}

int WindowImplBase::ShowModal() {
  if (!IsWindow()) return -1;
  modal_ = true;
  result_ = 0;
  visible_ = true;
  Changed();
  // Nothing of the window may be touched after the run: OnFinalMessage may have deleted it.
  return toolkit_.Loop().Run();
}

void WindowImplBase::Close(int result) {
  if (!IsWindow()) return;
  result_ = result;
  PostMessage(WindowMessage{kWmClose});
}

void WindowImplBase::CenterWindow() {
  const Rect area = owner_ ? owner_->GetRect() : toolkit_.ScreenRect();
  if (area.IsEmpty()) return;
  const int left = area.left + (area.Width() - rect_.Width()) / 2;
  const int top = area.top + (area.Height() - rect_.Height()) / 2;
  SetRect({left, top, left + rect_.Width(), top + rect_.Height()});
}

void WindowImplBase::SetRect(const Rect& rect) {
  const bool resized = rect.Width() != rect_.Width() || rect.Height() != rect_.Height();
  rect_ = rect;
  Changed();
  if (resized && IsWindow()) paint_manager_.SendNotify(paint_manager_.GetRoot(), notify::kWindowSize);
}

void WindowImplBase::SetTitle(std::string title) {
  title_ = std::move(title);
  Changed();
}

const std::string& WindowImplBase::GetLayoutAttribute(std::string_view name) const {
  static const std::string kNone;
  const auto it = layout_attributes_.find(name);
  return it == layout_attributes_.end() ? kNone : it->second;
}

void WindowImplBase::PostToSelf(std::function<void()> task) {
  toolkit_.Loop().Post([alive = std::weak_ptr<const void>(life_), this, task = std::move(task)] {
    if (!alive.expired() && IsWindow()) task();
  });
}

void WindowImplBase::PostMessage(WindowMessage message) {
  PostToSelf([this, message = std::move(message)] { Dispatch(message); });
}

std::optional<LRESULT> WindowImplBase::SendMessage(WindowMessage message, std::stop_token stop) {
  std::optional<LRESULT> result;
  toolkit_.Loop().Send(
      [alive = std::weak_ptr<const void>(life_), this, &message, &result] {
        if (!alive.expired() && IsWindow()) result = Dispatch(message);
      },
      std::move(stop));
  return result;
}

LRESULT WindowImplBase::Dispatch(const WindowMessage& message) {
  bool handled = false;
  const LRESULT result = HandleMessage(message, handled);
  if (!handled && message.id == kWmClose) Destroy();
  return result;
}

void WindowImplBase::Destroy() {
  if (!IsWindow()) return;
  // Owned windows first, as their owner's end takes them with it.
  while (WindowImplBase* window = FirstOwnedWindow()) window->Destroy();
  bool handled = false;
  HandleMessage(WindowMessage{kWmDestroy}, handled);
  Teardown();
  OnFinalMessage();
}

// Searched afresh each time: destroying one owned window may delete others.
WindowImplBase* WindowImplBase::FirstOwnedWindow() const {
  const auto& windows = toolkit_.Windows();
  const auto it = std::find_if(windows.begin(), windows.end(), [this](const auto* w) { return w->owner_ == this; });
  return it == windows.end() ? nullptr : *it;
}

void WindowImplBase::Teardown() {
  destroyed_ = true;
  visible_ = false;
  paint_manager_.StopTimers();
  toolkit_.RemoveWindow(*this);
  if (WindowHost* host = toolkit_.Host()) host->WindowDestroyed(*this);
  if (modal_) {
    modal_ = false;
    toolkit_.Loop().Exit(result_);
  }
}

void WindowImplBase::Changed() {
  if (WindowHost* host = toolkit_.Host(); host && IsWindow()) host->WindowChanged(*this);
}

}  // namespace brontal
