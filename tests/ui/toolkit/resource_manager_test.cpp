#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "test_window.h"
#include "ui/toolkit/label.h"

namespace brontal::testing {
namespace {

using ::testing::HasSubstr;

TEST_F(ToolkitTest, ResourceTextLabelsShowTheLanguage) {
  auto& title = Find<CLabelUI>("title_label");
  EXPECT_EQ(title.GetText(), "title_text");  // no language loaded yet
  std::string error;
  ASSERT_TRUE(toolkit.Resources().LoadLanguage("lang_en.xml", error)) << error;
  EXPECT_EQ(title.GetText(), "Lighting");
  ASSERT_TRUE(toolkit.Resources().LoadLanguage("lang_de.xml", error)) << error;
  EXPECT_EQ(title.GetText(), "Beleuchtung");
  title.SetResourceText(false);
  EXPECT_EQ(title.GetText(), "title_text");
}

TEST_F(ToolkitTest, TranslateThroughAHiddenLabel) {
  std::string error;
  ASSERT_TRUE(toolkit.Resources().LoadLanguage("lang_en.xml", error)) << error;
  auto& label = Find<CLabelUI>("title_label");
  label.SetVisible(false);
  label.SetText("message_text_27");
  EXPECT_EQ(label.GetText(), "Delete this profile?");
  EXPECT_EQ(toolkit.Resources().Translate("message_text_99"), "message_text_99");
}

TEST(ResourceManagerTest, FailedLoadKeepsWhatWasThere) {
  CResourceManager resources;
  resources.SetSkinFolder(UI_TEST_DATA);
  std::string error;
  ASSERT_TRUE(resources.LoadLanguage("lang_en.xml", error));
  EXPECT_FALSE(resources.LoadLanguage("missing.xml", error));
  EXPECT_THAT(error, HasSubstr("missing.xml"));
  EXPECT_FALSE(resources.LoadLanguage("res.xml", error));  // not a language file
  EXPECT_THAT(error, HasSubstr("res.xml:1: the root element must be <Language>"));
  EXPECT_EQ(resources.Translate("title_text"), "Lighting");
}

TEST(ResourceManagerTest, LayoutsByIndexNameOrFileName) {
  CResourceManager resources;
  resources.SetSkinFolder("/skin");
  std::string error;
  EXPECT_EQ(resources.LayoutPath("XML_MAIN"), "/skin/XML_MAIN");
  resources.SetSkinFolder(UI_TEST_DATA);
  ASSERT_TRUE(resources.LoadIndex("res.xml", error)) << error;
  EXPECT_EQ(resources.LayoutPath("XML_PANEL"), std::filesystem::path(UI_TEST_DATA) / "panel.xml");
  EXPECT_EQ(resources.LayoutPath("dialog.xml"), std::filesystem::path(UI_TEST_DATA) / "dialog.xml");
}

TEST_F(ToolkitTest, ReloadTextRedrawsResourceTextControls) {
  CountingHost host;
  toolkit.SetHost(&host);
  toolkit.ReloadText();
  toolkit.SetHost(nullptr);
  EXPECT_THAT(host.changed, ::testing::ElementsAre("title_label"));
}

}  // namespace
}  // namespace brontal::testing
