#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "audio/simulated_headset_audio.h"
#include "devices/headset/corvane_zu6533_device.h"
#include "devices/headset/headset_wire.h"
#include "devices/simulated_product_fixture.h"
#include "models/memory_layout.h"
#include "profiles/basic_profile_data.h"

namespace brontal {
namespace {

using audio::AudioStatus;
using audio::SimulatedHeadsetAudio;
using audio::SoundControl;
using Lines = std::vector<std::string>;

class HeadsetDeviceTest : public test::SimulatedProductFixture<CCorvaneZU6533Device> {
 protected:
  HeadsetDeviceTest() : SimulatedProductFixture(0x1630, 0x0C76) {}

  // Opened with the simulated sound card, which the test may prepare first.
  CCorvaneZU6533Device& Open(const std::function<void(SimulatedHeadsetAudio&)>& prepare = {}) {
    CCorvaneZU6533Device& headset = SimulatedProductFixture::Open();
    auto card = std::make_unique<SimulatedHeadsetAudio>();
    card_ = card.get();
    if (prepare) prepare(*card_);
    headset.set_audio(std::move(card));
    return headset;
  }
  CCorvaneZU6533Device& Connect(const std::function<void(SimulatedHeadsetAudio&)>& prepare = {}) {
    CCorvaneZU6533Device& headset = Open(prepare);
    bool shown = false;
    headset.on_shown_on_panels = [&](CCorvaneUSBDevice&) { shown = true; };
    loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(PumpUntil([&] { return headset.ready() && shown && !headset.io().Busy(); }));
    headset.on_shown_on_panels = nullptr;
    card_->ClearJournal();
    return headset;
  }
  AudioStatus Sound(const std::function<void(CCorvaneZU6533Device::SoundDone)>& change) {
    return Awaited<AudioStatus>([&](auto done) { change(done); });
  }
  void Idle(CCorvaneZU6533Device& headset) {
    EXPECT_TRUE(PumpUntil([&] { return !headset.io().Busy(); }));
  }
  HeadsetSystem Saved(CCorvaneZU6533Device& headset) {
    CBasicProfiledata file;
    file.Load(headset.profile().ProfilePath());
    return file.GetHeadsetSystem();
  }
  Lines Writes() {
    Lines writes;
    for (const std::string& line : card_->Journal())
      if (!line.starts_with("read")) writes.push_back(line);
    return writes;
  }

  SimulatedHeadsetAudio* card_ = nullptr;
};

TEST_F(HeadsetDeviceTest, AFrameReachesTheHeadsetAsTwelveOutputReports) {
  CCorvaneZU6533Device& headset = Connect();
  headset.StopLightingThread();
  for (std::size_t i = 0; i < headset::kLightCount; ++i) headset.SetPositionColour(static_cast<int>(i), 0xFFFFFFFF);
  headset.set_host_lighting(true);
  Device().Journal().Clear();
  headset.SendLightFrame();
  Idle(headset);
  std::vector<sim::JournalEntry> reports;
  for (const sim::JournalEntry& e : Requests())
    if (e.kind == sim::JournalKind::kOutput) reports.push_back(e);
  ASSERT_EQ(reports.size(), headset::kReportsPerFrame);
  for (const sim::JournalEntry& e : reports) {
    ASSERT_EQ(e.bytes.size(), headset::kReportSize);
    EXPECT_EQ(e.bytes[0], 0xFF);
  }
  EXPECT_EQ(reports[1].bytes[2], 0xAD);
  // Every plane of both targets reached the headset at the cap.
  const std::vector<std::uint8_t> shown = Memory(sim::MemoryRegion::kHeadsetColours, 0, sim::kHeadsetColoursSize);
  EXPECT_TRUE(std::all_of(shown.begin(), shown.end(), [](std::uint8_t v) { return v == 247; }));
}

// As while an SDK client streams the colours.
TEST_F(HeadsetDeviceTest, FramesOnChangeLeaveOutAnUnchangedFrameUntilItsRefreshIsDue) {
  CCorvaneZU6533Device& headset = Connect();
  headset.StopLightingThread();
  headset.set_host_lighting(true);
  headset.set_frames_on_change(true);
  const auto frames = [&] {
    Idle(headset);
    std::size_t reports = 0;
    for (const sim::JournalEntry& e : Requests()) reports += e.kind == sim::JournalKind::kOutput ? 1 : 0;
    return reports / headset::kReportsPerFrame;
  };
  headset.SetPositionColour(0, 0xFF010203);
  Device().Journal().Clear();
  headset.SendLightFrame();
  headset.SendLightFrame();  // at once: nothing changed
  EXPECT_EQ(frames(), 1u);
  headset.SetPositionColour(3, 0xFF102030);
  headset.SendLightFrame();
  EXPECT_EQ(frames(), 2u);
  std::this_thread::sleep_for(CCorvaneUSBDevice::kUnchangedFrameRefresh);
  headset.SendLightFrame();
  EXPECT_EQ(frames(), 3u);

  // Every frame again (each taken before the next: the worker keeps only the newest).
  headset.set_frames_on_change(false);
  headset.SendLightFrame();
  EXPECT_EQ(frames(), 4u);
  headset.SendLightFrame();
  EXPECT_EQ(frames(), 5u);
}

TEST_F(HeadsetDeviceTest, WithoutHostLightingNoFrameIsSent) {
  CCorvaneZU6533Device& headset = Connect();
  headset.set_host_lighting(false);
  Device().Journal().Clear();
  headset.SendLightFrame();
  Idle(headset);
  EXPECT_TRUE(Requests().empty());
}

TEST_F(HeadsetDeviceTest, ConnectTakesTheCardsStateAndAFailedReadWritesNothing) {
  CCorvaneZU6533Device* headset = &Connect([](SimulatedHeadsetAudio& card) {
    card.SetValue(SoundControl::kMicLevel, 55);
    card.SetValue(SoundControl::kMicMute, 1);
    card.SetValue(SoundControl::kMonitorLevel, 20);
    card.SetValue(SoundControl::kMonitorMute, 0);
    card.FailNext(SoundControl::kMonitorLevel);
  });
  const HeadsetSystem& m = headset->sound().mirror;
  EXPECT_EQ(m.mic_in_value, 55);
  EXPECT_EQ(m.mic_in_select, 0);
  EXPECT_TRUE(headset->sound().mic_muted());
  EXPECT_EQ(m.mic_monitor_select, 1);
  // The failed read kept the profile's level, and nothing was written in its place.
  EXPECT_EQ(m.mic_monitor_value, headset->profile().GetHeadsetSystem().mic_monitor_value);
  EXPECT_EQ(card_->Value(SoundControl::kMonitorLevel), 20);
  EXPECT_TRUE(headset->sound().monitor);
  EXPECT_FALSE(headset->sound().voice_changer);
  EXPECT_TRUE(headset->sound().equaliser_unavailable.empty());
}

TEST_F(HeadsetDeviceTest, ConnectReadsAndThenOnlyTheProfilesEqualiser) {
  Open();
  loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
  EXPECT_TRUE(PumpUntil([&] { return Product()->ready() && !Product()->io().Busy(); }));
  const Lines writes = Writes();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_TRUE(writes[0].starts_with("equaliser"));
}

TEST_F(HeadsetDeviceTest, EqualiserPresetsBandsAndTheirStore) {
  CCorvaneZU6533Device& headset = Connect();
  EXPECT_EQ(Sound([&](auto done) { headset.SelectEqOption(5, done); }), AudioStatus::kDone);
  EXPECT_EQ(Writes(), (Lines{"equaliser 0 0 0 0 0 0 0 0 0 0"}));
  EXPECT_EQ(Saved(headset).eq_type, 5);
  EXPECT_EQ(headset.profile().GetEqBands(5), EqBands{});

  // A band moved under a preset makes the curve custom, with no curve selected; nothing stored.
  card_->ClearJournal();
  headset.SetEqBand(2, 6);
  Idle(headset);
  EXPECT_EQ(Writes(), (Lines{"equaliser 0 0 6 0 0 0 0 0 0 0"}));
  EXPECT_EQ(headset.sound().mirror.eq_type, 13);
  EXPECT_FALSE(headset.sound().shown_curve.has_value());
  EXPECT_EQ(Saved(headset).eq_type, 5);

  EXPECT_FALSE(headset.SelectEqOption(0));
  EXPECT_FALSE(headset.SelectEqOption(14));
}

TEST_F(HeadsetDeviceTest, WithoutAnEqualiserTheChoiceIsStillTheProfiles) {
  CCorvaneZU6533Device& headset = Connect([](SimulatedHeadsetAudio& card) { card.SetEqualiserAvailable(false); });
  EXPECT_FALSE(headset.sound().equaliser_unavailable.empty());
  EXPECT_EQ(Sound([&](auto done) { headset.SelectEqOption(3, done); }), AudioStatus::kUnsupported);
  EXPECT_EQ(Saved(headset).eq_type, 3);
}

TEST_F(HeadsetDeviceTest, MicrophoneAndMonitoringChangesStoreOnlyWhatTheCardTook) {
  CCorvaneZU6533Device& headset = Connect();
  EXPECT_EQ(Sound([&](auto done) { headset.SetMicLevel(37, done); }), AudioStatus::kDone);
  EXPECT_EQ(headset.sound().mirror.mic_in_value, 37);
  EXPECT_EQ(Sound([&](auto done) { headset.SetMicMuted(true, done); }), AudioStatus::kDone);
  EXPECT_EQ(Sound([&](auto done) { headset.SetMonitorMuted(false, done); }), AudioStatus::kDone);
  EXPECT_EQ(Writes(), (Lines{"write mic-level 37", "write mic-mute 1", "write monitor-mute 0"}));
  EXPECT_EQ(Saved(headset).mic_in_select, 0);
  EXPECT_EQ(Saved(headset).mic_monitor_select, 1);

  card_->FailNext(SoundControl::kMicMute);
  EXPECT_EQ(Sound([&](auto done) { headset.SetMicMuted(false, done); }), AudioStatus::kFailed);
  EXPECT_TRUE(headset.sound().mic_muted());
  EXPECT_EQ(headset.sound().mirror.mic_in_select, 0);
  card_->FailNext(SoundControl::kMonitorLevel);
  const int monitor = headset.sound().mirror.mic_monitor_value;
  EXPECT_EQ(Sound([&](auto done) { headset.SetMonitorLevel(monitor + 5, done); }), AudioStatus::kFailed);
  EXPECT_EQ(headset.sound().mirror.mic_monitor_value, monitor);
}

TEST_F(HeadsetDeviceTest, LevelChangesSaveAtMostEveryQuarterSecondAndTheLastAlways) {
  CCorvaneZU6533Device& headset = Connect();
  EXPECT_EQ(Sound([&](auto done) { headset.SetMicLevel(10, done); }), AudioStatus::kDone);
  EXPECT_EQ(Saved(headset).mic_in_value, 10);
  EXPECT_EQ(Sound([&](auto done) { headset.SetMicLevel(11, done); }), AudioStatus::kDone);
  EXPECT_EQ(Sound([&](auto done) { headset.SetMicLevel(12, done); }), AudioStatus::kDone);
  EXPECT_EQ(Saved(headset).mic_in_value, 10);
  loop.AdvanceBy(CCorvaneZU6533Device::kLevelSavePeriod);
  EXPECT_EQ(Saved(headset).mic_in_value, 12);
}

TEST_F(HeadsetDeviceTest, CustomCurvesSaveSelectAndDelete) {
  CCorvaneZU6533Device& headset = Connect();
  const auto bands_of = [&](int first) {
    headset.SelectEqOption(5);
    for (std::size_t b = 0; b < kEqBandCount; ++b) headset.SetEqBand(b, first + static_cast<int>(b));
    return headset.sound().bands;
  };
  const EqBands a = bands_of(1);
  EXPECT_EQ(headset.SaveCustomEq("Bass", std::nullopt), 1);
  const EqBands b = bands_of(2);
  EXPECT_EQ(headset.SaveCustomEq("Voice", std::nullopt), 1);
  const EqBands c = bands_of(3);
  EXPECT_EQ(headset.SaveCustomEq("Game", std::nullopt), 1);
  EXPECT_EQ(headset.sound().shown_curve, 2u);
  EXPECT_EQ(headset.SaveCustomEq("bASS", std::nullopt), 0);
  EXPECT_EQ(headset.SaveCustomEq("", std::nullopt), -1);

  // No name: the selected curve takes the bands and keeps its name.
  const EqBands d = bands_of(4);
  EXPECT_EQ(headset.SaveCustomEq("", 0), 1);
  EXPECT_EQ(headset.profile().GetCustomEqBands(0), d);
  EXPECT_EQ(headset.profile().GetCustomEqNames().front(), "Bass");

  card_->ClearJournal();
  EXPECT_EQ(Sound([&](auto done) { headset.ApplyCustomEq(2, done); }), AudioStatus::kDone);
  EXPECT_EQ(headset.sound().bands, c);
  EXPECT_FALSE(headset.ApplyCustomEq(3));

  EXPECT_TRUE(headset.DeleteCustomEq(1));
  EXPECT_EQ(headset.profile().GetCustomEqNames(), (std::vector<std::string>{"Bass", "Game"}));
  EXPECT_EQ(headset.profile().GetCustomEqBands(0), d);
  EXPECT_EQ(headset.profile().GetCustomEqBands(1), c);
  EXPECT_EQ(headset.sound().shown_curve, 0u);
  EXPECT_FALSE(headset.DeleteCustomEq(2));
  EXPECT_TRUE(headset.DeleteCustomEq(0));
  EXPECT_TRUE(headset.DeleteCustomEq(0));
  EXPECT_TRUE(headset.profile().GetCustomEqNames().empty());
  EXPECT_EQ(Saved(headset).eq_type, 1);
  // The curve that played is gone: the equaliser plays what the panel shows.
  Idle(headset);
  EXPECT_EQ(card_->equaliser(), headset.profile().GetEqBands(1));
  (void)a;
  (void)b;
}

TEST_F(HeadsetDeviceTest, DeletingACurveLeavesAPlayingPresetAlone) {
  CCorvaneZU6533Device& headset = Connect();
  ASSERT_EQ(headset.SaveCustomEq("Only", std::nullopt), 1);
  ASSERT_TRUE(headset.SelectEqOption(3));
  Idle(headset);
  card_->ClearJournal();
  EXPECT_TRUE(headset.DeleteCustomEq(0));
  Idle(headset);
  EXPECT_EQ(Saved(headset).eq_type, 3);
  EXPECT_EQ(headset.sound().bands, EqPresetBands(3));
  EXPECT_TRUE(Writes().empty());
}

TEST_F(HeadsetDeviceTest, TheTwentyFirstCurveIsRefused) {
  CCorvaneZU6533Device& headset = Connect();
  for (int i = 0; i < 20; ++i) ASSERT_EQ(headset.SaveCustomEq("c" + std::to_string(i), std::nullopt), 1);
  EXPECT_EQ(headset.SaveCustomEq("one more", std::nullopt), -1);
  EXPECT_EQ(headset.profile().GetCustomEqNames().size(), 20u);
}

TEST_F(HeadsetDeviceTest, TheVoiceChangerIsKeptInTheProfileWhereTheCardHasNone) {
  CCorvaneZU6533Device& headset = Connect();
  EXPECT_EQ(Sound([&](auto done) { headset.SetVoiceChanger(true, done); }), AudioStatus::kUnsupported);
  EXPECT_EQ(Sound([&](auto done) { headset.SetVoiceChanger(false, done); }), AudioStatus::kUnsupported);
  EXPECT_EQ(Writes(), (Lines{"write voice-changer 1", "write mic-echo 0", "write voice-changer 0"}));
  EXPECT_EQ(Sound([&](auto done) { headset.SelectVoiceEffect(3, done); }), AudioStatus::kUnsupported);
  EXPECT_EQ(Saved(headset).magic_type, 3);
  EXPECT_FALSE(headset.SelectVoiceEffect(5));
}

TEST_F(HeadsetDeviceTest, ApplyingAProfileWritesItsSoundSettingsToTheHeadset) {
  CCorvaneZU6533Device& headset = Connect();
  HeadsetSystem stored = headset.profile().GetHeadsetSystem();
  stored.mic_in_value = 64;
  stored.mic_in_select = 1;
  stored.eq_type = 5;
  headset.profile().SetHeadsetSystem(stored);
  ASSERT_TRUE(headset.SaveProfile());
  ASSERT_TRUE(Written([&](auto done) { headset.ApplySelectedProfile(done); }));
  Idle(headset);
  const Lines writes = Writes();
  EXPECT_NE(std::find(writes.begin(), writes.end(), "write mic-level 64"), writes.end());
  EXPECT_NE(std::find(writes.begin(), writes.end(), "write mic-mute 0"), writes.end());
  EXPECT_NE(std::find(writes.begin(), writes.end(), "equaliser 0 0 0 0 0 0 0 0 0 0"), writes.end());
  EXPECT_EQ(card_->Value(SoundControl::kMicLevel), 64);
}

}  // namespace
}  // namespace brontal
