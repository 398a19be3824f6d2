#include "ui/qt/skin_layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QWidget>
#include <ostream>
#include <vector>

namespace brontal::testing {
namespace {

using Direction = SkinLayout::Direction;
using Placement = SkinLayout::Placement;

struct ChildCase {
  Placement placement{};
  bool hidden = false;
};

struct LayoutCase {
  const char* name;
  Direction direction;
  SkinLayout::Box box;
  std::vector<ChildCase> children;
  std::vector<QRect> expected;  // in a 200 x 100 container at (5, 7) of its window
  friend void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }
};

class SkinLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(SkinLayoutTest, PlacesChildren) {
  QWidget window;
  QWidget container(&window);
  container.move(5, 7);
  auto* layout = new SkinLayout(&container, GetParam().direction);
  layout->SetBox(GetParam().box);
  std::vector<QWidget*> widgets;
  std::vector<SkinLayout::Child> children;
  for (const ChildCase& child : GetParam().children) {
    widgets.push_back(new QWidget(&container));
    if (child.hidden) widgets.back()->hide();
    children.push_back({widgets.back(), child.placement});
  }
  layout->SetChildren(children);
  layout->setGeometry(QRect(0, 0, 200, 100));
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    if (widgets[i]->isHidden()) continue;
    EXPECT_EQ(widgets[i]->geometry(), GetParam().expected[i]) << "child " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Skin, SkinLayoutTest,
    ::testing::Values(LayoutCase{"FixedWidthAndTwoShares",
                                 Direction::kHorizontal,
                                 {},
                                 {{{.fixed_width = 50}}, {}, {}},
                                 {QRect(0, 0, 50, 100), QRect(50, 0, 75, 100), QRect(125, 0, 75, 100)}},
                      LayoutCase{"InsetChildPaddingAndPadding",
                                 Direction::kHorizontal,
                                 {.inset = QMargins(5, 5, 5, 5), .child_padding = 10},
                                 {{{.fixed_width = 40, .fixed_height = 20}}, {{.padding = QMargins(2, 3, 4, 5)}}},
                                 // 190 wide inside; the second gets 190 - 40 - 10 - 6
                                 {QRect(5, 5, 40, 20), QRect(57, 8, 134, 82)}},
                      LayoutCase{"SharesSpreadTheRemainder",
                                 Direction::kVertical,
                                 {},
                                 {{}, {}, {}},
                                 {QRect(0, 0, 200, 33), QRect(0, 33, 200, 33), QRect(0, 66, 200, 34)}},
                      LayoutCase{"FixedSizesOverflowRatherThanShrink",
                                 Direction::kVertical,
                                 {},
                                 {{{.fixed_height = 80}}, {{.fixed_height = 80}}, {}},
                                 {QRect(0, 0, 200, 80), QRect(0, 80, 200, 80), QRect(0, 160, 200, 0)}},
                      LayoutCase{"HiddenChildTakesNoSpace",
                                 Direction::kHorizontal,
                                 {.child_padding = 10},
                                 {{}, {.hidden = true}, {}},
                                 {QRect(0, 0, 95, 100), {}, QRect(105, 0, 95, 100)}},
                      LayoutCase{"OverlayStacksWithinPadding",
                                 Direction::kOverlay,
                                 {.inset = QMargins(1, 1, 1, 1)},
                                 {{}, {{.fixed_width = 30, .padding = QMargins(10, 10, 0, 10)}}},
                                 {QRect(1, 1, 198, 98), QRect(11, 11, 30, 78)}},
                      LayoutCase{"FloatingChildKeepsItsRectangle",
                                 Direction::kHorizontal,
                                 {},
                                 {{}, {{.floating = true, .float_rect = QRect(25, 37, 40, 10)}}},  // window coordinates
                                 {QRect(0, 0, 200, 100), QRect(20, 30, 40, 10)}}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace brontal::testing
