#pragma once

#include <map>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "ui/toolkit/control.h"
#include "ui/toolkit/geometry.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/window_messages.h"

namespace brontal {

class Toolkit;

// A window built from a named layout of the skin. Programs derive from it and
// give the layout and class name, make their own control classes in
// CreateControl, and handle notifications (Notify) and window messages
// (HandleMessage, which sees every message first).
//
// Life: Create builds the tree (hidden) and calls InitWindow; "windowinit"
// follows from the message loop. Close posts kWmClose; unless HandleMessage
// handles that, the window is destroyed: HandleMessage sees kWmDestroy, owned
// windows go first, timers stop, a modal run returns the result, and
// OnFinalMessage comes last (it may delete the object).
class WindowImplBase : public CNotifyPump {
 public:
  explicit WindowImplBase(Toolkit& toolkit);
  ~WindowImplBase() override;
  WindowImplBase(const WindowImplBase&) = delete;
  WindowImplBase& operator=(const WindowImplBase&) = delete;

  // False, with the reason in GetCreateError(), when the layout cannot be
  // built. An empty `rect` takes the layout's "size" at (0, 0).
  bool Create(WindowImplBase* owner, std::string title, Rect rect = {});
  const std::string& GetCreateError() const { return create_error_; }
  // Created and not yet destroyed.
  bool IsWindow() const { return created_ && !destroyed_; }

  void ShowWindow(bool show = true);
  bool IsVisible() const { return visible_; }
  // Shows the window and runs the message loop until it is destroyed; returns
  // the result given to Close (0 when closed otherwise), -1 when the window
  // does not exist.
  int ShowModal();
  bool IsModal() const { return modal_; }
  void Close(int result = 0);

  // On the owner, or on the screen when there is no owner.
  void CenterWindow();
  const Rect& GetRect() const { return rect_; }
  // The view reports the user's resizing here; a new size sends "windowsize".
  void SetRect(const Rect& rect);
  const std::string& GetTitle() const { return title_; }
  void SetTitle(std::string title);
  WindowImplBase* GetOwner() const { return owner_; }
  // Attributes of the layout's <Window> element, for the view.
  const std::string& GetLayoutAttribute(std::string_view name) const;

  CPaintManagerUI& GetPaintManager() { return paint_manager_; }
  Toolkit& GetToolkit() const { return toolkit_; }

  // Any thread. Messages to a destroyed window are dropped.
  void PostMessage(WindowMessage message);
  // Any thread; waits until handled. Nothing when the window is gone, the loop
  // quits or `stop` is requested first (see MessageLoop::Send).
  std::optional<LRESULT> SendMessage(WindowMessage message, std::stop_token stop = {});

  virtual std::string_view GetWindowClassName() const = 0;
  void Notify(TNotifyUI&) override {}

 protected:
  virtual std::string GetSkinFile() const = 0;
  virtual std::unique_ptr<CControlUI> CreateControl(std::string_view /*class_name*/) { return nullptr; }
  virtual void InitWindow() {}
  virtual LRESULT HandleMessage(const WindowMessage& /*message*/, bool& /*handled*/) { return 0; }
  virtual void OnFinalMessage() {}

 private:
  LRESULT Dispatch(const WindowMessage& message);
  void Destroy();
  WindowImplBase* FirstOwnedWindow() const;
  void Teardown();
  void Changed();
  // Runs `task` on the UI thread later, unless the window is gone by then.
  void PostToSelf(std::function<void()> task);

  Toolkit& toolkit_;
  CPaintManagerUI paint_manager_;
  WindowImplBase* owner_ = nullptr;
  std::string title_;
  Rect rect_;
  std::map<std::string, std::string, std::less<>> layout_attributes_;
  std::string create_error_;
  bool created_ = false;
  bool destroyed_ = false;
  bool visible_ = false;
  bool modal_ = false;
  int result_ = 0;
  // Never reset while the object lives, so other threads may copy it safely.
  const std::shared_ptr<const void> life_;
};

}  // namespace brontal
