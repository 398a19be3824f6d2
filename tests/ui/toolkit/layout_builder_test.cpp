#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "test_window.h"
#include "ui/toolkit/control_factory.h"
#include "ui/toolkit/layout_builder.h"
#include "ui/toolkit/list_owner.h"

namespace brontal::testing {
namespace {

using ::testing::HasSubstr;

TEST_F(ToolkitTest, BuildsEveryKindFromTheLayout) {
  const std::map<std::string, std::string> classes = {
      {"root", "VerticalLayout"}, {"toolbar", "HorizontalLayout"}, {"apply_btn", "Button"},
      {"mode_a", "Option"},       {"auto_check", "CheckBox"},      {"keypad", "KeyPad"},
      {"badge", "FactoryBadge"},  {"bright_slider", "Slider"},     {"mode_combo", "Combo"},
      {"red_edit", "Edit"},       {"title_label", "Label"},        {"macro_list", "List"},
      {"pages", "TabLayout"},     {"strip_btn", "Button"}};
  for (const auto& [name, class_name] : classes) {
    const CControlUI* control = window.GetPaintManager().FindControl(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->GetClass(), class_name) << name;
  }
  EXPECT_EQ(window.GetRect(), (Rect{0, 0, 400, 300}));
  EXPECT_EQ(window.GetLayoutAttribute("caption"), "0,0,0,30");
}

TEST_F(ToolkitTest, AttributesDefaultsAndItems) {
  auto& apply = Find<CButtonUI>("apply_btn");
  EXPECT_EQ(apply.GetText(), "Apply");
  EXPECT_EQ(apply.GetToolTip(), "Apply now");
  EXPECT_EQ(apply.GetFixedHeight(), 30);  // from the class default
  EXPECT_EQ(apply.GetAttribute("textcolor"), "#FFE0E0E0");
  EXPECT_EQ(Find<CButtonUI>("tall_btn").GetFixedHeight(), 44);  // own value wins
  EXPECT_EQ(Find<CControlUI>("root").GetBkColor(), 0xFF202020u);

  auto& combo = Find<CComboUI>("mode_combo");
  ASSERT_EQ(combo.GetCount(), 3);
  EXPECT_EQ(combo.GetItemAt(1)->GetText(), "Breathing");
  EXPECT_FALSE(combo.GetItemAt(2)->IsVisible());
  EXPECT_EQ(Find<CListUI>("macro_list").GetItemAt(1)->GetUserData(), "2");

  auto& strip = Find<CControlUI>("strip");
  EXPECT_TRUE(strip.IsFloat());
  EXPECT_EQ(strip.GetPos(), (Rect{10, 250, 390, 290}));
  EXPECT_EQ(strip.GetFixedWidth(), 380);
}

TEST_F(ToolkitTest, FindBelowAControl) {
  CControlUI* page = window.GetPaintManager().FindControl("page_1");
  EXPECT_NE(CPaintManagerUI::FindSubControlByName(page, "page_1_btn"), nullptr);
  EXPECT_EQ(CPaintManagerUI::FindSubControlByName(page, "apply_btn"), nullptr);
  EXPECT_EQ(window.GetPaintManager().FindControl("APPLY_BTN"), nullptr);  // names are exact
}

struct MalformedCase {
  const char* name;
  std::map<std::string, std::string> files;  // the first one is built
  const char* error;
};

class MalformedLayoutTest : public ::testing::TestWithParam<MalformedCase> {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::path(::testing::TempDir()) / ("layout_" + std::string(GetParam().name));
    std::filesystem::create_directories(folder_);
    for (const auto& [file, text] : GetParam().files) std::ofstream(folder_ / file) << text;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
};

TEST_P(MalformedLayoutTest, FailsWithFileAndLine) {
  CControlFactory factory;
  LayoutBuilder builder(factory, nullptr);
  const LayoutResult result = builder.Build(folder_ / "a.xml");
  EXPECT_EQ(result.root, nullptr);
  EXPECT_THAT(result.error, HasSubstr(GetParam().error));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, MalformedLayoutTest,
    ::testing::Values(
        MalformedCase{"SyntaxError", {{"a.xml", "<Window>\n<Button name=\"x\">\n</Window>\n"}}, "a.xml:3:"},
        MalformedCase{"UnknownClass", {{"a.xml", "<Window>\n<VerticalLayout>\n<Knob/>\n</VerticalLayout>\n</Window>"}},
                      "a.xml:3: unknown control class <Knob>"},
        MalformedCase{"BadValue", {{"a.xml", "<Window>\n<Button width=\"wide\"/>\n</Window>"}},
                      "a.xml:2: bad value \"wide\" for attribute width of <Button>"},
        MalformedCase{"BadDefaultValue",
                      {{"a.xml", "<Window>\n<Default class=\"Slider\" max=\"x\"/>\n<Slider/>\n</Window>"}},
                      "a.xml:3: bad value \"x\" for attribute max"},
        MalformedCase{"ChildOfNonContainer", {{"a.xml", "<Window>\n<Button>\n<Label/>\n</Button>\n</Window>"}},
                      "a.xml:3: <Button> cannot hold child controls"},
        MalformedCase{"MissingInclude", {{"a.xml", "<Window>\n<Include source=\"gone.xml\"/>\n</Window>"}},
                      "a.xml:2: "},
        MalformedCase{"IncludeCycle",
                      {{"a.xml", "<Window>\n<Include source=\"b.xml\"/>\n</Window>"},
                       {"b.xml", "<VerticalLayout>\n<Include source=\"b.xml\"/>\n</VerticalLayout>"}},
                      "b.xml:2: include cycle through"},
        MalformedCase{"BrokenIncludedFile",
                      {{"a.xml", "<Window>\n<Include source=\"b.xml\"/>\n</Window>"}, {"b.xml", "<Label"}},
                      "b.xml:1:"},
        MalformedCase{"TwoRoots", {{"a.xml", "<Window>\n<Label/>\n<Label/>\n</Window>"}},
                      "a.xml:3: a window has one root control"},
        MalformedCase{"NotAWindow", {{"a.xml", "<Label/>"}}, "a.xml:1: the root element must be <Window>"},
        MalformedCase{"EmptyWindow", {{"a.xml", "<Window/>"}}, "a.xml:1: <Window> holds no control"},
        MalformedCase{"MissingFile", {}, "a.xml: cannot be read"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace brontal::testing
