#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <thread>

#include "app/autostart_entry.h"
#include "app/bus/bus_endpoint.h"
#include "app/bus/local_bus.h"
#include "app/bus/single_instance_lock.h"
#include "app/desktop_services.h"
#include "app/main_window_fixture.h"
#include "app/web_pages.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_controls.h"
#include "devices/device_option_ui.h"
#include "helpers/private_user_folders.h"
#include "helpers/pump_until.h"
#include "helpers/trace_recorder.h"
#include "profiles/json_document.h"
#include "profiles/language_settings.h"
#include "profiles/skin_image_setting.h"
#include "sdk_server/sdk_server_setting.h"
#include "sdk_server/sdk_service.h"
#include "support/user_folders.h"
#include "transport/in_process_simulation.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/manual_message_loop.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/registered_messages.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/toolkit.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;

TEST_F(MainWindowTest, TheWindowFirstShowsAfterDiscoveryWithTheDevicesListed) {
  // Discovery's first pass may already have been handled by now, so what the
  // window was like at each step is taken as it happened.
  EXPECT_EQ(window_.visible_after_init, false);
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  EXPECT_EQ(devices_at_first_raise_, 2u);
  for (CCorvaneUSBDevice* device : window_.roster().devices()) EXPECT_TRUE(device->entry()->IsVisible());
  EXPECT_FALSE(Control("No_device_Link").IsVisible());
  EXPECT_EQ(desktop_.raised, 1);
}

TEST_F(MainWindowTest, CloseHidesToTheTrayAndASecondStartShowsTheWindowAgain) {
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  ASSERT_TRUE(Control("closebtn").Activate());
  EXPECT_FALSE(window_.IsVisible());
  for (CCorvaneUSBDevice* device : window_.roster().devices()) EXPECT_TRUE(device->window_hidden());

  ASSERT_TRUE(AskRunningInstanceToShow(bus_, kApplicationName, kApplicationName));
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  EXPECT_EQ(desktop_.raised, 2);
  for (CCorvaneUSBDevice* device : window_.roster().devices()) EXPECT_FALSE(device->window_hidden());
}

TEST_F(MainWindowTest, WithoutATrayClosingQuitsInsteadOfHiding) {
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  desktop_.tray = false;
  Control("closebtn").Activate();
  loop_.RunUntilIdle();
  EXPECT_FALSE(window_.IsWindow());
}

// Started with the session: the first show goes to the tray, or without a
// tray to a minimised window; a second start then raises it as usual.
class MinimizedStartTest : public MainWindowTest, public ::testing::WithParamInterface<bool> {
 protected:
  MinimizedStartTest()
      : MainWindowTest([this] {
          window_.set_start_minimized(true);
          desktop_.tray = GetParam();
        }) {}
  bool AllDevicesHidden() {
    const std::vector<CCorvaneUSBDevice*> devices = window_.roster().devices();
    return devices.size() == 2 && std::all_of(devices.begin(), devices.end(),
                                              [](const CCorvaneUSBDevice* device) { return device->window_hidden(); });
  }
};

TEST_P(MinimizedStartTest, TheFirstShowStaysDownUntilASecondStart) {
  const bool tray = GetParam();
  ASSERT_TRUE(PumpUntil([&] { return tray ? AllDevicesHidden() : desktop_.minimized == 1; }));
  loop_.RunUntilIdle();
  EXPECT_EQ(window_.IsVisible(), !tray);
  EXPECT_EQ(desktop_.minimized, tray ? 0 : 1);
  EXPECT_EQ(desktop_.raised, 0);

  ASSERT_TRUE(AskRunningInstanceToShow(bus_, kApplicationName, kApplicationName));
  ASSERT_TRUE(PumpUntil([&] { return desktop_.raised == 1; }));
  EXPECT_TRUE(window_.IsVisible());
  for (CCorvaneUSBDevice* device : window_.roster().devices()) EXPECT_FALSE(device->window_hidden());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutTray, MinimizedStartTest, ::testing::Bool());

TEST_F(MainWindowTest, TheShopAndHomePageButtonsOpenTheirPagesInTheBrowser) {
  Control("main_shopping_btn").Activate();
  Control("main_url_btn").Activate();
  // The about window's home page button too, while it runs modally.
  loop_.Post([&] {
    for (WindowImplBase* about : toolkit_.Windows()) {
      if (about->GetWindowClassName() != "AboutWnd") continue;
      about->GetPaintManager().FindControl("homepage_btn")->Activate();
      about->Close();
    }
  });
  window_.SendMessage(WindowMessage(kMsgShowAbout));
  EXPECT_EQ(desktop_.opened_urls,
            (std::vector<std::string>{std::string(kShopPage), std::string(kHomePage), std::string(kHomePage)}));
}

TEST_F(MainWindowTest, TogglingHostLightingTwiceAnnouncesBothStatesAndEndsWhereItStarted) {
  ASSERT_TRUE(PumpUntil([&] { return Announcements().size() == 1; }));  // (1, 1) at start
  const bool at_start = window_.host_lighting();
  Control("control_light_status").Activate();
  EXPECT_EQ(Control("control_light_status").GetText(), CMainWnd::kHostLightingOffText);
  Control("control_light_status").Activate();
  ASSERT_TRUE(PumpUntil([&] { return Announcements().size() == 3; }));
  EXPECT_EQ(Announcements(), (std::vector<std::intptr_t>{1, 0, 1}));
  EXPECT_EQ(window_.host_lighting(), at_start);
  EXPECT_EQ(Control("control_light_status").GetText(), CMainWnd::kHostLightingOnText);
}

TEST_F(MainWindowTest, KeyButtonsReachTheKeyAssignmentRouteWithTheirNumber) {
  std::vector<RoutedNotify> routed;
  window_.SetRouteHandler(Route::kKeyAssignment, [&](const RoutedNotify& r, TNotifyUI&) { routed.push_back(r); });
  Control("key_12").Activate();
  Control("key_butt_keysave").Activate();
  ASSERT_EQ(routed.size(), 2u);
  EXPECT_EQ(routed[0].name, "key_");
  EXPECT_EQ(routed[0].index, 12);
  EXPECT_EQ(routed[1].name, "key_butt_keysave");
  EXPECT_EQ(routed[1].index, -1);
}

TEST_F(MainWindowTest, UnbuiltRoutesShowInTheTraceAndHookMessagesCarryNothing) {
  test::TraceRecorder trace;
  auto not_built = [&] { return trace.CountStartingWith("not built yet"); };
  window_.SendMessage(WindowMessage(kWmPowerBroadcast, kPbtSuspend, 0));
  EXPECT_FALSE(window_.hooks_enabled());
  window_.SendMessage(WindowMessage(kWmPowerBroadcast, kPbtResume, 0));
  EXPECT_TRUE(window_.hooks_enabled());
  // Recordings take their input from the capture backends.
  window_.SendMessage(WindowMessage(RegisterWindowMessage("WM_HOOK_KEY_KBMACRO_MSG"), 0, 0));
  EXPECT_EQ(not_built(), 0);
  window_.SendMessage(WindowMessage(kMsgGlobalHook, 1, 0));  // recordings need no hook library
  EXPECT_EQ(not_built(), 1);
  Control("key_12").Activate();  // a key of the picture is the device's
  EXPECT_EQ(not_built(), 1);
}

TEST_F(MainWindowTest, RgbSlidersLabelTheirValue) {
  auto& slider = dynamic_cast<CSliderUI&>(Control("R_light_slider"));
  slider.UserDrag(200);
  slider.UserRelease(200);
  EXPECT_EQ(Control("R_light_label").GetText(), "R 200");
}

TEST_F(MainWindowTest, TheTestToolGetsTheDeviceListInItsExactLayout) {
  const std::vector<std::uint8_t> payload = CMainWnd::DeviceReportPayload();
  ASSERT_EQ(payload.size(), 1024u);
  auto value = [&](std::size_t i) {
    return static_cast<std::uint32_t>(payload[4 * i] | payload[4 * i + 1] << 8 | payload[4 * i + 2] << 16 |
                                      payload[4 * i + 3] << 24);
  };
  const std::uint32_t head[] = {2, 3,      0,      2, 7,      0x320F, 0x2003, 2,      0,      0, 1,      0x320F, 0x1004,
                                3, 0x0C76, 0x1630, 7, 0x320F, 0x50EB, 1,      0x320F, 0x5100, 1, 0x320F, 0x5101, 1};
  for (std::size_t i = 0; i < std::size(head); ++i) EXPECT_EQ(value(i), head[i]) << i;
  for (std::size_t i = std::size(head); i < 256; ++i) EXPECT_EQ(value(i), 0u) << i;

  // Asked over the bus, it goes to the window titled "RaziZeze".
  ListenerWindow tool(toolkit_);
  ASSERT_TRUE(tool.Create(nullptr, "RaziZeze"));
  tool.GetPaintManager().AllowExternalMessage(kWmCopyData);
  std::string error;
  auto endpoint = BusEndpoint::Open(bus_, "RaziZeze", tool, error);
  ASSERT_TRUE(endpoint) << error;
  ASSERT_TRUE(bus_.PostTo(kApplicationName, WindowMessage(messages_.device_report_request, 0, 0)));
  ASSERT_TRUE(PumpUntil([&] { return !tool.received.empty(); }));
  EXPECT_EQ(tool.received[0].copy_kind, CMainWnd::kDeviceReportKind);
  EXPECT_EQ(tool.received[0].copy_data, payload);
}

TEST_F(MainWindowTest, TheTrayMenusAboutItemShowsTheVersionModally) {
  std::string version;
  loop_.Post([&] {
    for (WindowImplBase* window : toolkit_.Windows()) {
      if (window->GetWindowClassName() != "AboutWnd") continue;
      EXPECT_TRUE(window->IsModal());
      version = window->GetPaintManager().FindControl("software_ver_label")->GetText();
      window->Close();
    }
  });
  window_.SendMessage(WindowMessage(kMsgShowAbout));
  EXPECT_EQ(version, toolkit_.Resources().Translate("software_rev_text") + BRONTAL_VERSION);
}

// The keyboard's page, its profile selector and the message boxes the
// profile buttons ask: each answered with `answers` in turn.
class ProfileButtonsTest : public MainWindowTest {
 protected:
  ProfileButtonsTest() {
    EXPECT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
    for (CCorvaneUSBDevice* device : window_.roster().devices()) {
      if (device->family() != DeviceFamily::kKeyboard) continue;
      window_.roster().ShowEntry(*device->entry());
      panel_ = device->profile_panel();
    }
    if (!panel_) throw std::runtime_error("the keyboard page has no profile selector");
    panel_->ShowProfileMenu(true);  // as the spread button leaves it
  }

  void Press(std::string_view button) {
    if (!answers.empty()) AnswerNextBox();
    ASSERT_TRUE(dynamic_cast<CButtonUI&>(*CPaintManagerUI::FindSubControlByName(panel_, button)).Activate());
    loop_.RunUntilIdle();
  }
  void AnswerNextBox() {
    loop_.Post([this] {
      for (WindowImplBase* box : toolkit_.Windows()) {
        if (box->GetWindowClassName() != "MsgWnd") continue;
        asked.push_back(box->GetPaintManager().FindControl("MessageText")->GetText());
        const std::string answer = answers.front();
        answers.erase(answers.begin());
        dynamic_cast<CButtonUI&>(*box->GetPaintManager().FindControl(answer)).Activate();
      }
    });
  }
  std::string Text(std::string_view id) { return toolkit_.Resources().Translate(id); }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Json::Value& entry : panel_->ListDocument()["profilelist"])
      names.push_back(entry["profilename"].asString());
    return names;
  }

  CDeviceProfileUI* panel_ = nullptr;
  std::vector<std::string> answers;  // the button each box is answered with
  std::vector<std::string> asked;    // the text of each box
};

TEST_F(ProfileButtonsTest, ANewDeviceHasFourProfilesAndEachButtonAsksBeforeItActs) {
  EXPECT_EQ(Names(), (std::vector<std::string>{"profile1", "profile2", "profile3", "profile4"}));
  struct Case {
    std::string button, answer, question;
    std::vector<std::string> names;
  };
  const std::vector<Case> cases = {
      {"device_add_btn", "cancel_btn", "message_text_27", {"profile1", "profile2", "profile3", "profile4"}},
      {"device_add_btn",
       "confirm_btn",
       "message_text_27",
       {"profile1", "profile2", "profile3", "profile4", "profile5"}},
      {"device_copy_btn", "closebtn", "message_text_26", {"profile1", "profile2", "profile3", "profile4", "profile5"}},
      {"device_copy_btn",
       "confirm_btn",
       "message_text_26",
       {"profile1", "profile2", "profile3", "profile4", "profile5", "profile1 copy"}},
      {"device_sub_btn",
       "cancel_btn",
       "message_text_29",
       {"profile1", "profile2", "profile3", "profile4", "profile5", "profile1 copy"}},
      {"device_sub_btn",
       "confirm_btn",
       "message_text_29",
       {"profile2", "profile3", "profile4", "profile5", "profile1 copy"}},
  };
  for (const Case& c : cases) {
    answers = {c.answer};
    asked.clear();
    Press(c.button);
    EXPECT_EQ(asked, std::vector<std::string>{Text(c.question)}) << c.button;
    EXPECT_EQ(Names(), c.names) << c.button << " answered with " << c.answer;
  }
  EXPECT_EQ(panel_->SelectedIndex(), 0);  // deleting the first selects the new first
}

TEST_F(ProfileButtonsTest, RenamingToATakenOrBlankNameTellsTheUserAndChangesNothing) {
  for (const auto& [name, notice] :
       {std::pair<std::string, std::string>{"PROFILE2", "message_text_5"}, {"   ", "message_text_25"}}) {
    panel_->SetNameEditText(name);
    answers = {"confirm_btn"};
    asked.clear();
    Press("device_profile_edit_save_btn");
    EXPECT_EQ(asked, std::vector<std::string>{Text(notice)}) << "'" << name << "'";
    EXPECT_EQ(Names()[0], "profile1");
  }
  panel_->SetNameEditText("Shooter");
  asked.clear();
  Press("device_profile_edit_save_btn");
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(Names()[0], "Shooter");
}

TEST_F(ProfileButtonsTest, ExportAndImportGoThroughTheFileChooser) {
  desktop_.chosen_file = user_folders_.path() / "Game.json";
  Press("device_export_btn");
  ASSERT_TRUE(std::filesystem::exists(user_folders_.path() / "Game.json"));

  desktop_.chosen_file = user_folders_.path() / "Game.json";
  Press("device_import_btn");
  EXPECT_EQ(Names().back(), "Game");
  EXPECT_EQ(Names().size(), 5u);

  desktop_.chosen_file.clear();  // the user cancels
  Press("device_import_btn");
  Press("device_export_btn");
  EXPECT_EQ(Names().size(), 5u);
}

TEST_F(ProfileButtonsTest, AProfilePickedInTheListIsSelectedAfterAPause) {
  auto& list = dynamic_cast<CComboUI&>(*CPaintManagerUI::FindSubControlByName(panel_, "device_profile_combo"));
  ASSERT_TRUE(list.UserSelectItem(2));
  loop_.AdvanceBy(CMainWnd::kProfilePickDelay - 1ms);
  EXPECT_EQ(panel_->ListDocument()["profileselect"].asInt(), 0);
  loop_.AdvanceBy(1ms);
  EXPECT_EQ(panel_->ListDocument()["profileselect"].asInt(), 2);
  EXPECT_EQ(panel_->SelectedUUID(), panel_->ListDocument()["profilelist"][2]["profileUUID"].asString());
}

TEST_F(ProfileButtonsTest, ResetRewritesTheProfilesOnlyWhenConfirmed) {
  const std::filesystem::path first = panel_->ProfileFilePath(0);
  Json::Value changed = ReadJsonDocument(first);
  changed["Device"][0]["LightInfo"] = "changed by the user";
  ASSERT_TRUE(WriteJsonDocument(first, changed));
  for (const auto& [answer, kept] : {std::pair<std::string, bool>{"cancel_btn", true}, {"confirm_btn", false}}) {
    answers = {answer};
    Press("device_reset_btn");
    EXPECT_EQ(ReadJsonDocument(first)["Device"][0]["LightInfo"] == "changed by the user", kept) << answer;
  }
  EXPECT_EQ(Names()[0], "profile1");
}

TEST_F(ProfileButtonsTest, TheSpreadButtonClosesAndOpensTheProfileMenu) {
  Press("profile_fun_spread_btn");
  EXPECT_FALSE(panel_->IsProfileMenuShown());
  Press("profile_fun_spread_btn");
  EXPECT_TRUE(panel_->IsProfileMenuShown());
}

// The skin frame opened from the skin button, and what its choices leave on
// the window and in "main.ini".
class SkinFrameTest : public MainWindowTest {
 protected:
  SkinFrameTest() {
    skin_button_ = &Control("skinbtn");
    skin_button_->SetPos({700, 4, 736, 36});  // where the view laid it out
    skin_button_->Activate();
    for (WindowImplBase* window : toolkit_.Windows())
      if (window->GetWindowClassName() == "SkinFrame") frame_ = window;
    if (!frame_) throw std::runtime_error("the skin button opened no frame");
  }

  // The frame's control of that name whose user data or colour is `which`.
  void Click(std::string_view name, const std::string& which = {}) {
    std::vector<CControlUI*> found;
    std::function<void(CControlUI*)> walk = [&](CControlUI* control) {
      if (control->GetName() == name) found.push_back(control);
      if (auto* container = dynamic_cast<CContainerUI*>(control))
        for (int i = 0; i < container->GetCount(); ++i) walk(container->GetItemAt(i));
    };
    walk(frame_->GetPaintManager().GetRoot());
    for (CControlUI* control : found) {
      if (!which.empty() && control->GetUserData() != which) continue;
      control->SendNotify(notify::kClick);
      return;
    }
    FAIL() << "no " << name << " " << which;
  }
  CControlUI& Root() { return Control("root"); }

  CControlUI* skin_button_ = nullptr;
  WindowImplBase* frame_ = nullptr;
};

TEST_F(SkinFrameTest, OpensUnderTheSkinButtonWithTheRightEdgesInLine) {
  const Rect& frame = frame_->GetRect();
  EXPECT_EQ(frame.right, window_.GetRect().left + 736);
  EXPECT_EQ(frame.top, window_.GetRect().top + 36);
  EXPECT_TRUE(frame_->IsVisible());
}

TEST_F(SkinFrameTest, OnlyTheSkinsImagesAndTheResetAreRemembered) {
  Click("skin_image_btn", "backgrounds/ember.png");
  EXPECT_EQ(Root().GetBkImage(), "backgrounds/ember.png");
  EXPECT_EQ(ReadSkinImage(), (SkinImageChoice{true, "backgrounds/ember.png"}));

  Click("skin_color_btn");
  EXPECT_EQ(Root().GetBkColor(), 0xFF15171Cu);
  EXPECT_EQ(Root().GetBkImage(), "");
  EXPECT_EQ(ReadSkinImage(), (SkinImageChoice{true, "backgrounds/ember.png"}));

  desktop_.chosen_file = "/home/someone/Pictures/mine.png";
  Click("skin_Custom");
  EXPECT_EQ(Root().GetBkImage(), "/home/someone/Pictures/mine.png");
  EXPECT_EQ(Root().GetBkColor(), 0u);
  EXPECT_EQ(ReadSkinImage(), (SkinImageChoice{true, "backgrounds/ember.png"}));

  desktop_.chosen_file.clear();  // cancelled: nothing changes
  Click("skin_Custom");
  EXPECT_EQ(Root().GetBkImage(), "/home/someone/Pictures/mine.png");

  Click("skin_reset");
  EXPECT_EQ(Root().GetBkImage(), "common/background.png");
  EXPECT_EQ(ReadSkinImage(), (SkinImageChoice{false, "common/background.png"}));
}

TEST_F(SkinFrameTest, TheFileChooserHidesTheFrameWhichClosesAfterTheChoice) {
  desktop_.chosen_file = "/home/someone/Pictures/mine.png";
  desktop_.while_choosing = [&] { EXPECT_FALSE(frame_->IsVisible()); };
  Click("skin_Custom");
  loop_.RunUntilIdle();
  EXPECT_EQ(Root().GetBkImage(), "/home/someone/Pictures/mine.png");
  EXPECT_FALSE(frame_->IsWindow());
}

TEST_F(SkinFrameTest, AFrameClosedWhileTheChooserIsOpenChangesNothing) {
  desktop_.chosen_file = "/home/someone/Pictures/mine.png";
  desktop_.while_choosing = [&] {
    frame_->Close();
    loop_.RunUntilIdle();  // as the chooser's own event loop would
  };
  Click("skin_Custom");
  EXPECT_EQ(Root().GetBkImage(), "");
}

TEST_F(SkinFrameTest, ThePageButtonsSwitchBetweenImagesAndColours) {
  auto& pages = dynamic_cast<CTabLayoutUI&>(*frame_->GetPaintManager().FindControl("skin_tab"));
  Click("skin_color");
  EXPECT_EQ(pages.GetCurSel(), 1);
  Click("skin_image");
  EXPECT_EQ(pages.GetCurSel(), 0);
}

class SavedSkinTest : public MainWindowTest {
 protected:
  SavedSkinTest() : MainWindowTest([] { WriteSkinImage({true, "backgrounds/violet.png"}); }) {}
};

TEST_F(SavedSkinTest, TheWindowStartsWithTheRememberedImage) {
  EXPECT_EQ(Control("root").GetBkImage(), "backgrounds/violet.png");
}

TEST_F(MainWindowTest, TheSettingsWindowOpensFromTheButtonOrMessageAndSwitchesTheLanguage) {
  const std::vector<std::function<void()>> ways_to_open = {
      [&] { Control("setbtn").Activate(); },
      [&] { window_.SendMessage(WindowMessage(kMsgOpenSettings)); },
  };
  for (std::size_t way = 0; way < ways_to_open.size(); ++way) {
    const int before = window_.language_index();
    const int pick = before == 0 ? 1 : 0;
    std::vector<std::string> names;
    int shown = -1;
    bool modal = false;
    loop_.Post([&] {
      for (WindowImplBase* settings : toolkit_.Windows()) {
        if (settings->GetWindowClassName() != "SetWnd") continue;
        modal = settings->IsModal();
        auto& list = dynamic_cast<CComboUI&>(*settings->GetPaintManager().FindControl("Language_combox_info"));
        shown = list.GetCurSel();
        for (int i = 0; i < list.GetCount(); ++i) names.push_back(list.GetItemAt(i)->GetText());
        list.UserSelectItem(pick);
        settings->Close();
      }
    });
    ways_to_open[way]();  // returns when the modal window has closed
    EXPECT_TRUE(modal) << way;
    EXPECT_EQ(shown, before) << way;
    EXPECT_GE(names.size(), 2u) << way;
    EXPECT_EQ(window_.language_index(), pick) << way;
  }
}

// The faces go by the position in the factory language list: each language
// must get its own script's face, also when switching back and forth.
TEST_F(MainWindowTest, EachLanguageGetsTheFontFaceOfItsScript) {
  const std::vector<LanguageEntry> languages = ReadLanguageList();
  struct Case {
    std::uint32_t id;
    std::string_view face;
  };
  const Case cases[] = {{2052, "汉仪菱心体简"}, {1033, "Verdana Unicode MS"}, {2052, "汉仪菱心体简"}};
  for (const Case& c : cases) {
    const auto entry = std::find_if(languages.begin(), languages.end(),
                                    [&](const LanguageEntry& language) { return language.id == c.id; });
    ASSERT_NE(entry, languages.end()) << c.id;
    window_.ApplyLanguage(static_cast<int>(entry - languages.begin()));
    const std::optional<FontSpec> font = window_.GetPaintManager().GetDefaultFont();
    ASSERT_TRUE(font) << c.id;
    EXPECT_EQ(font->face, c.face) << c.id;
  }
}

TEST_F(MainWindowTest, TheSettingsSwitchShowsAndTogglesTheSessionsAutostartEntry) {
  // The user's folders are private: the entry goes to their XDG_CONFIG_HOME.
  const std::filesystem::path entry = autostart_entry::Path();
  struct Case {
    std::optional<std::string> before;  // the entry's text when the window opens
    bool shown;
  };
  const Case cases[] = {
      {std::nullopt, false},
      {"[Desktop Entry]\nType=Application\nExec=brontal-driver --minimized\n", true},
      {"[Desktop Entry]\nExec=brontal-driver --minimized\nHidden=true\n", false},  // switched off by the desktop
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before.value_or("no entry"));
    std::filesystem::remove(entry);
    if (c.before) {
      std::filesystem::create_directories(entry.parent_path());
      std::ofstream(entry) << *c.before;
    }
    std::vector<bool> shown, enabled;
    std::string text;  // of the entry the switch wrote
    loop_.Post([&] {
      for (WindowImplBase* settings : toolkit_.Windows()) {
        if (settings->GetWindowClassName() != "SetWnd") continue;
        auto& box = dynamic_cast<COptionUI&>(*settings->GetPaintManager().FindControl("autostart_checkbox"));
        for (int click = 0; click < 3; ++click) {
          if (click > 0) box.Activate();
          shown.push_back(box.IsSelected());
          enabled.push_back(autostart_entry::Enabled());
          if (click > 0 && enabled.back()) {
            std::ifstream written(entry);
            text.assign(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>());
          }
        }
        settings->Close();
      }
    });
    window_.SendMessage(WindowMessage(kMsgOpenSettings));
    EXPECT_EQ(shown, (std::vector<bool>{c.shown, !c.shown, c.shown}));
    EXPECT_EQ(enabled, shown);
    EXPECT_NE(text.find("Exec=" + *autostart_entry::ExecWord((ProgramFolder() / "brontal-driver").string()) +
                        " --minimized\n"),
              std::string::npos)
        << text;
  }
}

// Off until the user turns it on; the switch is remembered and the server follows it at once.
TEST_F(MainWindowTest, TheSettingsSwitchStartsAndStopsTheSdkServer) {
  std::vector<bool> shown, stored, running;
  loop_.Post([&] {
    for (WindowImplBase* settings : toolkit_.Windows()) {
      if (settings->GetWindowClassName() != "SetWnd") continue;
      auto& box = dynamic_cast<COptionUI&>(*settings->GetPaintManager().FindControl("sdk_server_checkbox"));
      for (int click = 0; click < 3; ++click) {
        if (click > 0) box.Activate();
        shown.push_back(box.IsSelected());
        stored.push_back(sdk::ReadSdkServerSwitch());
        running.push_back(window_.sdk_service().running());
      }
      settings->Close();
    }
  });
  window_.SendMessage(WindowMessage(kMsgOpenSettings));
  EXPECT_EQ(shown, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(stored, shown);
  EXPECT_EQ(running, shown);
}

TEST_F(MainWindowTest, TheOneTabStripFollowsTheDeviceOnScreen) {
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  for (int round = 0; round < 2; ++round) {
    for (CCorvaneUSBDevice* device : window_.roster().devices()) {
      window_.roster().ShowEntry(*device->entry());
      // Only a mouse has a pointer page.
      EXPECT_EQ(Control("cursor_Op_tab").IsVisible(), device->family() == DeviceFamily::kMouse) << device->kind_name();
      EXPECT_TRUE(Control("key_Op_tab").IsVisible()) << device->kind_name();
    }
  }
}

TEST_F(MainWindowTest, ClosingTheWindowStopsEveryThreadQuickly) {
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  const auto start = std::chrono::steady_clock::now();
  window_.SendMessage(WindowMessage(kWmDestroy, 0, 0));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
  for (CCorvaneUSBDevice* device : window_.roster().devices()) EXPECT_FALSE(device->event_collection_open());
}

}  // namespace
}  // namespace brontal
