#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/update_page.h"
#include "ui/toolkit/window.h"

namespace brontal {

// The settings window: the language of the program, whether the session
// starts it, whether other lighting programs may drive the devices, and its
// version. Picking a language asks the main window (its owner) to switch,
// which reloads every resource text, this window's too.
class CSetWnd final : public WindowImplBase {
 public:
  // `language_index`: the entry of the language list in use.
  CSetWnd(Toolkit& toolkit, int language_index);

  std::string_view GetWindowClassName() const override { return "SetWnd"; }
  void Notify(TNotifyUI& msg) override;

  // The SDK server switched on or off by the user (stored already); true
  // when it now runs as asked.
  std::function<bool(bool on)> switch_sdk_server;

  // What the update page asks about, and who opens the folder of the
  // packages it hands over (may be null); before Create.
  void SetUpdateItems(std::vector<UpdateItem> items, DesktopServices* desktop);
  const UpdatePage* update_page() const { return update_page_.get(); }

 protected:
  std::string GetSkinFile() const override { return "XML/SetWnd.xml"; }
  void InitWindow() override;
  // A download under way stops here, not when the window object goes.
  void OnFinalMessage() override;

 private:
  // The switch shows whether the server is to run.
  void ShowSdkServerSwitch();
  // The switch shows whether the session's autostart entry is there.
  void ShowAutostart();
  void SwitchAutostart(bool on);

  int language_index_;
  std::vector<UpdateItem> update_items_;
  DesktopServices* desktop_ = nullptr;
  std::unique_ptr<UpdatePage> update_page_;
};

}  // namespace brontal
