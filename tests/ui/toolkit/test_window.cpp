#include "test_window.h"

#include "ui/toolkit/notify.h"

namespace brontal::testing {

void CKeyPadUI::DoEvent(TEventUI& event) {
  if (event.type == UiEventType::kDblClick && IsReachable()) {
    SendNotify("dbclick");
    return;
  }
  CButtonUI::DoEvent(event);
}

void TestWindow::Notify(TNotifyUI& msg) {
  notes.push_back({msg.type, msg.sender ? msg.sender->GetName() : "", msg.wparam, msg.lparam});
  if (on_notify) on_notify(msg);
}

std::unique_ptr<CControlUI> TestWindow::CreateControl(std::string_view class_name) {
  if (class_name == "KeyPad") return std::make_unique<CKeyPadUI>();
  return nullptr;
}

LRESULT TestWindow::HandleMessage(const WindowMessage& message, bool& handled) {
  if (final_messages > 0) messages_seen_after_final = true;
  messages.push_back(message.id);
  return on_message ? on_message(message, handled) : 0;
}

void CloseOnClick(TestWindow& dialog) {
  dialog.on_notify = [&dialog](TNotifyUI& msg) {
    if (msg.type != notify::kClick) return;
    dialog.Close(msg.sender->GetName() == "confirm_btn" ? 1 : 0);
  };
}

ToolkitTest::ToolkitTest() : WindowFixture("XML_PANEL") {
  toolkit.Resources().SetSkinFolder(UI_TEST_DATA);
  std::string error;
  if (!toolkit.Resources().LoadIndex("res.xml", error)) throw std::runtime_error(error);
  toolkit.Factory().Register("CFactoryBadgeUI", [] { return std::make_unique<CFactoryBadgeUI>(); });
  if (!window.Create(nullptr, "Panel")) throw std::runtime_error(window.GetCreateError());
  loop.RunUntilIdle();  // "windowinit"
  window.notes.clear();
}

}  // namespace brontal::testing
