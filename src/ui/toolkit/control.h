#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "ui/toolkit/event.h"
#include "ui/toolkit/geometry.h"

namespace brontal {

class CContainerUI;
class CPaintManagerUI;

// The base of every control: a named node of a window's control tree holding
// the state a view draws. Nothing here draws; the view reads the state through
// the getters, learns of changes through the paint manager's window host, and
// feeds user input back through Event() and the kinds' user-action methods, so
// that the same notifications reach the window as a user would cause.
//
// Program controls derive from a kind and override GetClass, DoEvent and
// SetAttribute.
class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // The class name used in layout files ("Button", "DeviceKeyButton", ...).
  virtual std::string_view GetClass() const { return "Control"; }

  const std::string& GetName() const { return name_; }
  void SetName(std::string name);
  virtual std::string GetText() const { return text_; }
  void SetText(std::string text);
  const std::string& GetToolTip() const { return tooltip_; }
  void SetToolTip(std::string tooltip);
  const std::string& GetUserData() const { return user_data_; }
  void SetUserData(std::string data) { user_data_ = std::move(data); }
  std::uintptr_t GetTag() const { return tag_; }
  void SetTag(std::uintptr_t tag) { tag_ = tag; }

  bool IsVisible() const { return visible_; }
  void SetVisible(bool visible);
  bool IsEnabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool IsFocused() const { return focused_; }
  bool IsHot() const { return hot_; }
  // Visible, enabled and shown by every ancestor: only then does user input count.
  bool IsReachable() const;

  std::uint32_t GetBkColor() const { return bk_color_; }  // ARGB, 0 for none
  void SetBkColor(std::uint32_t argb);
  const std::string& GetBkImage() const { return GetAttribute("bkimage"); }
  void SetBkImage(std::string image) { SetStyleAttribute("bkimage", std::move(image)); }
  const std::string& GetForeImage() const { return GetAttribute("foreimage"); }
  void SetForeImage(std::string image) { SetStyleAttribute("foreimage", std::move(image)); }

  // 0: sized by the layout.
  int GetFixedWidth() const { return fixed_size_.cx; }
  int GetFixedHeight() const { return fixed_size_.cy; }
  void SetFixedWidth(int width);
  void SetFixedHeight(int height);
  // A floating control sits at GetPos() instead of being laid out.
  bool IsFloat() const { return float_; }
  void SetFloat(bool floating);
  // The control's rectangle in window coordinates: a floating control's place
  // from the layout, otherwise whatever the view laid it out at.
  const Rect& GetPos() const { return pos_; }
  void SetPos(const Rect& pos);

  // Every attribute without a typed accessor (colours of text, fonts, padding,
  // status images, ...), as written in the layout; empty when absent.
  const std::string& GetAttribute(std::string_view name) const;

  // One layout attribute; false when the value is malformed for that name.
  // Names the control does not know are kept for GetAttribute.
  virtual bool SetAttribute(std::string_view name, std::string_view value);

  CContainerUI* GetParent() const { return parent_; }
  CPaintManagerUI* GetManager() const { return manager_; }

  // Input for this control (from the view, or timers from the paint manager).
  void Event(TEventUI& event);
  // What a user's click does; false when the control cannot take input.
  virtual bool Activate();

  // Tells the view the control's state changed.
  void Invalidate();
  // Sends a notification with this control as sender; nothing while detached.
  void SendNotify(std::string_view type, std::uintptr_t wparam = 0, std::intptr_t lparam = 0);

  // A token that expires when the control is destroyed: code that sends
  // notifications and then touches the control again checks it, since a
  // handler may have removed the control.
  std::weak_ptr<const void> LifeToken() const { return life_; }

  // Containers call this when the control joins or leaves a tree.
  virtual void SetManager(CPaintManagerUI* manager, CContainerUI* parent);

 protected:
  virtual void DoEvent(TEventUI& event);
  void SetStyleAttribute(std::string_view name, std::string value);

 private:
  std::string name_;
  std::string text_;
  std::string tooltip_;
  std::string user_data_;
  std::uintptr_t tag_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  bool focused_ = false;
  bool hot_ = false;
  bool float_ = false;
  std::uint32_t bk_color_ = 0;
  Size fixed_size_;
  Rect pos_;
  std::map<std::string, std::string, std::less<>> attributes_;
  CContainerUI* parent_ = nullptr;
  CPaintManagerUI* manager_ = nullptr;
  std::shared_ptr<const void> life_;
};

}  // namespace brontal
