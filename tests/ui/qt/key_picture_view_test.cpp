#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QRubberBand>
#include <QTemporaryDir>
#include <QTest>

#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/select_panel_ui.h"
#include "view_fixture.h"

namespace brontal::testing {
namespace {

using ::testing::ElementsAre;

// The key picture of the controls' tests (keys at 10..30 and 40..60 in both
// directions of a 100 x 80 window), shown, with a red light overlay image.
class KeyPictureViewTest : public ::testing::Test {
 public:
  KeyPictureViewTest() {
    QImage light(4, 4, QImage::Format_ARGB32);
    light.fill(0xFFFF0000);
    if (!QDir(skin.path()).mkdir("keys") || !light.save(skin.filePath("keys/light.png"))) {
      throw std::runtime_error("cannot write the test skin");
    }
    toolkit.Resources().SetSkinFolder(skin.path().toStdString());
    toolkit.Factory().Register("CSelectPanelUI", [] { return std::make_unique<CSelectPanelUI>(); });
    toolkit.Factory().Register("CDeviceKeyButtonUI", [] { return std::make_unique<CDeviceKeyButtonUI>(); });
    if (!window.Create(nullptr, "Keys")) throw std::runtime_error(window.GetCreateError());
    window.ShowWindow();
    if (!QTest::qWaitForWindowExposed(view.WidgetOf(window))) throw std::runtime_error("never exposed");
    Pump();
    window.notes.clear();
  }

  CDeviceKeyButtonUI& Key(std::string_view name) {
    return dynamic_cast<CDeviceKeyButtonUI&>(*window.GetPaintManager().FindControl(name));
  }
  QWidget& WidgetOf(std::string_view name) { return *view.WidgetOf(*window.GetPaintManager().FindControl(name)); }

  QTemporaryDir skin;
  QtMessageLoop loop;
  Toolkit toolkit{loop};
  QtView view{toolkit};
  TestWindow window{toolkit, CONTROLS_TEST_DATA "/key_picture.xml"};
};

TEST_F(KeyPictureViewTest, DragOnThePanelSelectsTheKeysItCovers) {
  QWidget& panel = WidgetOf("picture");
  ASSERT_EQ(panel.mapTo(panel.window(), QPoint(0, 0)), QPoint(0, 0));  // window and panel points agree
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(&panel, QPoint(25, 20));
  const auto* band = panel.findChild<QRubberBand*>();
  ASSERT_NE(band, nullptr);
  EXPECT_TRUE(band->isVisible());
  EXPECT_EQ(band->geometry(), QRect(5, 5, 20, 15));
  QTest::mouseMove(&panel, QPoint(45, 35));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(45, 35));
  EXPECT_FALSE(band->isVisible());
  EXPECT_THAT(window.notes, ElementsAre(Note{"click_select_end", "picture"}));
  EXPECT_TRUE(Key("key_0").IsSelected());
  EXPECT_TRUE(Key("key_1").IsSelected());
  EXPECT_FALSE(Key("key_2").IsSelected());
}

TEST_F(KeyPictureViewTest, KeyPaintsItsOverlayAndSelection) {
  QWidget& key = WidgetOf("key_0");
  EXPECT_EQ(key.geometry(), QRect(10, 10, 20, 20));  // its own window rectangle
  Key("key_0").SetLightShown(true);
  Key("key_0").SetSelected(true);
  Pump();
  const QImage image = key.grab().toImage();
  EXPECT_EQ(image.pixel(10, 10), 0xFFFF0000);
  EXPECT_EQ(image.pixel(1, 10), key.palette().color(QPalette::Highlight).rgba());
}

}  // namespace
}  // namespace brontal::testing
