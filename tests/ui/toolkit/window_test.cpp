#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "test_window.h"
#include "ui/toolkit/notify.h"

namespace brontal::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

// A two-button question box on the panel window.
class DialogTest : public ToolkitTest {
 protected:
  DialogTest() {
    CloseOnClick(dialog);
    if (!dialog.Create(&window, "Question")) throw std::runtime_error(dialog.GetCreateError());
  }

  void ClickLater(std::string name) {
    loop.Post([this, name] { dynamic_cast<CButtonUI&>(*dialog.GetPaintManager().FindControl(name)).Activate(); });
  }

  TestWindow dialog{toolkit, "XML_DIALOG"};
};

TEST_F(DialogTest, ModalRunReturnsTheResult) {
  ClickLater("confirm_btn");
  EXPECT_EQ(dialog.ShowModal(), 1);
  EXPECT_FALSE(dialog.IsWindow());
  EXPECT_EQ(dialog.final_messages, 1);
  EXPECT_FALSE(dialog.messages_seen_after_final);
  EXPECT_THAT(dialog.messages, ElementsAre(kWmClose, kWmDestroy));
}

TEST_F(DialogTest, CloseCommandGivesZero) {
  dialog.PostMessage(WindowMessage(kWmClose));
  EXPECT_EQ(dialog.ShowModal(), 0);
}

TEST_F(DialogTest, TimersKeepRunningDuringTheModalRun) {
  auto& confirm = *dialog.GetPaintManager().FindControl("confirm_btn");
  dialog.GetPaintManager().SetTimer(confirm, 7, 400ms);
  dialog.on_notify = [this](TNotifyUI& msg) {
    if (msg.type == notify::kTimer) dialog.Close(2);
  };
  EXPECT_EQ(dialog.ShowModal(), 2);
  EXPECT_EQ(loop.Now(), 400ms);
}

TEST_F(DialogTest, HandlerSeesMessagesFirstAndMayKeepTheWindow) {
  dialog.on_message = [](const WindowMessage& message, bool& handled) -> LRESULT {
    handled = message.id == kWmClose;  // refuse to close
    return message.id == kMsgDeviceArrived ? static_cast<LRESULT>(message.wparam) * 2 : 0;
  };
  dialog.Close(1);
  loop.RunUntilIdle();
  EXPECT_TRUE(dialog.IsWindow());
  EXPECT_EQ(dialog.SendMessage(WindowMessage(kMsgDeviceArrived, 21)), 42);
}

TEST_F(ToolkitTest, AnOwnerThatIsDeletedStillEndsItsOwnedWindows) {
  TestWindow owned(toolkit, "XML_DIALOG");
  {
    TestWindow owner(toolkit, "XML_DIALOG");
    ASSERT_TRUE(owner.Create(nullptr, "Owner"));
    ASSERT_TRUE(owned.Create(&owner, "Owned"));
  }
  EXPECT_FALSE(owned.IsWindow());
  EXPECT_EQ(owned.final_messages, 1);
}

TEST_F(DialogTest, OwnerTakesItsOwnedWindowsWithIt) {
  window.Close();
  loop.RunUntilIdle();
  EXPECT_FALSE(dialog.IsWindow());
  EXPECT_EQ(dialog.final_messages, 1);
  EXPECT_THAT(toolkit.Windows(), IsEmpty());
}

TEST_F(DialogTest, MessagesToADestroyedWindowAreDropped) {
  dialog.Close();
  loop.RunUntilIdle();
  dialog.messages.clear();
  dialog.PostMessage(WindowMessage(kMsgDeviceRemoved, 3));
  loop.RunUntilIdle();
  EXPECT_EQ(dialog.SendMessage(WindowMessage(kMsgDeviceRemoved, 3)), std::nullopt);
  EXPECT_THAT(dialog.messages, IsEmpty());
}

TEST_F(DialogTest, CentredOnItsOwner) {
  window.SetRect({100, 100, 500, 400});
  dialog.CenterWindow();
  EXPECT_EQ(dialog.GetRect(), (Rect{150, 175, 450, 325}));
}

TEST_F(ToolkitTest, WindowInitComesFromTheLoopAndResizeNotifies) {
  TestWindow fresh{toolkit, "XML_DIALOG"};
  ASSERT_TRUE(fresh.Create(nullptr, "Fresh"));
  EXPECT_THAT(fresh.notes, IsEmpty());
  EXPECT_FALSE(fresh.IsVisible());
  loop.RunUntilIdle();
  fresh.SetRect({0, 0, 300, 150});  // same size: nothing
  fresh.SetRect({0, 0, 320, 150});
  EXPECT_THAT(fresh.notes, ElementsAre(Note{"windowinit", "root"}, Note{"windowsize", "root"}));
}

TEST_F(ToolkitTest, CreateReportsALayoutError) {
  TestWindow broken{toolkit, "no_such_layout.xml"};
  EXPECT_FALSE(broken.Create(nullptr, "Broken"));
  EXPECT_THAT(broken.GetCreateError(), ::testing::HasSubstr("no_such_layout.xml: cannot be read"));
  EXPECT_EQ(broken.ShowModal(), -1);
}

}  // namespace
}  // namespace brontal::testing
