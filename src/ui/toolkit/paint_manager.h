#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/toolkit/font_table.h"
#include "ui/toolkit/message_loop.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CContainerUI;
class CControlUI;
class Toolkit;
class WindowImplBase;

// One window's control tree and what goes with it: lookup by name,
// notifications, timers on controls, focus, the filter of messages from other
// programs, the display scale and the window's own fonts.
class CPaintManagerUI {
 public:
  CPaintManagerUI(Toolkit& toolkit, WindowImplBase& window) : toolkit_(toolkit), window_(window) {}
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  Toolkit& GetToolkit() const { return toolkit_; }
  WindowImplBase& GetWindow() const { return window_; }

  void AttachRoot(std::unique_ptr<CControlUI> root);
  CControlUI* GetRoot() const { return root_.get(); }

  // The first control of that exact name, depth first; nullptr when none.
  CControlUI* FindControl(std::string_view name) const;
  static CControlUI* FindSubControlByName(CControlUI* parent, std::string_view name);

  // Delivers at once, first to pumps without a scope (the window's handler is
  // the first of them) and then to the pumps whose scope holds the sender, in
  // the order they were added. Who hears it is settled before any handler
  // runs, and a pump removed by an earlier handler is skipped.
  void SendNotify(CControlUI* sender, std::string_view type, std::uintptr_t wparam = 0, std::intptr_t lparam = 0);
  // `scope`: only notifications from that control or below it. A pump whose
  // scope control is destroyed is removed with it.
  void AddNotifyPump(CNotifyPump& pump, const CControlUI* scope = nullptr);
  void RemoveNotifyPump(const CNotifyPump& pump);

  // A repeating timer that gives the control a kTimer event (whose default
  // handling sends the "timer" notification) every period. Setting a running
  // id again restarts it with the new period. False for a control of another
  // window, or once the window is destroyed.
  bool SetTimer(CControlUI& control, unsigned id, std::chrono::milliseconds period);
  bool KillTimer(const CControlUI& control, unsigned id);
  void KillTimers(const CControlUI& control);
  bool HasTimer(const CControlUI& control, unsigned id) const;
  // For good: the window is being destroyed.
  void StopTimers();

  // Moves the focus; the control losing it gets kKillFocus and sends "killfocus".
  void SetFocus(CControlUI* control);
  CControlUI* GetFocus() const { return focus_; }

  // Messages that other programs may deliver to the window; the local message
  // bus asks before delivering.
  void AllowExternalMessage(std::uint32_t id) { external_messages_.insert(id); }
  bool IsExternalMessageAllowed(std::uint32_t id) const { return external_messages_.contains(id); }

  // Display scale in percent of the layout's sizes; false, with nothing
  // changed, outside 100..500.
  bool SetScale(int percent);
  int GetScale() const { return scale_; }

  // Fonts: `shared` ones belong to every window of the toolkit; lookups try the
  // window's own fonts first.
  void AddFont(int id, FontSpec font, bool shared);
  void RemoveAllFonts(bool shared);
  void SetDefaultFont(FontSpec font, bool shared);
  const FontSpec* GetFont(int id) const;
  std::optional<FontSpec> GetDefaultFont() const;

  // Called by the controls.
  void ControlChanged(CControlUI& control);
  void ControlRepainted(CControlUI& control);
  void ChildrenChanged(CContainerUI& container);
  void ControlDestroyed(CControlUI& control);

 private:
  struct PumpEntry {
    CNotifyPump* pump;
    const CControlUI* scope;
  };

  FontTable& Fonts(bool shared);
  void WindowChanged();

  Toolkit& toolkit_;
  WindowImplBase& window_;
  std::vector<PumpEntry> pumps_;
  std::map<std::pair<const CControlUI*, unsigned>, TimerId> timers_;
  bool timers_stopped_ = false;
  CControlUI* focus_ = nullptr;
  std::set<std::uint32_t> external_messages_;
  int scale_ = 100;
  FontTable fonts_;
  std::unique_ptr<CControlUI> root_;  // last: destroyed while the rest still stands
};

}  // namespace brontal
