// The shipped skin: every layout builds with the program's control classes,
// the main window holds the controls the controller looks up and dispatches
// on, every translated text exists in each language, and every image that a
// layout, the style sheet or the program names is there.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/control_registry.h"
#include "devices/device_tables.h"
#include "macros/key_code_table.h"
#include "macros/key_function_catalogue.h"
#include "macros/mouse_action_table.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/control_factory.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/layout_builder.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/resource_manager.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"

namespace brontal::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSkin = BRONTAL_SKIN_DIR;
const fs::path kSources = BRONTAL_SOURCE_DIR;
const fs::path kDefaultData = BRONTAL_DEFAULT_DATA_DIR;

// Attributes whose value is an image of the skin.
const std::set<std::string, std::less<>> kImageAttributes = {
    "bkimage",       "foreimage",     "normalimage",      "hotimage",     "pushedimage",
    "disabledimage", "selectedimage", "selectedhotimage", "focusedimage", "selecteddisabledimage"};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<fs::path> FilesBelow(const fs::path& folder, std::set<std::string> extensions) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && extensions.contains(entry.path().extension().string()))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<fs::path> LayoutFiles() { return FilesBelow(kSkin / "XML", {".xml"}); }

// "file='power/power.png' corner=..." or a plain path → the path.
std::string ImageFile(std::string_view value) {
  constexpr std::string_view kFileKey = "file='";
  const auto key = value.find(kFileKey);
  if (key == std::string_view::npos) return std::string(value);
  const auto start = key + kFileKey.size();
  return std::string(value.substr(start, value.find('\'', start) - start));
}

// The program's control classes that the skin may name.
std::unique_ptr<CControlFactory> ProgramFactory() {
  auto factory = std::make_unique<CControlFactory>();
  RegisterProgramControls(*factory);
  return factory;
}

LayoutResult BuildLayout(const fs::path& file) {
  const auto factory = ProgramFactory();
  return LayoutBuilder(*factory, nullptr).Build(file);
}

void ForEachControl(CControlUI& control, const std::function<void(CControlUI&)>& visit) {
  visit(control);
  if (auto* container = dynamic_cast<CContainerUI*>(&control)) {
    for (int i = 0; i < container->GetCount(); ++i) ForEachControl(*container->GetItemAt(i), visit);
  }
}

// The identifiers of a language file, as written.
std::set<std::string, std::less<>> LanguageIds(const fs::path& file) {
  pugi::xml_document document;
  EXPECT_TRUE(document.load_file(file.c_str())) << file;
  std::set<std::string, std::less<>> ids;
  for (const pugi::xml_node text : document.child("Language").children("Text")) {
    EXPECT_TRUE(ids.insert(text.attribute("id").as_string()).second)
        << file << ": " << text.attribute("id").as_string() << " twice";
    EXPECT_STRNE(text.child_value(), "") << file << ": " << text.attribute("id").as_string() << " is empty";
  }
  return ids;
}

// The language files that the default data lists.
std::vector<fs::path> LanguageFiles() {
  static const std::regex kFile(R"re("Language_file"\s*:\s*"([^"]+)")re");
  const std::string config = ReadFile(kDefaultData / "Language.config");
  std::vector<fs::path> files;
  for (auto it = std::sregex_iterator(config.begin(), config.end(), kFile); it != std::sregex_iterator(); ++it) {
    files.push_back(kSkin / (*it)[1].str());
  }
  return files;
}

TEST(SkinTest, EveryLayoutBuilds) {
  const std::vector<fs::path> layouts = LayoutFiles();
  ASSERT_FALSE(layouts.empty());
  for (const fs::path& layout : layouts) {
    const LayoutResult result = BuildLayout(layout);
    EXPECT_NE(result.root, nullptr) << result.error;
  }
}

TEST(SkinTest, IndexAndProgramTablesNameLayoutsThatBuild) {
  CResourceManager resources;
  resources.SetSkinFolder(kSkin);
  std::string error;
  ASSERT_TRUE(resources.LoadIndex("res.xml", error)) << error;
  std::vector<fs::path> named = {resources.LayoutPath("XML_MAIN"), resources.LayoutPath("XML/DeviceStrip.xml"),
                                 resources.LayoutPath(kDevicePowerLayout)};
  for (const DeviceEntryRow& row : kDeviceEntryTable) named.push_back(resources.LayoutPath(row.entry_layout));
  for (const DeviceLayoutRow& row : kDeviceLayoutTable) named.push_back(resources.LayoutPath(row.page_layout));
  for (const fs::path& layout : named) {
    const LayoutResult result = BuildLayout(layout);
    EXPECT_NE(result.root, nullptr) << layout << ": " << result.error;
  }
}

class MainLayoutTest : public ::testing::Test {
 protected:
  MainLayoutTest() {
    CResourceManager resources;
    resources.SetSkinFolder(kSkin);
    std::string error;
    EXPECT_TRUE(resources.LoadIndex("res.xml", error)) << error;
    layout_ = BuildLayout(resources.LayoutPath("XML_MAIN"));
  }

  CControlUI* Find(std::string_view name) { return CPaintManagerUI::FindSubControlByName(layout_.root.get(), name); }

  LayoutResult layout_;
};

TEST_F(MainLayoutTest, IsTheFramelessMainWindow) {
  ASSERT_NE(layout_.root, nullptr) << layout_.error;
  EXPECT_EQ(layout_.window_attributes["size"], "800,572");
  EXPECT_FALSE(layout_.window_attributes["caption"].empty());
}

TEST_F(MainLayoutTest, HoldsTheControlsTheWindowUses) {
  ASSERT_NE(layout_.root, nullptr) << layout_.error;
  for (const std::string_view name : {"root",
                                      "closebtn",
                                      "maxbtn",
                                      "restorebtn",
                                      "minbtn",
                                      "skinbtn",
                                      "gamemodebtn",
                                      "cloudbtn",
                                      "smarteyesbtn",
                                      "setbtn",
                                      "main_btn_ok",
                                      "key_set_FN_tier",
                                      "control_light_status",
                                      "nodevice_ok_btn",
                                      "main_auto_application_checkbox",
                                      "setting_progress",
                                      "main_shopping_btn",
                                      "main_url_btn",
                                      "main_reset_btn",
                                      "device_select_prev",
                                      "device_select_next",
                                      "device_select_layout",
                                      "device_power_switch",
                                      "No_device_Link",
                                      "R_light_label",
                                      "G_light_label",
                                      "B_light_label",
                                      "deng_light_slider",
                                      "deng_speed_slider",
                                      "light_combo_modeSelect",
                                      "deng_Op_tab",
                                      "key_Op_tab",
                                      "macro_Op_tab",
                                      "system_Op_tab",
                                      "cursor_Op_tab",
                                      "6533_voice_Op_tab",
                                      "magic_Op_tab",
                                      "Virtual7.1_Op_tab"}) {
    EXPECT_NE(Find(name), nullptr) << name;
  }
  for (const std::string_view name : {"R_light_slider", "G_light_slider", "B_light_slider"}) {
    const auto* slider = dynamic_cast<CSliderUI*>(Find(name));
    ASSERT_NE(slider, nullptr) << name;
    EXPECT_EQ(slider->GetMinValue(), 0);
    EXPECT_EQ(slider->GetMaxValue(), 255);
  }
}

TEST_F(MainLayoutTest, DevicePagesStartWithTheNoDevicePage) {
  ASSERT_NE(layout_.root, nullptr) << layout_.error;
  for (const std::string_view name : {"device_switch", "device_power_switch"}) {
    const auto* pages = dynamic_cast<CTabLayoutUI*>(Find(name));
    ASSERT_NE(pages, nullptr) << name;
    EXPECT_EQ(pages->GetCount(), 1) << name;
    EXPECT_EQ(pages->GetCurSel(), 0) << name;
  }
  // Hidden until the window is asked for it.
  EXPECT_FALSE(Find("restorebtn")->IsVisible());
  EXPECT_FALSE(Find("setting_progress")->IsVisible());
}

TEST_F(MainLayoutTest, OneFunctionPagePerTab) {
  ASSERT_NE(layout_.root, nullptr) << layout_.error;
  const auto* pages = dynamic_cast<CTabLayoutUI*>(Find("function_switch"));
  ASSERT_NE(pages, nullptr);
  int tabs = 0;
  ForEachControl(*layout_.root, [&](CControlUI& control) {
    if (control.GetName().ends_with("_Op_tab")) ++tabs;
  });
  EXPECT_EQ(tabs, pages->GetCount());
}

// A tab shows the page of its own panel, whatever order the pages are written in.
TEST_F(MainLayoutTest, TabsShowTheirPanels) {
  ASSERT_NE(layout_.root, nullptr) << layout_.error;
  pugi::xml_document main;
  ASSERT_TRUE(main.load_file((kSkin / "XML" / "main.xml").c_str()));
  const auto* pages = dynamic_cast<CTabLayoutUI*>(Find("function_switch"));
  ASSERT_NE(pages, nullptr);
  const std::pair<std::string_view, std::string_view> panels[] = {{"deng_Op_tab", "deng_page"},
                                                                  {"key_Op_tab", "KeySetControlItem"},
                                                                  {"6533_voice_Op_tab", "6533_eq_option_1"},
                                                                  {"magic_Op_tab", "magic_enable_option"},
                                                                  {"Virtual7.1_Op_tab", "virtual_surround_option"}};
  for (const auto& [tab, panel] : panels) {
    const std::string query = "//Option[@name='" + std::string(tab) + "']";
    const int index = main.select_node(query.c_str()).node().attribute("bindtabindex").as_int(-1);
    CControlUI* page = pages->GetItemAt(index);
    ASSERT_NE(page, nullptr) << tab;
    EXPECT_NE(CPaintManagerUI::FindSubControlByName(page, panel), nullptr) << tab << " shows page " << index;
  }
}

TEST(SkinTest, LanguagesTranslateTheSameIdentifiers) {
  const std::vector<fs::path> files = LanguageFiles();
  ASSERT_EQ(files.size(), 2U);
  EXPECT_EQ(LanguageIds(files[0]), LanguageIds(files[1]));
}

TEST(SkinTest, EveryResourceTextHasATextInEachLanguage) {
  std::set<std::string, std::less<>> used;
  for (const fs::path& layout : LayoutFiles()) {
    const LayoutResult result = BuildLayout(layout);
    ASSERT_NE(result.root, nullptr) << result.error;
    ForEachControl(*result.root, [&](CControlUI& control) {
      const auto* label = dynamic_cast<CLabelUI*>(&control);
      if (label && label->IsResourceText()) used.insert(label->CControlUI::GetText());
    });
  }
  // Texts the program sets on resource-text controls or asks for by identifier.
  used.insert({"控制灯光", "不控制灯光", "message_text_22"});
  // The lighting panel's direction options, by mode.
  used.insert({"light_set_right_to_left_text", "light_set_left_to_right_text", "light_set_clockwise_text",
               "light_set_anticlockwise_text", "light_set_down_to_up_text", "light_set_up_to_down_text",
               "light_set_outside_to_inside_text", "light_set_inside_to_outside_text"});
  // The key picture's labels and the key panel's lists: the display names of the key function catalogue.
  for (const KeyFunction& row : KeyFunctions()) used.insert(std::string(row.label_key));
  used.insert({std::string(kNoKeyLabel), std::string(kNoFunctionLabel), "IQLayer_none_text"});
  // The macro page's event rows, its notes and its messages.
  constexpr std::uint8_t kKeyboardCategory = 0x20;  // the rows a macro's key events name
  for (const KeyCodeRow& row : kKeyCodeTable)
    if (row.action[0] == kKeyboardCategory) used.insert(std::string(row.name_key));
  for (std::size_t i = 0; i < kFirstMovementRow + kMovementRows; ++i)
    used.insert(std::string(kMouseActionTable[i].name_key));
  used.insert({"macro_event_down", "macro_event_up", "macro_capture_x11", "macro_capture_evdev",
               "macro_capture_own_window", "macro_row_limit_text", "macro_not_saved_text",
               "macro_profiles_not_mended_text", "macro_import_refused_text", "macro_export_failed_text",
               "macro_capture_failed_text", "message_text_2", "message_text_4", "message_text_5", "message_text_28"});
  // The shoot page's check labels and messages.
  used.insert({"mouse_move_to_left_text", "mouse_move_to_right_text", "mouse_move_to_up_text",
               "mouse_move_to_down_text", "shoot_not_saved_text", "shoot_reset_failed_text",
               "shoot_import_refused_text", "shoot_import_shortened_text", "shoot_export_failed_text",
               "shoot_too_large_text"});
  ASSERT_GT(used.size(), 3U);
  for (const fs::path& file : LanguageFiles()) {
    const auto ids = LanguageIds(file);
    for (const std::string& id : used) EXPECT_TRUE(ids.contains(id)) << file << " has no text for " << id;
  }
}

// Every image the skin refers to, with where the reference is.
std::map<std::string, std::string> SkinImageReferences() {
  std::map<std::string, std::string> images;
  for (const fs::path& layout : LayoutFiles()) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_file(layout.c_str())) << layout;
    for (const pugi::xpath_node found : document.select_nodes("//*")) {
      for (const pugi::xml_attribute attribute : found.node().attributes()) {
        if (kImageAttributes.contains(attribute.name()) && *attribute.value()) {
          images.emplace(ImageFile(attribute.value()), layout.filename().string());
        }
      }
    }
  }
  static const std::regex kUrl(R"re(url\(\s*["']?([^"')]+)["']?\s*\))re");
  const std::string sheet = ReadFile(kSkin / "style.qss");
  for (auto it = std::sregex_iterator(sheet.begin(), sheet.end(), kUrl); it != std::sregex_iterator(); ++it) {
    images.emplace((*it)[1].str(), "style.qss");
  }
  return images;
}

// Image names in the program's string literals ("power/power.png" or
// "file='power/power.png'").
std::map<std::string, std::string> ProgramImageReferences() {
  static const std::regex kLiteral(R"re("(?:file=')?([A-Za-z0-9_./-]+\.png)'?")re");
  std::map<std::string, std::string> images;
  for (const fs::path& source : FilesBelow(kSources, {".cpp", ".h"})) {
    const std::string text = ReadFile(source);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kLiteral); it != std::sregex_iterator(); ++it) {
      images.emplace((*it)[1].str(), fs::relative(source, kSources).string());
    }
  }
  return images;
}

TEST(SkinTest, EveryNamedImageExists) {
  const auto skin = SkinImageReferences();
  const auto program = ProgramImageReferences();
  EXPECT_GT(skin.size(), 10U);
  EXPECT_GT(program.size(), 10U);
  for (const auto& [image, where] : skin) {
    EXPECT_TRUE(fs::is_regular_file(kSkin / image)) << where << " names " << image << ", missing below skin/";
  }
  // The program may also compose a path from folder names and a file name.
  std::set<std::string, std::less<>> file_names;
  for (const fs::path& file : FilesBelow(kSkin, {".png"})) file_names.insert(file.filename().string());
  for (const auto& [image, where] : program) {
    const bool found =
        image.find('/') == std::string::npos ? file_names.contains(image) : fs::is_regular_file(kSkin / image);
    EXPECT_TRUE(found) << where << " names " << image << ", missing below skin/";
  }
}

TEST(SkinTest, ImagesStaySmall) {
  for (const fs::path& image : FilesBelow(kSkin, {".png"})) {
    EXPECT_LT(fs::file_size(image), 8U * 1024U) << image;
  }
}

}  // namespace
}  // namespace brontal::testing
