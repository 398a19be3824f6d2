// The message box and the about window on the shipped skin.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "../toolkit/test_window.h"
#include "helpers/trace_recorder.h"
#include "ui/toolkit/label.h"
#include "ui/windows/about_wnd.h"
#include "ui/windows/msg_wnd.h"

namespace brontal::testing {
namespace {

class SmallWindowsTest : public ::testing::Test {
 protected:
  SmallWindowsTest() {
    toolkit.Resources().SetSkinFolder(BRONTAL_SKIN_DIR);
    std::string error;
    if (!toolkit.Resources().LoadIndex("res.xml", error)) throw std::runtime_error(error);
    UseLanguage("en");
    if (!owner.Create(nullptr, "Owner")) throw std::runtime_error(owner.GetCreateError());
  }

  void UseLanguage(const std::string& name) {
    std::string error;
    toolkit.Resources().SetLanguage(name);
    ASSERT_TRUE(toolkit.Resources().LoadLanguage(std::string(BRONTAL_SKIN_DIR) + "/lang/" + name + ".xml", error))
        << error;
  }

  // Once the box runs: `look` sees it, then the control named `press` is
  // clicked (or the window is told to close when `press` is empty).
  void WhenTheBoxRuns(std::function<void(CMsgWnd&)> look, std::string press) {
    loop.Post([this, look = std::move(look), press = std::move(press)] {
      CMsgWnd* box = nullptr;
      for (WindowImplBase* window : toolkit.Windows())
        if (window->GetWindowClassName() == "MsgWnd") box = static_cast<CMsgWnd*>(window);
      ASSERT_NE(box, nullptr);
      box_was_modal = box->IsModal();
      box_owner = box->GetOwner();
      look(*box);
      if (press.empty())
        box->PostMessage(WindowMessage(kWmClose));
      else
        dynamic_cast<CButtonUI&>(*box->GetPaintManager().FindControl(press)).Activate();
    });
  }

  static std::string Text(WindowImplBase& window, std::string_view name) {
    return window.GetPaintManager().FindControl(name)->GetText();
  }
  static bool Visible(WindowImplBase& window, std::string_view name) {
    return window.GetPaintManager().FindControl(name)->IsVisible();
  }

  ManualMessageLoop loop;
  Toolkit toolkit{loop};
  TestWindow owner{toolkit, UI_TEST_DATA "/dialog.xml"};
  bool box_was_modal = false;
  WindowImplBase* box_owner = nullptr;
};

TEST_F(SmallWindowsTest, OnlyConfirmAnswersOne) {
  struct Case {
    std::string press;  // empty: the window's close command
    int result;
  };
  for (const Case& c : {Case{"confirm_btn", 1}, Case{"cancel_btn", 0}, Case{"closebtn", 0}, Case{"", 0}}) {
    WhenTheBoxRuns([](CMsgWnd&) {}, c.press);
    EXPECT_EQ(ShowMessage(owner, "", "message_text_27", 100, true, CMsgWnd::kConfirmAndCancel), c.result)
        << (c.press.empty() ? "close command" : c.press);
    EXPECT_TRUE(box_was_modal);
    EXPECT_EQ(box_owner, &owner);
  }
  EXPECT_EQ(toolkit.Windows().size(), 1u);  // every box went away with its answer
}

TEST_F(SmallWindowsTest, TheButtonModeChoosesTheButtonsAndAnyOtherModeKeepsTheLayouts) {
  struct Case {
    int mode;
    bool cancel_shown;
  };
  for (const Case& c : {Case{CMsgWnd::kConfirmOnly, false}, Case{CMsgWnd::kConfirmAndCancel, true}, Case{7, true}}) {
    std::optional<bool> confirm, cancel;
    WhenTheBoxRuns(
        [&](CMsgWnd& box) {
          confirm = Visible(box, "confirm_btn");
          cancel = Visible(box, "cancel_btn");
        },
        "confirm_btn");
    ShowMessage(owner, "", "message_text_5", 100, true, c.mode);
    EXPECT_EQ(confirm, true) << "mode " << c.mode;
    EXPECT_EQ(cancel, c.cancel_shown) << "mode " << c.mode;
  }
}

TEST_F(SmallWindowsTest, TheTextIsTranslatedOnlyWhenItIsAnIdentifierAndAnEmptyTitleKeepsTheLayouts) {
  std::string title, text;
  const auto look = [&](CMsgWnd& box) {
    title = Text(box, "MessageTitle");
    text = Text(box, "MessageText");
  };
  WhenTheBoxRuns(look, "confirm_btn");
  ShowMessage(owner, "", "message_text_27", 100, true, CMsgWnd::kConfirmAndCancel);
  EXPECT_EQ(title, "Brontal Driver");
  EXPECT_EQ(text, "Add a new profile?");

  WhenTheBoxRuns(look, "confirm_btn");
  ShowMessage(owner, "Profiles", "message_text_27", 100, false, CMsgWnd::kConfirmAndCancel);
  EXPECT_EQ(title, "Profiles");
  EXPECT_EQ(text, "message_text_27");
}

TEST_F(SmallWindowsTest, TheBoxTakesTheDisplayScaleAndTracesOneItCannotUse) {
  std::optional<int> scale;
  WhenTheBoxRuns([&](CMsgWnd& box) { scale = box.GetPaintManager().GetScale(); }, "confirm_btn");
  ShowMessage(owner, "", "message_text_27", 150, true, CMsgWnd::kConfirmAndCancel);
  EXPECT_EQ(scale, 150);

  test::TraceRecorder trace;
  WhenTheBoxRuns([&](CMsgWnd& box) { scale = box.GetPaintManager().GetScale(); }, "confirm_btn");
  EXPECT_EQ(ShowMessage(owner, "", "message_text_27", 0, true, CMsgWnd::kConfirmAndCancel), 1);
  EXPECT_EQ(scale, 100);
  EXPECT_EQ(trace.Count("MSG_WND DPI SET ERROR"), 1);
}

TEST_F(SmallWindowsTest, TheAboutWindowShowsTheVersionAfterTheTranslatedLabel) {
  for (const auto& [language, expected] :
       {std::pair<std::string, std::string>{"en", "Software version: 2.3.0.2"}, {"zh_CN", "软件版本：2.3.0.2"}}) {
    UseLanguage(language);
    CAboutWnd about(toolkit);
    ASSERT_TRUE(about.Create(&owner, "AboutWnd")) << about.GetCreateError();
    about.SetVersionText("2.3.0.2");
    EXPECT_EQ(Text(about, "software_ver_label"), expected);
    EXPECT_FALSE(Visible(about, "text_test"));
    loop.Post([&about] { dynamic_cast<CButtonUI&>(*about.GetPaintManager().FindControl("closebtn")).Activate(); });
    EXPECT_EQ(about.ShowModal(), 0);
  }
}

}  // namespace
}  // namespace brontal::testing
