#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "key_picture_window.h"
#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/select_panel_ui.h"

namespace brontal::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Layer = CDeviceKeyButtonUI::ImageLayer;

TEST_F(KeyPictureTest, KeyImagesComeFromTheLayout) {
  const auto& key = Find<CDeviceKeyButtonUI>("key_0");
  EXPECT_EQ(key.GetLightImage(), "file='keys/light.png'");
  EXPECT_EQ(key.GetKeySetImage(), "file='keys/set.png'");
  EXPECT_EQ(key.GetKeyUnsetImage(), "file='keys/unset.png'");
  EXPECT_EQ(key.GetAttribute("gmnametextcolor"), "");  // accepted, but nothing keeps it
  EXPECT_EQ(key.GetOverlayParameters(), (CDeviceKeyButtonUI::OverlayParameters{255, 200}));
}

struct ColorCase {
  const char* value;
  bool accepted;
  friend void PrintTo(const ColorCase& c, std::ostream* out) { *out << c.value; }
};

class KeyNameColorTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(KeyNameColorTest, MustBeAColour) {
  CDeviceKeyButtonUI key;
  EXPECT_EQ(key.SetAttribute("gmnametextcolor", GetParam().value), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Values, KeyNameColorTest,
                         ::testing::Values(ColorCase{"#FFC0C0C0", true}, ColorCase{"C0C0C0", true},
                                           ColorCase{"grey", false}, ColorCase{"", false}));

struct LayerCase {
  const char* name;
  std::function<void(CDeviceKeyButtonUI&)> set;
  std::vector<Layer> expected;
  friend void PrintTo(const LayerCase& c, std::ostream* out) { *out << c.name; }
};

class KeyLayerTest : public KeyPictureTest, public ::testing::WithParamInterface<LayerCase> {};

TEST_P(KeyLayerTest, DrawsOverlayThenUnsetThenSetMark) {
  auto& key = Find<CDeviceKeyButtonUI>("key_0");
  GetParam().set(key);
  EXPECT_THAT(key.GetImageLayers(), ElementsAreArray(GetParam().expected));
}

const Layer kLight{"file='keys/light.png'", true};
const Layer kUnset{"file='keys/unset.png'", false};
const Layer kSet{"file='keys/set.png'", false};

INSTANTIATE_TEST_SUITE_P(
    Flags, KeyLayerTest,
    ::testing::Values(LayerCase{"Initially", [](CDeviceKeyButtonUI&) {}, {}},
                      LayerCase{"LightOnly", [](CDeviceKeyButtonUI& key) { key.SetLightShown(true); }, {kLight}},
                      LayerCase{"SetMarkOnly", [](CDeviceKeyButtonUI& key) { key.SetKeySetHidden(false); }, {kSet}},
                      LayerCase{"Everything",
                                [](CDeviceKeyButtonUI& key) {
                                  key.SetKeySetHidden(false);
                                  key.SetKeyUnsetHidden(false);
                                  key.SetLightShown(true);
                                },
                                {kLight, kUnset, kSet}},
                      LayerCase{"LightTurnedOffAgain",
                                [](CDeviceKeyButtonUI& key) {
                                  key.SetLightShown(true);
                                  key.SetKeyUnsetHidden(false);
                                  key.SetLightShown(false);
                                },
                                {kUnset}}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

struct DoubleClickCase {
  const char* name;
  std::function<void(KeyPictureTest&)> prepare;
  Point at;
  std::vector<Note> expected;
  bool pushed;
  friend void PrintTo(const DoubleClickCase& c, std::ostream* out) { *out << c.name; }
};

class KeyDoubleClickTest : public KeyPictureTest, public ::testing::WithParamInterface<DoubleClickCase> {};

TEST_P(KeyDoubleClickTest, SendsDbclickOnlyInsideAnEnabledKey) {
  GetParam().prepare(*this);
  auto& key = Find<CDeviceKeyButtonUI>("key_1");
  TEventUI event(UiEventType::kDblClick, GetParam().at);
  key.Event(event);
  EXPECT_THAT(window.notes, ElementsAreArray(GetParam().expected));
  EXPECT_EQ(key.IsPushed(), GetParam().pushed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyDoubleClickTest,
    ::testing::Values(
        DoubleClickCase{"Inside", [](KeyPictureTest&) {}, {59, 29}, {{"dbclick", "key_1"}}, true},
        // Behaves as a plain button's second press there.
        DoubleClickCase{"JustOutside", [](KeyPictureTest&) {}, {60, 20}, {}, true},
        DoubleClickCase{"KeyDisabled",
                        [](KeyPictureTest& fixture) { fixture.Find<CDeviceKeyButtonUI>("key_1").SetEnabled(false); },
                        {50, 20},
                        {},
                        false},
        DoubleClickCase{"PanelDisabled",
                        [](KeyPictureTest& fixture) { fixture.Find<CSelectPanelUI>("picture").SetEnabled(false); },
                        {50, 20},
                        {},
                        false}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(KeyPictureTest, ReleaseAfterDoubleClickIsAClick) {
  auto& key = Find<CDeviceKeyButtonUI>("key_1");
  TEventUI down(UiEventType::kButtonDown, {50, 20});
  TEventUI up(UiEventType::kButtonUp, {50, 20});
  TEventUI twice(UiEventType::kDblClick, {50, 20});
  key.Event(down);
  key.Event(up);
  key.Event(twice);
  key.Event(up);
  EXPECT_THAT(window.notes, ElementsAre(Note{"click", "key_1"}, Note{"dbclick", "key_1"}, Note{"click", "key_1"}));
}

}  // namespace
}  // namespace brontal::testing
