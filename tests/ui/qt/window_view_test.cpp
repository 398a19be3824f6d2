#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QTimer>

#include "ui/toolkit/notify.h"
#include "view_fixture.h"

namespace brontal::testing {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

// A question box owned by the panel.
class DialogViewTest : public ViewTest {
 public:
  DialogViewTest() {
    CloseOnClick(dialog);
    if (!dialog.Create(&window, "Question")) throw std::runtime_error(dialog.GetCreateError());
  }

  QWidget* DialogWidget(std::string_view name) { return view.WidgetOf(*dialog.GetPaintManager().FindControl(name)); }

  TestWindow dialog{toolkit, "XML_DIALOG"};
};

TEST_F(DialogViewTest, ModalRunReturnsTheResultThroughTheQtLoop) {
  QPointer<QWidget> shown;
  QTimer::singleShot(0, [&] {
    shown = view.WidgetOf(dialog);
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_TRUE(shown->isModal());
    EXPECT_EQ(shown->windowType(), Qt::Dialog);
    QTest::mouseClick(DialogWidget("confirm_btn"), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.ShowModal(), 1);
  EXPECT_EQ(view.WidgetOf(dialog), nullptr);
  Pump();
  EXPECT_TRUE(shown.isNull());
}

TEST_F(DialogViewTest, TitleBarCloseAsksTheWindow) {
  dialog.on_message = [](const WindowMessage& message, bool& handled) -> LRESULT {
    handled = message.id == kWmClose;  // the first time, the window stays
    return 0;
  };
  dialog.ShowWindow();
  Pump();
  dialog.messages.clear();  // the activation and pointer messages of showing it
  view.WidgetOf(dialog)->close();
  Pump();
  EXPECT_THAT(dialog.messages, ElementsAre(kWmClose));
  ASSERT_TRUE(dialog.IsWindow());
  EXPECT_TRUE(view.WidgetOf(dialog)->isVisible());
  dialog.on_message = nullptr;
  view.WidgetOf(dialog)->close();
  Pump();
  EXPECT_FALSE(dialog.IsWindow());
}

TEST_F(ViewTest, TimerOnAControlFiresThroughTheQtLoop) {
  window.on_notify = [this](TNotifyUI& msg) {
    if (msg.type == notify::kTimer) loop.Exit(static_cast<int>(msg.wparam));
  };
  ASSERT_TRUE(window.GetPaintManager().SetTimer(Find<CControlUI>("apply_btn"), 7, 5ms));
  EXPECT_EQ(loop.Run(), 7);
  EXPECT_THAT(window.notes, ElementsAre(Note{"timer", "apply_btn", 7}));
}

TEST_F(ViewTest, RectangleGoesBothWays) {
  window.SetRect({10, 20, 510, 420});
  EXPECT_EQ(Top().geometry(), QRect(10, 20, 500, 400));
  window.notes.clear();
  Top().resize(450, 350);  // as the user would
  EXPECT_EQ(window.GetRect(), (Rect{10, 20, 460, 370}));
  EXPECT_THAT(window.notes, ElementsAre(Note{"windowsize", "root"}));
}

TEST_F(DialogViewTest, HiddenWindowsGetWidgetsWhenFirstShown) {
  EXPECT_EQ(view.WidgetOf(dialog), nullptr);
  dialog.SetTitle("Question?");
  dialog.ShowWindow();
  ASSERT_NE(view.WidgetOf(dialog), nullptr);
  EXPECT_EQ(view.WidgetOf(dialog)->windowTitle(), "Question?");
  EXPECT_EQ(view.WidgetOf(dialog)->windowType(), Qt::Dialog);  // owned
  dialog.ShowWindow(false);
  EXPECT_FALSE(view.WidgetOf(dialog)->isVisible());
}

TEST_F(DialogViewTest, OnlyAWindowWithACaptionDrawsItsOwnFrame) {
  dialog.ShowWindow();
  EXPECT_TRUE(Top().windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_FALSE(view.WidgetOf(dialog)->windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST(QtViewTest, ShowsWindowsThatWereShownBeforeIt) {
  QtMessageLoop loop;
  Toolkit toolkit(loop);
  toolkit.Resources().SetSkinFolder(UI_TEST_DATA);
  TestWindow dialog(toolkit, "dialog.xml");
  ASSERT_TRUE(dialog.Create(nullptr, "Early"));
  dialog.ShowWindow();
  QtView view(toolkit);
  ASSERT_NE(view.WidgetOf(dialog), nullptr);
  EXPECT_TRUE(view.WidgetOf(dialog)->isVisible());
  EXPECT_NE(view.WidgetOf(*dialog.GetPaintManager().FindControl("confirm_btn")), nullptr);
}

}  // namespace
}  // namespace brontal::testing
