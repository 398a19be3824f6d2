#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "app/audio_capture_supervisor.h"
#include "app/main_window.h"
#include "control/audio_styles_command.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"
#include "main_window_fixture.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"

namespace brontal {
namespace {

using audio_link::CaptureCommand;

std::string Command(CaptureCommand command) { return "command " + std::to_string(static_cast<int>(command)) + " 0"; }

template <typename T>
T& Part(WindowImplBase& window, std::string_view name) {
  return dynamic_cast<T&>(*window.GetPaintManager().FindControl(name));
}

// The runtime folder of the test's own, in place before the window starts its
// control server there.
struct PrivateRuntimeFolder {
  test::TemporaryFolder folder{"brontal_run"};
  test::ScopedEnvironment runtime{{{"XDG_RUNTIME_DIR", folder.path().string()}}};
};

// The main window with the stand-in capture program beside it and a keyboard
// on the lighting page.
class AudioLightingTest : private PrivateRuntimeFolder, public MainWindowTest {
 protected:
  AudioLightingTest() {
    ConnectAndShow<CCorvaneKeyboardDevice>();
    AudioCaptureSupervisor::Setup setup = AudioCaptureSupervisor::InstalledSetup(bus_);
    setup.program = CAPTURE_STAND_IN;
    window_.audio_lighting().Start(setup);
  }

  CCorvaneKeyboardDevice& Keyboard() { return *First<CCorvaneKeyboardDevice>(); }
  // The keyboard's mode as the page would set it, then the idle timer's look.
  void ShowMode(std::uint8_t mode) {
    LightSetting record = Keyboard().live_light();
    record.select_item = mode;
    ASSERT_TRUE(Keyboard().ApplyLightRecord(record, {}));
    loop_.AdvanceBy(std::chrono::milliseconds(100));
  }
  std::vector<std::string> Journal() const {
    std::vector<std::string> lines;
    std::ifstream file(bus_.Folder() / "stand-in.journal");
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }
  std::size_t Count(const std::string& line) const { return std::ranges::count(Journal(), line); }
  bool PumpUntilJournal(const std::string& line, std::size_t times = 1) {
    return test::PumpUntil(
        loop_, [&] { return Count(line) == times; }, std::chrono::milliseconds(8000));
  }

  test::ScopedEnvironment stand_in_{{{"CAPTURE_STAND_IN_FOLDER", bus_.Folder().string()}}};
};

TEST_F(AudioLightingTest, CaptureFollowsTheKeyboardsSoundModesAndClosingSaysGoodbye) {
  ShowMode(5);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(window_.audio_lighting().supervisor()->starts(), 0);

  ShowMode(29);
  ASSERT_TRUE(PumpUntilJournal(Command(CaptureCommand::kCaptureOn)));
  // The factory's first style, whose green of 0 goes out as 1.
  EXPECT_EQ(Count("colour 9 1 0"), 1u);
  ShowMode(30);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(Count(Command(CaptureCommand::kCaptureOff)), 0u);
  ShowMode(1);
  ASSERT_TRUE(PumpUntilJournal(Command(CaptureCommand::kCaptureOff)));
  ShowMode(30);
  ASSERT_TRUE(PumpUntilJournal(Command(CaptureCommand::kCaptureOn), 2));
  EXPECT_EQ(window_.audio_lighting().supervisor()->starts(), 1);

  window_.SendMessage(WindowMessage(kWmDestroy, 0, 0));
  const std::vector<std::string> journal = Journal();
  ASSERT_GE(journal.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(journal.end() - 4, journal.end()),
            (std::vector<std::string>{Command(CaptureCommand::kCaptureOff), Command(CaptureCommand::kGoodbye),
                                      Command(CaptureCommand::kQuit), "end"}));
}

TEST_F(AudioLightingTest, TheMusicWindowEditsACopyThatOkSavesAndSends) {
  ShowMode(29);
  ASSERT_TRUE(PumpUntilJournal(Command(CaptureCommand::kCaptureOn)));
  std::vector<int> shown_levels;
  bool modal = false;
  loop_.Post([&] {
    for (WindowImplBase* music : toolkit_.Windows()) {
      if (music->GetWindowClassName() != "MusicWnd") continue;
      modal = music->IsModal();
      CPaintManagerUI& manager = music->GetPaintManager();
      auto& red = Part<CSliderUI>(*music, "audio_r_slider");
      auto& green = Part<CSliderUI>(*music, "audio_g_slider");
      auto& blue = Part<CSliderUI>(*music, "audio_b_slider");
      Part<COptionUI>(*music, "audio_select_tab3").Activate();
      shown_levels = {red.GetValue(), green.GetValue(), blue.GetValue()};
      red.UserDrag(5);
      red.UserRelease(5);
      green.UserRelease(0);
      // A name left empty takes its default; one still being typed counts on OK.
      auto& second = Part<CEditUI>(*music, "audio_edit_name2");
      manager.SetFocus(&second);
      second.UserEditText("");
      manager.SetFocus(nullptr);
      EXPECT_EQ(second.GetText(), "第二组");
      auto& first = Part<CEditUI>(*music, "audio_edit_name1");
      manager.SetFocus(&first);
      first.UserEditText("Bass");
      Part<CButtonUI>(*music, "okbtn").Activate();
    }
  });
  Control("music_setting_btn").Activate();  // returns when the modal window has closed
  EXPECT_TRUE(modal);
  EXPECT_EQ(shown_levels, (std::vector<int>{0, 0, 9}));  // the factory's third style

  const AudioStyles& styles = window_.audio_lighting().styles();
  EXPECT_EQ(styles.selected, 2);
  EXPECT_EQ(std::vector<int>(styles.levels.begin() + 6, styles.levels.begin() + 9), (std::vector<int>{5, 0, 9}));
  EXPECT_EQ(styles.names[0], "Bass");
  EXPECT_EQ(styles.names[1], "第二组");
  EXPECT_EQ(LoadAudioStyles(), styles);
  EXPECT_TRUE(PumpUntilJournal("colour 5 1 9"));
}

TEST_F(AudioLightingTest, BrontalctlsStylesGoThroughTheRunningProgram) {
  ShowMode(29);
  ASSERT_TRUE(PumpUntilJournal(Command(CaptureCommand::kCaptureOn)));
  const test::TemporaryFolder elsewhere{"brontalctl_files"};
  const AppFolders unused{elsewhere.path() / "factory", elsewhere.path() / "data", elsewhere.path() / "config"};
  auto run = [&unused](std::vector<std::string_view> words) {
    return std::async(std::launch::async, [&unused, words] {
      std::ostringstream out, err;
      const int status = audio_styles_command::Run(words, out, err, unused);
      return std::tuple(status, out.str(), err.str());
    });
  };
  auto set = run({"style=3", "r4=0", "g4=0", "b4=2", "name4="});
  ASSERT_TRUE(PumpUntil([&] { return set.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_EQ(set.get(), std::tuple(0, std::string(), std::string()));
  EXPECT_EQ(window_.audio_lighting().styles().selected, 3);
  EXPECT_EQ(window_.audio_lighting().styles().names[3], "第四组");
  EXPECT_EQ(LoadAudioStyles(), window_.audio_lighting().styles());
  EXPECT_FALSE(std::filesystem::exists(elsewhere.path() / "data"));  // brontalctl wrote nothing itself
  EXPECT_TRUE(PumpUntilJournal("colour 0 1 2"));

  auto show = run({});
  ASSERT_TRUE(PumpUntil([&] { return show.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  const auto [status, out, err] = show.get();
  EXPECT_EQ(status, 0) << err;
  EXPECT_NE(out.find("style = 3\n"), std::string::npos) << out;
  EXPECT_NE(out.find("name4 = 第四组\nr4 = 0\ng4 = 0\nb4 = 2\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace brontal
