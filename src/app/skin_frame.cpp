#include "app/skin_frame.h"

#include "app/desktop_services.h"
#include "profiles/skin_image_setting.h"
#include "support/debug_log.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/toolkit.h"

namespace brontal {
namespace {

constexpr char kImageFilter[] = "Images (*.png);;All files (*)";

}  // namespace

CSkinFrame::CSkinFrame(Toolkit& toolkit, DesktopServices& desktop, SkinObserver& observer)
    : WindowImplBase(toolkit), desktop_(desktop), observer_(observer) {}

std::unique_ptr<CSkinFrame> CSkinFrame::Open(WindowImplBase& owner, const CControlUI& button, DesktopServices& desktop,
                                             SkinObserver& observer) {
  auto frame = std::make_unique<CSkinFrame>(owner.GetToolkit(), desktop, observer);
  if (!frame->Create(&owner, "SkinFrame")) {
    Trace("skin frame: " + frame->GetCreateError());
    return nullptr;
  }
  const Rect& window = owner.GetRect();
  const Rect& at = button.GetPos();
  const Rect& size = frame->GetRect();
  const int left = window.left + at.right - size.Width();
  const int top = window.top + at.bottom;
  frame->SetRect({left, top, left + size.Width(), top + size.Height()});
  frame->ShowWindow(true);
  return frame;
}

void CSkinFrame::Notify(TNotifyUI& msg) {
  if (msg.type != notify::kClick || !msg.sender) return;
  const std::string& name = msg.sender->GetName();
  if (name == "skin_image") {
    ShowPage(0);
  } else if (name == "skin_color") {
    ShowPage(1);
  } else if (name == "skin_image_btn") {
    ChooseImage(msg.sender->GetUserData(), true);
  } else if (name == "skin_color_btn") {
    observer_.Broadcast({true, msg.sender->GetBkColor(), {}});
  } else if (name == "skin_reset") {
    observer_.Broadcast({false, 0, std::string(kResetImage)});
    WriteSkinImage({false, std::string(kResetImage)});
  } else if (name == "skin_Custom") {
    ChooseImageFile();
  }
}

void CSkinFrame::ChooseImageFile() {
  // A pop-up closes at the first click elsewhere, in the dialog too: hidden
  // first, the frame waits for the choice.
  ShowWindow(false);
  const std::filesystem::path file = desktop_.ChooseFileToOpen(*GetOwner(), kImageFilter);
  if (!IsWindow()) return;  // the program closed meanwhile
  // Shown now but not remembered: the file may not be there next time.
  if (!file.empty()) ChooseImage(file.string(), false);
  Close();
}

void CSkinFrame::ShowPage(int page) {
  if (auto* pages = dynamic_cast<CTabLayoutUI*>(GetPaintManager().FindControl("skin_tab"))) pages->SelectItem(page);
}

void CSkinFrame::ChooseImage(std::string image, bool remember_as_skin) {
  if (image.empty()) return;
  observer_.Broadcast({false, 0, image});
  if (remember_as_skin) WriteSkinImage({true, std::move(image)});
}

}  // namespace brontal
