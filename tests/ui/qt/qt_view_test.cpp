#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <ostream>

#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"
#include "view_fixture.h"

namespace brontal::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

QRgb CentrePixel(QWidget& widget) {
  const QImage image = widget.grab().toImage();
  return image.pixel(image.width() / 2, image.height() / 2);
}

struct StateCase {
  const char* name;
  std::function<void(ViewTest&)> change;
  std::function<void(ViewTest&)> check;
  friend void PrintTo(const StateCase& c, std::ostream* out) { *out << c.name; }
};

class MirrorTest : public ViewTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(MirrorTest, WidgetFollowsTheControl) {
  GetParam().change(*this);
  Pump();
  GetParam().check(*this);
}

INSTANTIATE_TEST_SUITE_P(
    States, MirrorTest,
    ::testing::Values(
        StateCase{"LabelText",
                  [](ViewTest& fixture) {
                    fixture.Find<CLabelUI>("title_label").SetResourceText(false);
                    fixture.Find<CLabelUI>("title_label").SetText("Hello");
                  },
                  [](ViewTest& fixture) { EXPECT_EQ(fixture.Widget<QLabel>("title_label").text(), "Hello"); }},
        StateCase{"ResourceTextFollowsTheLanguage",
                  [](ViewTest& fixture) {
                    std::string error;
                    ASSERT_TRUE(fixture.toolkit.Resources().LoadLanguage("lang_en.xml", error)) << error;
                    fixture.toolkit.ReloadText();
                  },
                  [](ViewTest& fixture) { EXPECT_EQ(fixture.Widget<QLabel>("title_label").text(), "Lighting"); }},
        StateCase{"ButtonTextAndToolTip",
                  [](ViewTest& fixture) {
                    fixture.Find<CButtonUI>("apply_btn").SetText("Go");
                    fixture.Find<CButtonUI>("apply_btn").SetToolTip("Now");
                  },
                  [](ViewTest& fixture) {
                    EXPECT_EQ(fixture.Widget<QPushButton>("apply_btn").text(), "Go");
                    EXPECT_EQ(fixture.Widget<QPushButton>("apply_btn").toolTip(), "Now");
                  }},
        StateCase{"HiddenAndDisabled",
                  [](ViewTest& fixture) {
                    fixture.Find<CButtonUI>("apply_btn").SetVisible(false);
                    fixture.Find<CSliderUI>("bright_slider").SetEnabled(false);
                  },
                  [](ViewTest& fixture) {
                    EXPECT_TRUE(fixture.Widget("apply_btn").isHidden());
                    EXPECT_FALSE(fixture.Widget("bright_slider").isEnabled());
                  }},
        StateCase{"GroupSelectionMovesSilently",
                  [](ViewTest& fixture) { fixture.Find<COptionUI>("mode_b").Selected(true, false); },
                  [](ViewTest& fixture) {
                    EXPECT_TRUE(fixture.Widget<QPushButton>("mode_b").isChecked());
                    EXPECT_FALSE(fixture.Widget<QPushButton>("mode_a").isChecked());
                  }},
        StateCase{"CheckBoxSelected",
                  [](ViewTest& fixture) { fixture.Find<COptionUI>("auto_check").Selected(true, false); },
                  [](ViewTest& fixture) { EXPECT_TRUE(fixture.Widget<QCheckBox>("auto_check").isChecked()); }},
        StateCase{"SliderRangeAndValue",
                  [](ViewTest& fixture) {
                    fixture.Find<CSliderUI>("bright_slider").SetMaxValue(10);
                    fixture.Find<CSliderUI>("bright_slider").SetValue(7);
                  },
                  [](ViewTest& fixture) {
                    EXPECT_EQ(fixture.Widget<QSlider>("bright_slider").maximum(), 10);
                    EXPECT_EQ(fixture.Widget<QSlider>("bright_slider").value(), 7);
                  }},
        StateCase{
            "ComboSelection", [](ViewTest& fixture) { fixture.Find<CComboUI>("mode_combo").SelectItem(1, false); },
            [](ViewTest& fixture) { EXPECT_EQ(fixture.Widget<QComboBox>("mode_combo").currentText(), "Breathing"); }},
        StateCase{"ComboItems",
                  [](ViewTest& fixture) {
                    auto& combo = fixture.Find<CComboUI>("mode_combo");
                    combo.SelectItem(1, false);
                    combo.AddAt(std::make_unique<CLabelUI>(), 0);  // the selection moves with its item
                    combo.GetItemAt(0)->SetText("Off");
                    combo.GetItemAt(3)->SetVisible(true);
                  },
                  [](ViewTest& fixture) {
                    auto& combo = fixture.Widget<QComboBox>("mode_combo");
                    ASSERT_EQ(combo.count(), 4);
                    EXPECT_EQ(combo.itemText(0), "Off");
                    EXPECT_EQ(combo.currentIndex(), 2);
                    EXPECT_FALSE(dynamic_cast<QListView&>(*combo.view()).isRowHidden(3));
                  }},
        StateCase{"HiddenComboItem", [](ViewTest&) {},
                  [](ViewTest& fixture) {
                    auto& combo = fixture.Widget<QComboBox>("mode_combo");
                    EXPECT_TRUE(dynamic_cast<QListView&>(*combo.view()).isRowHidden(2));
                  }},
        StateCase{"ListItemsAndSelection",
                  [](ViewTest& fixture) {
                    auto& list = fixture.Find<CListUI>("macro_list");
                    list.RemoveAt(0);
                    list.AddTextItem("third");
                    list.SelectItem(1, false);
                  },
                  [](ViewTest& fixture) {
                    auto& list = fixture.Widget<QListView>("macro_list");
                    ASSERT_EQ(list.model()->rowCount(), 2);
                    EXPECT_EQ(list.model()->index(0, 0).data().toString(), "second");
                    EXPECT_EQ(list.currentIndex().row(), 1);
                    EXPECT_TRUE(list.selectionModel()->isRowSelected(1, {}));
                  }},
        StateCase{"EditText", [](ViewTest& fixture) { fixture.Find<CEditUI>("red_edit").SetText("7"); },
                  [](ViewTest& fixture) { EXPECT_EQ(fixture.Widget<QLineEdit>("red_edit").text(), "7"); }},
        StateCase{"TabPage", [](ViewTest& fixture) { fixture.Find<CTabLayoutUI>("pages").SelectItem(1); },
                  [](ViewTest& fixture) {
                    EXPECT_TRUE(fixture.Widget("page_1").isVisibleTo(&fixture.Top()));
                    EXPECT_TRUE(fixture.Widget("page_1_btn").isVisibleTo(&fixture.Top()));
                    EXPECT_FALSE(fixture.Widget("page_0").isVisibleTo(&fixture.Top()));
                  }},
        StateCase{"BackgroundColours",
                  [](ViewTest& fixture) {
                    fixture.Find<CLabelUI>("title_label").SetBkColor(0xFFFF0000);
                    fixture.Find<CButtonUI>("keypad").SetBkColor(0xFF0000FF);
                  },
                  [](ViewTest& fixture) {
                    EXPECT_EQ(CentrePixel(fixture.Widget<QLabel>("title_label")), 0xFFFF0000);
                    EXPECT_EQ(CentrePixel(fixture.Widget("keypad")), 0xFF0000FF);  // custom-drawn
                  }},
        StateCase{
            "TextColour",
            [](ViewTest& fixture) { fixture.Find<CLabelUI>("title_label").SetAttribute("textcolor", "#FF00FF00"); },
            [](ViewTest& fixture) {
              // Some text pixels in the colour, however the font smooths them.
              const QImage image = fixture.Widget<QLabel>("title_label").grab().toImage();
              bool green = false;
              for (int y = 0; y < image.height() && !green; ++y) {
                for (int x = 0; x < image.width() && !green; ++x) {
                  const QColor pixel = image.pixelColor(x, y);
                  green = pixel.green() > 200 && pixel.red() < 60 && pixel.blue() < 60;
                }
              }
              EXPECT_TRUE(green);
            }},
        StateCase{"Fonts",
                  [](ViewTest& fixture) {
                    // The font named before the window has it: the table's change applies it.
                    fixture.Find<CButtonUI>("apply_btn").SetAttribute("font", "3");
                    auto& pm = fixture.window.GetPaintManager();
                    pm.SetDefaultFont({"DejaVu Sans", 17}, false);
                    pm.AddFont(3, {"DejaVu Sans", 21, true}, false);
                  },
                  [](ViewTest& fixture) {
                    EXPECT_EQ(fixture.Widget("apply_btn").font().pixelSize(), 21);
                    EXPECT_TRUE(fixture.Widget("apply_btn").font().bold());
                    EXPECT_EQ(fixture.Widget("red_edit").font().pixelSize(), 17);  // the window's default
                  }},
        StateCase{"ControlsAddedAndRemoved",
                  [](ViewTest& fixture) {
                    auto& toolbar = fixture.Find<CContainerUI>("toolbar");
                    auto button = std::make_unique<CButtonUI>();
                    button->SetName("new_btn");
                    button->SetText("New");
                    toolbar.Add(std::move(button));
                    toolbar.Remove(&fixture.Find<CControlUI>("apply_btn"));
                  },
                  [](ViewTest& fixture) {
                    EXPECT_EQ(fixture.Widget<QPushButton>("new_btn").text(), "New");
                    EXPECT_EQ(fixture.Widget("new_btn").parentWidget(), &fixture.Widget("toolbar"));
                    EXPECT_EQ(fixture.window.GetPaintManager().FindControl("apply_btn"), nullptr);
                    EXPECT_EQ(fixture.Widget("toolbar").findChildren<QPushButton*>("apply_btn").size(), 0);
                  }}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(ViewTest, LayoutFollowsTheSkinAndReportsPositions) {
  // The panel's root is a column of 400 x 300; "tall_btn" asks for 44 pixels
  // and the default for buttons gives 30.
  EXPECT_EQ(Widget("tall_btn").height(), 44);
  EXPECT_EQ(Widget("apply_btn").height(), 30);
  const QPoint at = Widget("apply_btn").mapTo(&Top(), QPoint(0, 0));
  const Rect pos = Find<CControlUI>("apply_btn").GetPos();
  EXPECT_EQ(pos, (Rect{at.x(), at.y(), at.x() + Widget("apply_btn").width(), at.y() + 30}));
  // The floating strip sits at its own window rectangle, which stays its own.
  EXPECT_EQ(Widget("strip").geometry(), QRect(10, 250, 380, 40));
  EXPECT_EQ(Find<CControlUI>("strip").GetPos(), (Rect{10, 250, 390, 290}));
}

TEST_F(ViewTest, BackgroundImageFromTheSkin) {
  QTemporaryDir skin;
  ASSERT_TRUE(skin.isValid());
  QImage image(4, 4, QImage::Format_ARGB32);
  image.fill(0xFF123456);
  ASSERT_TRUE(image.save(skin.filePath("tile.png")));
  Find<CLabelUI>("title_label").SetBkImage(skin.filePath("tile.png").toStdString());
  Find<CButtonUI>("keypad").SetBkImage(skin.filePath("tile.png").toStdString());
  Pump();
  EXPECT_EQ(CentrePixel(Widget("title_label")), 0xFF123456);
  EXPECT_EQ(CentrePixel(Widget("keypad")), 0xFF123456);
}

// A colour swatch that takes no clicks does not look as if it did. The
// swatch is flat, as the skin's sheet makes buttons.
TEST_F(ViewTest, DisabledButtonFadesItsBackgroundColour) {
  qApp->setStyleSheet(QStringLiteral("QPushButton { border: none; }"));
  auto& swatch = Find<CButtonUI>("tall_btn");
  swatch.SetBkColor(0xFFFF0000);
  Pump();
  EXPECT_EQ(CentrePixel(Widget("tall_btn")), 0xFFFF0000);
  swatch.SetEnabled(false);
  Pump();
  const QRgb faded = CentrePixel(Widget("tall_btn"));
  EXPECT_NE(faded, 0xFFFF0000);
  EXPECT_GT(qRed(faded), qGreen(faded));  // still the swatch's colour
  qApp->setStyleSheet({});
}

struct InputCase {
  const char* name;
  std::function<void(ViewTest&)> act;
  std::vector<Note> expected;
  friend void PrintTo(const InputCase& c, std::ostream* out) { *out << c.name; }
};

class UserInputTest : public ViewTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(UserInputTest, GivesTheToolkitNotifications) {
  GetParam().act(*this);
  Pump();
  EXPECT_THAT(window.notes, ElementsAreArray(GetParam().expected));
}

void Click(QWidget& widget, QPoint at = {}) {
  QTest::mouseClick(&widget, Qt::LeftButton, {}, at.isNull() ? widget.rect().center() : at);
}

INSTANTIATE_TEST_SUITE_P(
    Widgets, UserInputTest,
    ::testing::Values(
        InputCase{
            "ButtonClick", [](ViewTest& fixture) { Click(fixture.Widget("apply_btn")); }, {{"click", "apply_btn"}}},
        InputCase{"GroupOptionPicked",
                  [](ViewTest& fixture) {
                    Click(fixture.Widget("mode_b"));
                    EXPECT_TRUE(fixture.Widget<QPushButton>("mode_b").isChecked());
                    EXPECT_FALSE(fixture.Widget<QPushButton>("mode_a").isChecked());
                  },
                  {{"selectchanged", "mode_b"}, {"click", "mode_b"}}},
        InputCase{"SelectedGroupOptionClickedAgain",
                  [](ViewTest& fixture) {
                    Click(fixture.Widget("mode_a"));
                    EXPECT_TRUE(fixture.Widget<QPushButton>("mode_a").isChecked());
                  },
                  {{"click", "mode_a"}}},
        InputCase{"CheckBoxToggledTwice",
                  [](ViewTest& fixture) {
                    // On its box: only the box and the text take clicks.
                    auto& box = fixture.Widget<QCheckBox>("auto_check");
                    const QPoint on_box(box.style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2, box.height() / 2);
                    Click(box, on_box);
                    EXPECT_TRUE(box.isChecked());
                    Click(box, on_box);
                    EXPECT_FALSE(box.isChecked());
                  },
                  {{"selectchanged", "auto_check"},
                   {"click", "auto_check"},
                   {"selectchanged", "auto_check"},
                   {"click", "auto_check"}}},
        InputCase{"SliderStepByKey",
                  [](ViewTest& fixture) {
                    QTest::keyClick(&fixture.Widget("bright_slider"), Qt::Key_Right);
                    EXPECT_EQ(fixture.Find<CSliderUI>("bright_slider").GetValue(), 3);
                  },
                  {{"valuechanged", "bright_slider"}}},
        InputCase{"SliderDraggedAndReleased",
                  [](ViewTest& fixture) {
                    auto& slider = fixture.Widget<QSlider>("bright_slider");
                    slider.setSliderDown(true);
                    slider.setSliderPosition(3);
                    slider.setSliderPosition(4);
                    slider.setSliderDown(false);
                    EXPECT_EQ(fixture.Find<CSliderUI>("bright_slider").GetValue(), 4);
                  },
                  {{"movevaluechanged", "bright_slider"},
                   {"movevaluechanged", "bright_slider"},
                   {"valuechanged", "bright_slider"}}},
        InputCase{"ComboStepsByKeyButNotOntoAHiddenItem",
                  [](ViewTest& fixture) {
                    auto& combo = fixture.Widget<QComboBox>("mode_combo");
                    for (int i = 0; i < 3; ++i) QTest::keyClick(&combo, Qt::Key_Down);
                    EXPECT_EQ(combo.currentIndex(), 1);
                    EXPECT_EQ(fixture.Find<CComboUI>("mode_combo").GetCurSel(), 1);
                  },
                  {{"itemselect", "mode_combo", 0, -1}, {"itemselect", "mode_combo", 1, 0}}},
        InputCase{"ListRowClicked",
                  [](ViewTest& fixture) {
                    auto& list = fixture.Widget<QListView>("macro_list");
                    Click(*list.viewport(), list.visualRect(list.model()->index(1, 0)).center());
                  },
                  {{"itemselect", "macro_list", 1, -1}, {"itemclick", "", 1}}},
        InputCase{"EditTypedThenLeft",
                  [](ViewTest& fixture) {
                    fixture.Top().activateWindow();
                    ASSERT_TRUE(QTest::qWaitForWindowActive(&fixture.Top()));
                    auto& edit = fixture.Widget<QLineEdit>("red_edit");
                    edit.setFocus();
                    edit.selectAll();
                    QTest::keyClicks(&edit, "12");
                    Click(fixture.Widget("title_label"));  // a label takes no focus, the window does
                    EXPECT_EQ(fixture.Find<CEditUI>("red_edit").GetText(), "12");
                  },
                  {{"textchanged", "red_edit"}, {"textchanged", "red_edit"}, {"killfocus", "red_edit"}}},
        InputCase{"TabOptionSwitchesPage",
                  [](ViewTest& fixture) {
                    Click(fixture.Widget("page_tab_1"));
                    Pump();
                    Click(fixture.Widget("page_1_btn"));
                  },
                  // Every click moves the focus, as in the toolkit: the last control hears it leave.
                  {{"selectchanged", "page_tab_1"},
                   {"click", "page_tab_1"},
                   {"killfocus", "page_tab_1"},
                   {"click", "page_1_btn"}}},
        InputCase{"KeyPadDoubleClicked",
                  [](ViewTest& fixture) {
                    // As a window system delivers it.
                    auto& keypad = fixture.Widget("keypad");
                    QTest::mousePress(&keypad, Qt::LeftButton);
                    QTest::mouseRelease(&keypad, Qt::LeftButton);
                    QTest::mouseDClick(&keypad, Qt::LeftButton);
                    QTest::mouseRelease(&keypad, Qt::LeftButton);
                  },
                  {{"click", "keypad"}, {"dbclick", "keypad"}}},
        InputCase{"KeyPadReleasedOutsideCancels",
                  [](ViewTest& fixture) {
                    auto& keypad = fixture.Widget("keypad");
                    QTest::mousePress(&keypad, Qt::LeftButton, {}, keypad.rect().center());
                    QTest::mouseRelease(&keypad, Qt::LeftButton, {}, QPoint(keypad.width() + 2, 1));
                  },
                  {}},
        InputCase{"DisabledGroupTakesNoClicks", [](ViewTest& fixture) { Click(fixture.Widget("inner_btn")); }, {}}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(ViewTest, PointerOverAProgramControlMakesItHot) {
  QWidget& keypad = Widget("keypad");
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), keypad.mapToGlobal(QPointF(2, 2)));
  QApplication::sendEvent(&keypad, &enter);
  EXPECT_TRUE(Find<CButtonUI>("keypad").IsHot());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&keypad, &leave);
  EXPECT_FALSE(Find<CButtonUI>("keypad").IsHot());
}

TEST_F(ViewTest, HandlerMayRemoveTheClickedControl) {
  QPointer<QWidget> option = &Widget("mode_b");
  window.on_notify = [&](TNotifyUI& msg) {
    if (msg.type == "selectchanged") Find<CContainerUI>("toolbar").RemoveAll();
  };
  Click(*option);
  Pump();
  EXPECT_THAT(window.notes, ElementsAre(Note{"selectchanged", "mode_b"}));
  EXPECT_TRUE(option.isNull());
  EXPECT_THAT(Widget("toolbar").findChildren<QWidget*>(), IsEmpty());
}

}  // namespace
}  // namespace brontal::testing
