#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/notify_routes.h"
#include "macros/shoot_pattern.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CMainWnd;
class CShootControlUI;
class DesktopServices;

// The shoot page's commands on the selected mouse's recoil patterns: picks
// and edits go to the shoot panel, files are chosen through the desktop, and
// the four patterns go to the mouse through `send_patterns`.
class ShootPanelActions {
 public:
  ShootPanelActions(CMainWnd& window, DesktopServices& desktop);
  ShootPanelActions(const ShootPanelActions&) = delete;
  ShootPanelActions& operator=(const ShootPanelActions&) = delete;

  void OnNotify(const RoutedNotify& route, TNotifyUI& msg);
  // The panel shows the selected device's patterns when it is a mouse.
  void ShowSelectedDevice();
  void OnSelectedDeviceLeaving();
  // The picked shot read again after another program's change.
  void ReloadShot();

  // Sends the four patterns to the selected mouse ("shootdate_save_btn");
  // called only with patterns whose image fits.
  std::function<void(const ShootPatterns& patterns)> send_patterns;
  // The selected mouse's memory for patterns in bytes, by which imports are
  // cut; none while the mouse has not said (the image's own limit applies).
  std::function<std::optional<std::size_t>()> memory_bytes;

 private:
  CShootControlUI* Panel() const;
  void Tell(const std::string& text, bool is_identifier);
  // A language text with its "%d" replaced by `number`.
  std::string Formatted(std::string_view text_id, std::size_t number) const;

  void OnClick(CShootControlUI& panel, const std::string& name);
  void Import(CShootControlUI& panel);
  void Export(CShootControlUI& panel);
  void Send(CShootControlUI& panel);

  CMainWnd& window_;
  DesktopServices& desktop_;
};

}  // namespace brontal
