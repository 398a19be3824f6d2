#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <set>
#include <string>

#include "key_picture_window.h"
#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/select_panel_ui.h"
#include "ui/toolkit/option.h"

namespace brontal::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::set<std::string> kKeys = {"key_0", "key_1", "key_2", "key_3"};

// key_3 and the option start selected, so that a drag shows what it clears.
class SelectPanelTest : public KeyPictureTest {
 public:
  SelectPanelTest() {
    Find<CDeviceKeyButtonUI>("key_3").SetSelected(true);
    Find<COptionUI>("logo").Selected(true, false);
  }

  void Send(UiEventType type, Point at) {
    TEventUI event(type, at);
    panel.Event(event);
  }
  void Drag(Point from, Point to) {
    Send(UiEventType::kButtonDown, from);
    Send(UiEventType::kMouseMove, {(from.x + to.x) / 2, (from.y + to.y) / 2});
    Send(UiEventType::kMouseMove, to);
    Send(UiEventType::kButtonUp, to);
  }
  std::set<std::string> SelectedKeys() {
    std::set<std::string> selected;
    for (const auto& name : kKeys) {
      if (Find<CDeviceKeyButtonUI>(name).IsSelected()) selected.insert(name);
    }
    return selected;
  }

  CSelectPanelUI& panel = Find<CSelectPanelUI>("picture");
};

struct DragCase {
  const char* name;
  Point from;
  Point to;
  std::set<std::string> selected;
  friend void PrintTo(const DragCase& c, std::ostream* out) { *out << c.name; }
};

class DragSelectionTest : public SelectPanelTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DragSelectionTest, SelectsTheOverlappedKeysAndReportsOnce) {
  Drag(GetParam().from, GetParam().to);
  EXPECT_EQ(SelectedKeys(), GetParam().selected);
  EXPECT_TRUE(Find<COptionUI>("logo").IsSelected());
  EXPECT_THAT(window.notes, ElementsAre(Note{"click_select_end", "picture"}));
}

// Keys at x 10..30 and 40..60, y 10..30 and 40..60; right and bottom edges lie outside.
INSTANTIATE_TEST_SUITE_P(
    Rectangles, DragSelectionTest,
    ::testing::Values(DragCase{"TopLeftToBottomRight", {5, 5}, {45, 35}, {"key_0", "key_1"}},
                      DragCase{"BottomRightToTopLeft", {45, 35}, {5, 5}, {"key_0", "key_1"}},
                      DragCase{"BottomLeftToTopRight", {5, 35}, {45, 5}, {"key_0", "key_1"}},
                      DragCase{"OnlyTouchesEdges", {30, 5}, {40, 65}, {}},
                      DragCase{"OnePixelIntoOneKey", {29, 5}, {40, 35}, {"key_0"}},
                      DragCase{"OverEverything", {0, 0}, {100, 80}, kKeys}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

struct NoDragCase {
  const char* name;
  std::function<void(SelectPanelTest&)> act;
  friend void PrintTo(const NoDragCase& c, std::ostream* out) { *out << c.name; }
};

class NoDragTest : public SelectPanelTest, public ::testing::WithParamInterface<NoDragCase> {};

TEST_P(NoDragTest, ChangesNoSelectionAndSendsNothing) {
  GetParam().act(*this);
  EXPECT_EQ(SelectedKeys(), std::set<std::string>{"key_3"});
  EXPECT_FALSE(panel.IsDragging());
  EXPECT_THAT(window.notes, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoDragTest,
    ::testing::Values(NoDragCase{"PressAndRelease",
                                 [](SelectPanelTest& fixture) {
                                   fixture.Send(UiEventType::kButtonDown, {35, 35});
                                   fixture.Send(UiEventType::kButtonUp, {35, 35});
                                 }},
                      NoDragCase{"MoveOntoThePressPoint",
                                 [](SelectPanelTest& fixture) {
                                   fixture.Send(UiEventType::kButtonDown, {35, 35});
                                   fixture.Send(UiEventType::kMouseMove, {35, 35});
                                   fixture.Send(UiEventType::kButtonUp, {35, 35});
                                 }},
                      NoDragCase{"HoverThenRelease",
                                 [](SelectPanelTest& fixture) {
                                   fixture.Send(UiEventType::kMouseMove, {5, 5});
                                   fixture.Send(UiEventType::kMouseMove, {90, 70});
                                   fixture.Send(UiEventType::kButtonUp, {90, 70});
                                 }},
                      NoDragCase{"PanelDisabled",
                                 [](SelectPanelTest& fixture) {
                                   fixture.panel.SetEnabled(false);
                                   fixture.Drag({0, 0}, {100, 80});
                                 }},
                      NoDragCase{"ReleaseEndsTheHold",
                                 [](SelectPanelTest& fixture) {
                                   fixture.Send(UiEventType::kButtonDown, {35, 35});
                                   fixture.Send(UiEventType::kButtonUp, {35, 35});
                                   fixture.Send(UiEventType::kMouseMove, {90, 70});
                                   fixture.Send(UiEventType::kButtonUp, {90, 70});
                                 }}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(SelectPanelTest, KeepsTheRectangleUpToDateWhileDragging) {
  Send(UiEventType::kButtonDown, {50, 50});
  EXPECT_TRUE(panel.IsButtonHeld());
  EXPECT_FALSE(panel.IsDragging());

  Send(UiEventType::kMouseMove, {70, 20});
  Send(UiEventType::kMouseMove, {20, 30});
  EXPECT_TRUE(panel.IsDragging());
  EXPECT_EQ(panel.GetCurrentPoint(), (Point{20, 30}));
  EXPECT_EQ(panel.GetSelectionRect(), (Rect{20, 30, 50, 50}));
  EXPECT_EQ(SelectedKeys(), std::set<std::string>{"key_3"});  // decided at the release only

  Send(UiEventType::kButtonUp, {20, 30});
  EXPECT_FALSE(panel.IsButtonHeld());
  EXPECT_FALSE(panel.IsDragging());
  EXPECT_EQ(panel.GetCurrentPoint(), (Point{50, 50}));
  EXPECT_EQ(SelectedKeys(), (std::set<std::string>{"key_2", "key_3"}));  // key_0 only touches it
}

}  // namespace
}  // namespace brontal::testing
