// The settings window's update page against a real local update service.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/set_wnd.h"
#include "app/web_pages.h"
#include "helpers/private_user_folders.h"
#include "helpers/pump_until.h"
#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"
#include "main_window_fixture.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/manual_message_loop.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/toolkit.h"
#include "update/local_update_service.h"
#include "update/package_handover.h"
#include "update/without_proxy_variables.h"

namespace brontal {
namespace {

constexpr const char* kFirmwareKey = "DRUMO_2_KX440_T4_20737";

UpdateItem Firmware() {
  return {true, 0x0105, "", "KX440", "KX330", "", UpdateIdentity{"DRUMO", 2, "KX440", "T4", 0x5101}};
}
UpdateItem Program() { return {false, 10, "0.1.0", "ALL", "Brontal Driver", "0.1.0", std::nullopt}; }

class UpdatePageTest : public ::testing::Test {
 protected:
  UpdatePageTest() {
    toolkit_.Resources().SetSkinFolder(BRONTAL_SKIN_DIR);
    std::string error;
    if (!toolkit_.Resources().LoadIndex("res.xml", error)) throw std::runtime_error(error);
    toolkit_.Resources().SetLanguage("en");
    if (!toolkit_.Resources().LoadLanguage(std::string(BRONTAL_SKIN_DIR) + "/lang/en.xml", error))
      throw std::runtime_error(error);
  }

  std::unique_ptr<CSetWnd> Open(const std::string& service_url) {
    test::ScopedEnvironment url(std::map<std::string, std::string>{{"BRONTAL_UPDATE_URL", service_url}});
    auto window = std::make_unique<CSetWnd>(toolkit_, 0);
    window->SetUpdateItems({Program(), Firmware()}, &desktop_);
    if (!window->Create(nullptr, "SetWnd")) throw std::runtime_error(window->GetCreateError());
    return window;
  }

  bool PumpUntilSettled(const CSetWnd& window) {
    return test::PumpUntil(loop_, [&] { return window.update_page()->state() != PageState::kChecking; });
  }

  static CControlUI& Control(CSetWnd& window, std::string_view name) {
    CControlUI* control = window.GetPaintManager().FindControl(name);
    if (!control) throw std::runtime_error("no control " + std::string(name));
    return *control;
  }
  // The resource identifier a resource-text label holds.
  static std::string TextId(CControlUI& label) { return label.CControlUI::GetText(); }
  CControlUI& RowControl(CSetWnd& window, int row, std::string_view name) {
    auto& list = dynamic_cast<CListUI&>(Control(window, "update_list"));
    return *CPaintManagerUI::FindSubControlByName(list.GetItemAt(row), name);
  }

  test::WithoutProxyVariables without_proxy_variables_;
  test::PrivateUserFolders user_folders_;
  test::TemporaryFolder cache_;
  test::LocalUpdateService service_;
  test::ScopedEnvironment environment_{std::map<std::string, std::string>{
      {"XDG_CACHE_HOME", cache_.path().string()}, {"SSL_CERT_FILE", service_.cert_file().string()}}};
  ManualMessageLoop loop_;
  Toolkit toolkit_{loop_};
  RecordingDesktop desktop_;
};

TEST_F(UpdatePageTest, OffersConfirmsDownloadsAndHandsOverWithoutRunning) {
  service_.AddFile("t4.bin", "abc");
  service_.SetAnswer(kFirmwareKey,
                     R"({"name":"../T4","version":"0106","path":")" + service_.HttpsUrl("/files/t4.bin") + R"("})");
  auto window = Open(service_.HttpsUrl("/api/"));
  ASSERT_TRUE(PumpUntilSettled(*window));

  EXPECT_EQ(window->update_page()->state(), PageState::kOffered);
  EXPECT_EQ(TextId(Control(*window, "Update_Status_text")), "HaveUpdateInfoText");
  EXPECT_FALSE(Control(*window, "update_status_ring").IsVisible());
  ASSERT_EQ(dynamic_cast<CListUI&>(Control(*window, "update_list")).GetCount(), 2);
  EXPECT_EQ(dynamic_cast<CListUI&>(Control(*window, "update_list")).GetItemAt(1)->GetFixedHeight(), 40);
  struct Shown {
    const char* name;
    const char* installed;
    const char* offered;
    const char* status;
    bool checkable;
  };
  const Shown shown[] = {{"AP", "V0.1.0", "", "UpdateOkText", false},
                         {"KX330", "V0105", "V0106", "NeedUpdateText", true}};
  for (int row = 0; row < 2; ++row) {
    SCOPED_TRACE(row);
    auto& check = dynamic_cast<CCheckBoxUI&>(RowControl(*window, row, "check_name_select"));
    EXPECT_EQ(check.GetText(), shown[row].name);
    EXPECT_EQ(check.IsEnabled(), shown[row].checkable);
    EXPECT_EQ(check.IsSelected(), shown[row].checkable);
    EXPECT_EQ(RowControl(*window, row, "OldRev").GetText(), shown[row].installed);
    EXPECT_EQ(RowControl(*window, row, "updateRev").GetText(), shown[row].offered);
    EXPECT_EQ(TextId(RowControl(*window, row, "update_status_text")), shown[row].status);
  }

  // The download button follows the check boxes.
  CControlUI& download = Control(*window, "update_fw_and_ap");
  auto& check = dynamic_cast<CCheckBoxUI&>(RowControl(*window, 1, "check_name_select"));
  for (const bool checked : {true, false, true}) {
    SCOPED_TRACE(checked);
    EXPECT_EQ(check.IsSelected(), checked);
    EXPECT_EQ(download.IsVisible(), checked);
    EXPECT_EQ(download.IsEnabled(), checked);
    check.Activate();
    loop_.RunUntilIdle();
  }
  check.Activate();  // three clicks from checked: checked again
  loop_.RunUntilIdle();
  ASSERT_TRUE(download.IsVisible());

  ASSERT_TRUE(download.Activate());
  EXPECT_EQ(dynamic_cast<CTabLayoutUI&>(Control(*window, "get_update_tab_layout")).GetCurSel(), 1);
  ASSERT_TRUE(Control(*window, "update_OK_btn").Activate());
  EXPECT_EQ(dynamic_cast<CTabLayoutUI&>(Control(*window, "get_update_tab_layout")).GetCurSel(), 0);
  ASSERT_TRUE(test::PumpUntil(
      loop_, [&] { return window->update_page()->rows()[1].state == RowState::kHandedOver; },
      std::chrono::milliseconds(5000)));

  const std::filesystem::path folder = cache_.path() / "Brontal Driver" / "UpdateData";
  const std::filesystem::path file = folder / "_T4.exe";
  EXPECT_EQ(std::filesystem::file_size(file), 3u);
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::owner_exec,
            std::filesystem::perms::none);
  EXPECT_EQ(TextId(RowControl(*window, 1, "update_status_text")), "DownloadOkText");
  EXPECT_TRUE(RowControl(*window, 1, "update_status_ok").IsVisible());
  EXPECT_FALSE(RowControl(*window, 1, "check_name_select").IsEnabled());
  EXPECT_TRUE(Control(*window, "update_tishi_layout").IsVisible());
  EXPECT_THAT(Control(*window, "update_handover_files").GetText(),
              ::testing::HasSubstr("_T4.exe  3 bytes\nSHA-256 "
                                   "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
  EXPECT_THAT(desktop_.opened_urls, ::testing::ElementsAre(FolderUrl(folder)));
  EXPECT_EQ(window->update_page()->state(), PageState::kOffered);

  // A package is handed over once: confirming again fetches nothing.
  Control(*window, "update_OK_btn").Activate();
  loop_.RunUntilIdle();
  EXPECT_EQ(window->update_page()->rows()[1].state, RowState::kHandedOver);
  EXPECT_EQ(desktop_.opened_urls.size(), 1u);

  ASSERT_TRUE(Control(*window, "homepage_btn").Activate());
  EXPECT_EQ(desktop_.opened_urls.back(), kHomePage);

  ASSERT_TRUE(Control(*window, "set_in_update_wnd_btn").Activate());
  EXPECT_FALSE(Control(*window, "update_tishi_layout").IsVisible());
  EXPECT_EQ(window->GetRect().Width(), 630);
  EXPECT_EQ(window->GetRect().Height(), 500);
}

TEST_F(UpdatePageTest, WithoutTheServiceEveryRowIsItsOwnAndNoDateIsRecorded) {
  auto window = Open("http://127.0.0.1:1/api/");  // nothing listens on port 1
  ASSERT_TRUE(PumpUntilSettled(*window));
  EXPECT_EQ(window->update_page()->state(), PageState::kNoService);
  EXPECT_EQ(TextId(Control(*window, "Update_Status_text")), "NoUpdateInfoText");
  EXPECT_FALSE(Control(*window, "update_fw_and_ap").IsVisible());
  for (const UpdateRow& row : window->update_page()->rows()) EXPECT_EQ(row.state, RowState::kCurrent);
  EXPECT_EQ(TextId(RowControl(*window, 1, "update_status_text")), "UpdateOkText");
  EXPECT_FALSE(
      std::filesystem::exists(user_folders_.path() / "XDG_DATA_HOME" / "Brontal Driver" / "updatetime.config"));
}

TEST_F(UpdatePageTest, ClosingTheWindowStopsADownloadWithinASecond) {
  service_.AddFile("slow.bin", std::string(1 << 20, 'x'));
  service_.SetAnswer(kFirmwareKey,
                     R"({"name":"T4","version":"0106","path":")" + service_.HttpsUrl("/slow/slow.bin") + R"("})");
  auto window = Open(service_.HttpsUrl("/api/"));
  ASSERT_TRUE(PumpUntilSettled(*window));
  Control(*window, "update_fw_and_ap").Activate();
  Control(*window, "update_OK_btn").Activate();
  ASSERT_TRUE(test::PumpUntil(loop_, [&] { return window->update_page()->rows()[1].percent > 0; }));
  EXPECT_EQ(TextId(Control(*window, "Update_Status_text")), "ISUpdateINGText");
  EXPECT_TRUE(RowControl(*window, 1, "update_progress_value").IsVisible());

  const auto start = std::chrono::steady_clock::now();
  window->Close();
  loop_.RunUntilIdle();
  window.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_TRUE(std::filesystem::is_empty(cache_.path() / "Brontal Driver" / "UpdateData"));
}

// Each opening of the settings window asks about the program and what is plugged in then.
TEST_F(MainWindowTest, TheSettingsWindowListsTheProgramAndTheAttachedDevices) {
  test::ScopedEnvironment nowhere(
      std::map<std::string, std::string>{{"BRONTAL_UPDATE_URL", "http://127.0.0.1:1/api/"}});
  std::vector<std::string> rows;
  loop_.Post([&] {
    for (WindowImplBase* window : toolkit_.Windows()) {
      if (window->GetWindowClassName() != "SetWnd") continue;
      for (const UpdateRow& row : static_cast<CSetWnd*>(window)->update_page()->rows())
        rows.push_back(row.name + " " + row.installed_text);
      window->Close();
    }
  });
  window_.SendMessage(WindowMessage(kMsgOpenSettings));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "AP V" BRONTAL_VERSION);
  EXPECT_THAT(std::vector<std::string>(rows.begin() + 1, rows.end()),
              ::testing::UnorderedElementsAre("KX320 V0110", "MS V0110"));
}

}  // namespace
}  // namespace brontal
