#include "ui/qt/control_style.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "ui/toolkit/option.h"

namespace brontal::testing {
namespace {

struct StatusCase {
  const char* name;
  std::function<void(COptionUI&)> state;
  std::vector<const char*> images;  // the status images the option has
  const char* expected;
  friend void PrintTo(const StatusCase& c, std::ostream* out) { *out << c.name; }
};

class StatusImageTest : public ::testing::TestWithParam<StatusCase> {};

void Send(CControlUI& control, UiEventType type) {
  TEventUI event(type);
  control.Event(event);
}

TEST_P(StatusImageTest, ChosenByState) {
  COptionUI option;
  for (const char* image : GetParam().images) ASSERT_TRUE(option.SetAttribute(image, std::string(image) + ".png"));
  GetParam().state(option);
  EXPECT_EQ(StatusImage(option), GetParam().expected);
}

const std::vector<const char*> kAll = {"normalimage",   "hotimage",      "pushedimage",
                                       "disabledimage", "selectedimage", "selectedhotimage"};

INSTANTIATE_TEST_SUITE_P(
    States, StatusImageTest,
    ::testing::Values(StatusCase{"Normal", [](COptionUI&) {}, kAll, "normalimage.png"},
                      StatusCase{"Hot", [](COptionUI& o) { Send(o, UiEventType::kMouseEnter); }, kAll, "hotimage.png"},
                      StatusCase{"HotWithoutItsImage",
                                 [](COptionUI& o) { Send(o, UiEventType::kMouseEnter); },
                                 {"normalimage"},
                                 "normalimage.png"},
                      StatusCase{"Pushed",
                                 [](COptionUI& o) {
                                   Send(o, UiEventType::kMouseEnter);
                                   Send(o, UiEventType::kButtonDown);
                                 },
                                 kAll, "pushedimage.png"},
                      StatusCase{"DisabledBeatsSelected",
                                 [](COptionUI& o) {
                                   o.Selected(true, false);
                                   o.SetEnabled(false);
                                 },
                                 kAll, "disabledimage.png"},
                      StatusCase{"Selected", [](COptionUI& o) { o.Selected(true, false); }, kAll, "selectedimage.png"},
                      StatusCase{"SelectedAndHot",
                                 [](COptionUI& o) {
                                   o.Selected(true, false);
                                   Send(o, UiEventType::kMouseEnter);
                                 },
                                 kAll, "selectedhotimage.png"},
                      StatusCase{"SelectedWithoutItsImage",
                                 [](COptionUI& o) { o.Selected(true, false); },
                                 {"normalimage"},
                                 "normalimage.png"},
                      StatusCase{"None", [](COptionUI&) {}, {}, ""}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

struct ImageFileCase {
  const char* value;
  const char* file;
  friend void PrintTo(const ImageFileCase& c, std::ostream* out) { *out << '"' << c.value << '"'; }
};

class SkinImageFileTest : public ::testing::TestWithParam<ImageFileCase> {};

TEST_P(SkinImageFileTest, PlainPathOrFileKey) { EXPECT_EQ(SkinImageFile(GetParam().value), GetParam().file); }

INSTANTIATE_TEST_SUITE_P(Values, SkinImageFileTest,
                         ::testing::Values(ImageFileCase{"keys/light.png", "keys/light.png"},
                                           ImageFileCase{"file='power/powered.png'", "power/powered.png"},
                                           ImageFileCase{"file='a.png' source='0,0,10,10'", "a.png"},
                                           ImageFileCase{"source='0,0,1,1' file='b.png'", "b.png"},
                                           ImageFileCase{"file='unterminated.png", "unterminated.png"},
                                           ImageFileCase{"", ""}));

TEST(StatusImageTest, OnlyButtonsHaveStatusImages) {
  CLabelUI label;
  ASSERT_TRUE(label.SetAttribute("normalimage", "n.png"));
  EXPECT_EQ(StatusImage(label), "");
}

}  // namespace
}  // namespace brontal::testing
