// The headset's pages on a simulated headset: their controls through the
// main window's routes, read back from the simulated sound card's journal,
// the profile and the controls themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_fixture.h"
#include "app/message_boxes.h"
#include "audio/simulated_headset_audio.h"
#include "devices/headset/corvane_zu6533_device.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"

namespace brontal {
namespace {

using audio::SimulatedHeadsetAudio;
using audio::SoundControl;
using Lines = std::vector<std::string>;

class HeadsetPagesTest : public MainWindowTest {
 protected:
  // `prepare` sets the simulated sound card up before the headset connects.
  explicit HeadsetPagesTest(const std::function<void(SimulatedHeadsetAudio&)>& prepare = {}) {
    simulation_.simulator().Plug(0x0C76, 0x1630);
    ConnectAndShow<CCorvaneZU6533Device>([&](CCorvaneZU6533Device& headset) {
      auto card = std::make_unique<SimulatedHeadsetAudio>();
      card_ = card.get();
      if (prepare) prepare(*card_);
      headset.set_audio(std::move(card));
    });
    // The card's offers are read at connect, after the device is ready.
    EXPECT_TRUE(PumpUntil([&] { return Headset().sound().mic && !Headset().io().Busy(); }));
    loop_.RunUntilIdle();
    Headset().ApplyToUi();
    card_->ClearJournal();
  }

  CCorvaneZU6533Device& Headset() { return *First<CCorvaneZU6533Device>(); }
  template <typename T = CControlUI>
  T& Part(const std::string& name) {
    return dynamic_cast<T&>(Control(name));
  }
  bool Click(const std::string& name) {
    const bool reached = Part(name).Activate();
    loop_.RunUntilIdle();
    return reached;
  }
  bool Release(const std::string& slider, int value) {
    const bool reached = Part<CSliderUI>(slider).UserRelease(value);
    loop_.RunUntilIdle();
    return reached;
  }
  void Type(const std::string& text) { ASSERT_TRUE(Part<CEditUI>("custom_eq_name_edit").UserEditText(text)); }
  bool Selected(const std::string& name) { return Part<COptionUI>(name).IsSelected(); }
  CComboUI& Curves() { return Part<CComboUI>("custom_eq_name_combo"); }
  std::vector<int> Sliders() {
    std::vector<int> values;
    for (int i = 0; i < 10; ++i) values.push_back(Part<CSliderUI>("6533_eq_hz_slider_" + std::to_string(i)).GetValue());
    return values;
  }
  // The card's journal once the headset's worker has nothing left to do.
  Lines Settled() {
    EXPECT_TRUE(PumpUntil([&] { return !Headset().io().Busy(); }));
    loop_.RunUntilIdle();
    return card_->Journal();
  }
  bool CardGets(const std::string& line) {
    return PumpUntil([&] {
      const Lines journal = card_->Journal();
      return std::find(journal.begin(), journal.end(), line) != journal.end();
    });
  }
  std::string Text(std::string_view id) { return toolkit_.Resources().Translate(id); }
  // The equaliser on the custom curve, with one curve saved under `name`.
  void SaveCurve(const std::string& name) {
    if (!Selected("6533_eq_option_13")) {
      ASSERT_TRUE(Click("6533_eq_option_13"));
    }
    Type(name);
    ASSERT_TRUE(Click("hs_EQ_btn_save"));
  }

  SimulatedHeadsetAudio* card_ = nullptr;
  MessageBoxes boxes_{toolkit_};
};

TEST_F(HeadsetPagesTest, APresetGoesToTheCardAndTheSlidersWithoutComingBackAsABandMove) {
  // The profile's preset 5 is shown first; the user goes to 2 and back.
  ASSERT_TRUE(Selected("6533_eq_option_5"));
  ASSERT_TRUE(Click("6533_eq_option_2"));
  EXPECT_EQ(Sliders(), (std::vector<int>{7, 11, 6, -3, -11, -1, 6, 13, 6, 13}));
  // Each reaches the card: a later curve would take the place of one not yet sent.
  ASSERT_TRUE(CardGets("equaliser 7 11 6 -3 -11 -1 6 13 6 13"));
  ASSERT_TRUE(Click("6533_eq_option_5"));
  EXPECT_EQ(Settled(), (Lines{"equaliser 7 11 6 -3 -11 -1 6 13 6 13", "equaliser 0 0 0 0 0 0 0 0 0 0"}));
  EXPECT_EQ(Sliders(), std::vector<int>(10, 0));
  EXPECT_TRUE(Selected("6533_eq_option_5"));
  EXPECT_FALSE(Selected("6533_eq_option_2"));
  EXPECT_FALSE(Part("custom_eq_option_layout").IsEnabled());
  // Had the sliders' new values come back as moves, the equaliser would be custom now.
  EXPECT_EQ(Headset().profile().GetHeadsetSystem().eq_type, 5);
}

TEST_F(HeadsetPagesTest, ABandMovedUnderAPresetMakesTheCurveCustomWithNoSavedOneChosen) {
  SaveCurve("Mine");
  ASSERT_TRUE(Click("6533_eq_option_2"));
  ASSERT_EQ(Curves().GetCurSel(), 0);
  card_->ClearJournal();
  // While dragged the band already reaches the card.
  ASSERT_TRUE(Part<CSliderUI>("6533_eq_hz_slider_3").UserDrag(6));
  loop_.RunUntilIdle();
  EXPECT_TRUE(CardGets("equaliser 7 11 6 6 -11 -1 6 13 6 13"));
  EXPECT_TRUE(Selected("6533_eq_option_13"));
  EXPECT_FALSE(Selected("6533_eq_option_2"));
  EXPECT_EQ(Curves().GetCurSel(), -1);
  EXPECT_TRUE(Part("custom_eq_option_layout").IsEnabled());
  ASSERT_TRUE(Release("6533_eq_hz_slider_4", -20));
  EXPECT_TRUE(CardGets("equaliser 7 11 6 6 -20 -1 6 13 6 13"));
  EXPECT_EQ(Sliders(), (std::vector<int>{7, 11, 6, 6, -20, -1, 6, 13, 6, 13}));
  // The saved curve kept its own bands.
  EXPECT_EQ(Headset().profile().GetCustomEqBands(0), (EqBands{}));
}

TEST_F(HeadsetPagesTest, ASavedNameIsListedAndTheSameNameInOtherLettersIsRefused) {
  SaveCurve("Mine");
  EXPECT_EQ(Headset().profile().GetCustomEqNames(), Lines{"Mine"});
  ASSERT_EQ(Curves().GetCount(), 1);
  EXPECT_EQ(Curves().GetCurSel(), 0);
  EXPECT_EQ(Curves().GetItemAt(0)->GetText(), "Mine");
  EXPECT_EQ(Curves().GetItemAt(0)->GetToolTip(), "Mine");
  EXPECT_EQ(Curves().GetItemAt(0)->GetFixedHeight(), 30);
  EXPECT_EQ(Part("custom_eq_name_edit").GetText(), "");

  ASSERT_TRUE(Release("6533_eq_hz_slider_0", 9));
  Type("MINE");
  ASSERT_TRUE(Click("hs_EQ_btn_save"));
  EXPECT_EQ(boxes_.asked, Lines{Text("message_text_5")});
  EXPECT_EQ(Headset().profile().GetCustomEqNames(), Lines{"Mine"});
  EXPECT_EQ(Headset().profile().GetCustomEqBands(0), (EqBands{}));
  EXPECT_EQ(Curves().GetCount(), 1);
  EXPECT_EQ(Part("custom_eq_name_edit").GetText(), "MINE");
}

TEST_F(HeadsetPagesTest, ACurveChosenInTheComboPlaysAndDeletingTheLastOneGoesBackToTheFirstPreset) {
  SaveCurve("Flat");
  ASSERT_TRUE(Release("6533_eq_hz_slider_9", 12));
  SaveCurve("Air");
  ASSERT_EQ(Curves().GetCurSel(), 1);
  card_->ClearJournal();

  ASSERT_TRUE(Curves().UserSelectItem(0));
  loop_.RunUntilIdle();
  EXPECT_EQ(Settled(), Lines{"equaliser 0 0 0 0 0 0 0 0 0 0"});
  EXPECT_EQ(Sliders(), std::vector<int>(10, 0));
  EXPECT_EQ(Headset().profile().GetHeadsetSystem().custom_eq_select, 0);

  ASSERT_TRUE(Click("hs_EQ_btn_delete"));
  EXPECT_EQ(Headset().profile().GetCustomEqNames(), Lines{"Air"});
  ASSERT_EQ(Curves().GetCount(), 1);
  EXPECT_EQ(Curves().GetCurSel(), 0);
  EXPECT_EQ(Sliders().back(), 12);

  ASSERT_TRUE(Click("hs_EQ_btn_delete"));
  EXPECT_EQ(Curves().GetCount(), 0);
  EXPECT_TRUE(Selected("6533_eq_option_1"));
  EXPECT_FALSE(Selected("6533_eq_option_13"));
  EXPECT_FALSE(Part("custom_eq_option_layout").IsEnabled());
  EXPECT_EQ(Sliders(), (std::vector<int>{7, 11, 2, -3, -1, 4, 9, 12, 9, 5}));
}

TEST_F(HeadsetPagesTest, MicrophoneAndMonitoringControlsReachTheCardAndTheProfile) {
  struct Case {
    std::string control;
    int slider_value;  // -1: a check clicked
    std::string written;
    std::function<int(const HeadsetSystem&)> stored;
    int stored_value;
  };
  // The card's microphone and monitoring are open at connect: their checks are ticked.
  const Case cases[] = {
      {"6533_MicIn_option", -1, "write mic-mute 1", [](const HeadsetSystem& s) { return s.mic_in_select; }, 0},
      {"6533_MicMoniter_option", -1, "write monitor-mute 1",
       [](const HeadsetSystem& s) { return s.mic_monitor_select; }, 0},
      {"6533_MicIn_slider", 37, "write mic-level 37", [](const HeadsetSystem& s) { return s.mic_in_value; }, 37},
      {"6533_MicMoniter_slider", 12, "write monitor-level 12",
       [](const HeadsetSystem& s) { return s.mic_monitor_value; }, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    card_->ClearJournal();
    if (c.slider_value < 0) {
      ASSERT_TRUE(Selected(c.control));
      ASSERT_TRUE(Click(c.control));
    } else {
      ASSERT_TRUE(Release(c.control, c.slider_value));
    }
    EXPECT_EQ(Settled(), Lines{c.written});
    EXPECT_EQ(c.stored(Headset().profile().GetHeadsetSystem()), c.stored_value);
  }
  EXPECT_FALSE(Selected("6533_MicIn_option"));
}

TEST_F(HeadsetPagesTest, AMuteTheCardRefusesIsShownUndone) {
  card_->FailNext(SoundControl::kMicMute);
  ASSERT_TRUE(Click("6533_MicIn_option"));
  EXPECT_EQ(Settled(), Lines{"write mic-mute 1"});
  EXPECT_TRUE(Selected("6533_MicIn_option"));
  EXPECT_EQ(Headset().profile().GetHeadsetSystem().mic_in_select, 1);
}

TEST_F(HeadsetPagesTest, WhatThisSystemDoesNotOfferIsDisabledAndSaysSo) {
  EXPECT_FALSE(Part("magic_enable_option").IsEnabled());
  EXPECT_FALSE(Part("magic_option_layout").IsEnabled());
  EXPECT_FALSE(Click("magic_option_2"));
  EXPECT_TRUE(Part("magic_unavailable_text").IsVisible());
  // The profile's effect is still shown.
  EXPECT_TRUE(Selected("magic_option_1"));
  EXPECT_FALSE(Part("virtual_surround_option").IsEnabled());
  EXPECT_TRUE(Part("virtual_unavailable_text").IsVisible());
  // What the card has is usable, the equaliser too.
  EXPECT_FALSE(Part("eq_unavailable_layout").IsVisible());
  EXPECT_TRUE(Part("6533_MicIn_slider").IsEnabled());
  EXPECT_TRUE(Part("6533_eq_option_1").IsEnabled());
  EXPECT_EQ(Settled(), Lines{});
}

class HeadsetWithVoiceChangerTest : public HeadsetPagesTest {
 protected:
  HeadsetWithVoiceChangerTest()
      : HeadsetPagesTest([](SimulatedHeadsetAudio& card) {
          card.SetSupported(SoundControl::kVoiceChanger, true);
          card.SetSupported(SoundControl::kVoiceEffect, true);
        }) {}
};

TEST_F(HeadsetWithVoiceChangerTest, SwitchingItOnFreesTheEffects) {
  EXPECT_FALSE(Part("magic_unavailable_text").IsVisible());
  ASSERT_FALSE(Part("magic_option_layout").IsEnabled());
  ASSERT_TRUE(Click("magic_enable_option"));
  EXPECT_TRUE(Part("magic_option_layout").IsEnabled());
  ASSERT_TRUE(Click("magic_option_3"));
  EXPECT_EQ(Settled(), (Lines{"write voice-changer 1", "write mic-echo 0", "write voice-effect 2"}));
  EXPECT_EQ(Headset().profile().GetHeadsetSystem().magic_type, 3);
  EXPECT_EQ(Headset().profile().GetHeadsetSystem().magic_enable, 1);
}

class HeadsetWithoutEqualiserTest : public HeadsetPagesTest {
 protected:
  HeadsetWithoutEqualiserTest()
      : HeadsetPagesTest([](SimulatedHeadsetAudio& card) { card.SetEqualiserAvailable(false); }) {}
};

TEST_F(HeadsetWithoutEqualiserTest, TheEqualiserIsDisabledWithTheReasonShown) {
  EXPECT_TRUE(Part("eq_unavailable_layout").IsVisible());
  EXPECT_EQ(Part("eq_unavailable_reason").GetText(), "the simulated sound server has no equaliser");
  EXPECT_FALSE(Click("6533_eq_option_2"));
  EXPECT_FALSE(Part<CSliderUI>("6533_eq_hz_slider_0").UserRelease(5));
  EXPECT_FALSE(Part("custom_eq_option_layout").IsEnabled());
  // The profile's preset is still shown; the microphone works on.
  EXPECT_TRUE(Selected("6533_eq_option_5"));
  ASSERT_TRUE(Release("6533_MicIn_slider", 50));
  EXPECT_EQ(Settled(), Lines{"write mic-level 50"});
}

}  // namespace
}  // namespace brontal
