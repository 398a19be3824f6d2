#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/skin_change.h"
#include "ui/toolkit/window.h"

namespace brontal {

class DesktopServices;

// The pop-up under the main window's skin button where the user picks the
// window's background: an image of the skin, an image file, or a colour.
// Image choices of the skin are remembered in "main.ini".
class CSkinFrame final : public WindowImplBase {
 public:
  static constexpr std::string_view kResetImage = "common/background.png";

  CSkinFrame(Toolkit& toolkit, DesktopServices& desktop, SkinObserver& observer);

  // Opens a frame under `button` of `owner`, its right edge on the button's.
  // The caller keeps it until it opens the next one: a frame that went away
  // in the middle of one of its own notifications must still be there when
  // the notification returns. Null when the layout fails.
  static std::unique_ptr<CSkinFrame> Open(WindowImplBase& owner, const CControlUI& button, DesktopServices& desktop,
                                          SkinObserver& observer);

  std::string_view GetWindowClassName() const override { return "SkinFrame"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  std::string GetSkinFile() const override { return "XML/skin.xml"; }

 private:
  void ShowPage(int page);
  void ChooseImage(std::string image, bool remember_as_skin);
  void ChooseImageFile();

  DesktopServices& desktop_;
  SkinObserver& observer_;
};

}  // namespace brontal
