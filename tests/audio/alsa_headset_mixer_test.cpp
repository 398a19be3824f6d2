// The mixer part against real ALSA mixer controls with no hardware: a card
// served by the test's text file control plugin, laid out the way USB
// headsets show theirs.
#include "audio/alsa_headset_mixer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "test_sound_card.h"

namespace brontal::audio {
namespace {

using test::CardElement;
using test::TestSoundCard;

// The microphone's gain in 1/256 dB steps from -40 to +6 dB, a stereo output
// that is not the monitoring, and the microphone's playback side (sidetone)
// without dB.
const std::vector<CardElement> kHeadset = {
    {"PCM Playback Volume", 0, 100, std::pair(-5000, 0), {80, 80}},
    {"PCM Playback Switch", 0, 1, std::nullopt, {1, 1}},
    {"Mic Playback Volume", 0, 255, std::nullopt, {128}},
    {"Mic Playback Switch", 0, 1, std::nullopt, {1}},
    {"Mic Capture Volume", 0, 11776, std::pair(-4000, 600), {6000}},
    {"Mic Capture Switch", 0, 1, std::nullopt, {1}},
};

// Coarse steps, a "Sidetone" control beside the microphone's playback side,
// and a narrow dB range.
const std::vector<CardElement> kSidetoneHeadset = {
    {"Headphone Playback Volume", 0, 31, std::pair(-3100, 0), {20, 20}},
    {"Mic Playback Volume", 0, 31, std::nullopt, {0}},
    {"Sidetone Playback Volume", 0, 4608, std::pair(-1200, 600), {0, 0}},
    {"Sidetone Playback Switch", 0, 1, std::nullopt, {0, 0}},
    {"Mic Capture Volume", 0, 16, std::pair(-1200, 3000), {8}},
    {"Mic Capture Switch", 0, 1, std::nullopt, {1}},
};

// A card that only records.
const std::vector<CardElement> kMicrophoneOnly = {
    {"Mic Capture Volume", 0, 16, std::pair(-1200, 3000), {8}},
    {"Mic Capture Switch", 0, 1, std::nullopt, {1}},
};

std::unique_ptr<AlsaHeadsetMixer> OpenTestCard() {
  AudioStatus failure = AudioStatus::kDone;
  auto mixer = AlsaHeadsetMixer::Open(TestSoundCard::kName, failure);
  EXPECT_TRUE(mixer) << "the test card does not open";
  return mixer;
}

TEST(AlsaHeadsetMixer, OffersWhatTheCardHas) {
  struct Case {
    const char* what;
    const std::vector<CardElement>* card;
    bool monitoring;
  } cases[] = {{"headset", &kHeadset, true},
               {"sidetone headset", &kSidetoneHeadset, true},
               {"microphone only", &kMicrophoneOnly, false}};
  for (const Case& c : cases) {
    TestSoundCard card(*c.card);
    const auto mixer = OpenTestCard();
    ASSERT_TRUE(mixer);
    EXPECT_TRUE(mixer->Has(SoundControl::kMicLevel)) << c.what;
    EXPECT_TRUE(mixer->Has(SoundControl::kMicMute)) << c.what;
    EXPECT_EQ(mixer->Has(SoundControl::kMonitorLevel), c.monitoring) << c.what;
    EXPECT_EQ(mixer->Has(SoundControl::kMonitorMute), c.monitoring) << c.what;
    for (const SoundControl control : {SoundControl::kSurround, SoundControl::kNoiseCancel, SoundControl::kVoiceChanger,
                                       SoundControl::kVoiceEffect, SoundControl::kMicEcho})
      EXPECT_FALSE(mixer->Has(control)) << c.what << " " << ControlName(control);
  }
}

TEST(AlsaHeadsetMixer, WhatTheCardLacksIsUnsupported) {
  TestSoundCard card(kMicrophoneOnly);
  const auto mixer = OpenTestCard();
  ASSERT_TRUE(mixer);
  for (const SoundControl control :
       {SoundControl::kMonitorLevel, SoundControl::kMonitorMute, SoundControl::kSurround}) {
    EXPECT_EQ(mixer->Read(control).status, AudioStatus::kUnsupported) << ControlName(control);
    EXPECT_EQ(mixer->Write(control, 1), AudioStatus::kUnsupported) << ControlName(control);
  }
}

// Steps fine enough that every level has a value of its own.
TEST(AlsaHeadsetMixer, EveryLevelReadsBackAsWritten) {
  struct Case {
    const char* what;
    const std::vector<CardElement>* card;
    SoundControl control;
  } cases[] = {{"microphone, cubic in dB", &kHeadset, SoundControl::kMicLevel},
               {"monitoring, raw steps", &kHeadset, SoundControl::kMonitorLevel},
               {"monitoring, linear in dB", &kSidetoneHeadset, SoundControl::kMonitorLevel}};
  for (const Case& c : cases) {
    TestSoundCard card(*c.card);
    const auto mixer = OpenTestCard();
    ASSERT_TRUE(mixer);
    for (int level = 0; level <= 100; ++level) {
      ASSERT_EQ(mixer->Write(c.control, level), AudioStatus::kDone) << c.what << " " << level;
      const SoundRead read = mixer->Read(c.control);
      ASSERT_EQ(read.status, AudioStatus::kDone) << c.what;
      EXPECT_EQ(read.value, level) << c.what;
    }
  }
}

TEST(AlsaHeadsetMixer, LevelsLandOnTheseSteps) {
  struct Case {
    const char* what;
    const std::vector<CardElement>* card;
    SoundControl control;
    int level;
    const char* element;
    std::vector<long> values;
  } cases[] = {
      {"0 is the lowest step", &kHeadset, SoundControl::kMicLevel, 0, "Mic Capture Volume", {0}},
      {"100 is the highest step", &kHeadset, SoundControl::kMicLevel, 100, "Mic Capture Volume", {11776}},
      {"above 100 is the highest", &kHeadset, SoundControl::kMicLevel, 130, "Mic Capture Volume", {11776}},
      {"below 0 is the lowest", &kHeadset, SoundControl::kMicLevel, -2, "Mic Capture Volume", {0}},
      // -7.95 dB: the cubic middle of -40..+6 dB.
      {"cubic middle", &kHeadset, SoundControl::kMicLevel, 50, "Mic Capture Volume", {8205}},
      {"raw steps", &kHeadset, SoundControl::kMonitorLevel, 50, "Mic Playback Volume", {128}},
      {"coarse steps, ends", &kSidetoneHeadset, SoundControl::kMicLevel, 100, "Mic Capture Volume", {16}},
      {"coarse steps, nearest", &kSidetoneHeadset, SoundControl::kMicLevel, 1, "Mic Capture Volume", {0}},
      {"every channel", &kSidetoneHeadset, SoundControl::kMonitorLevel, 100, "Sidetone Playback Volume", {4608, 4608}},
  };
  for (const Case& c : cases) {
    TestSoundCard card(*c.card);
    const auto mixer = OpenTestCard();
    ASSERT_TRUE(mixer);
    ASSERT_EQ(mixer->Write(c.control, c.level), AudioStatus::kDone) << c.what;
    EXPECT_EQ(card.Values(c.element), c.values) << c.what;
  }
}

TEST(AlsaHeadsetMixer, MonitoringLeavesTheOutputAlone) {
  struct Case {
    const char* what;
    const std::vector<CardElement>* card;
    const char* monitoring;
    long top;
    const char* untouched;
  } cases[] = {
      {"the microphone's playback side", &kHeadset, "Mic Playback Volume", 255, "PCM Playback Volume"},
      {"sidetone before the microphone's playback side", &kSidetoneHeadset, "Sidetone Playback Volume", 4608,
       "Mic Playback Volume"},
      {"not the headphones", &kSidetoneHeadset, "Sidetone Playback Volume", 4608, "Headphone Playback Volume"},
  };
  for (const Case& c : cases) {
    TestSoundCard card(*c.card);
    const auto mixer = OpenTestCard();
    ASSERT_TRUE(mixer);
    const std::vector<long> untouched = card.Values(c.untouched);
    ASSERT_EQ(mixer->Write(SoundControl::kMonitorLevel, 100), AudioStatus::kDone);
    EXPECT_EQ(card.Values(c.untouched), untouched) << c.what;
    EXPECT_EQ(mixer->Read(SoundControl::kMonitorLevel).value, 100) << c.what;
    EXPECT_EQ(card.Values(c.monitoring).front(), c.top) << c.what;
  }
}

TEST(AlsaHeadsetMixer, MuteIsTheSwitchTurnedOff) {
  struct Case {
    SoundControl control;
    const char* element;
  } cases[] = {{SoundControl::kMicMute, "Mic Capture Switch"},
               {SoundControl::kMonitorMute, "Sidetone Playback Switch"}};
  for (const Case& c : cases) {
    TestSoundCard card(kSidetoneHeadset);
    const auto mixer = OpenTestCard();
    ASSERT_TRUE(mixer);
    const std::size_t channels = card.Values(c.element).size();
    ASSERT_EQ(mixer->Write(c.control, 1), AudioStatus::kDone);
    EXPECT_EQ(card.Values(c.element), std::vector<long>(channels, 0)) << ControlName(c.control);
    EXPECT_EQ(mixer->Read(c.control).value, 1) << ControlName(c.control);
    ASSERT_EQ(mixer->Write(c.control, 0), AudioStatus::kDone);
    EXPECT_EQ(card.Values(c.element), std::vector<long>(channels, 1)) << ControlName(c.control);
    EXPECT_EQ(mixer->Read(c.control).value, 0) << ControlName(c.control);
  }
}

// The headset's own buttons and other mixers change the card behind our back.
TEST(AlsaHeadsetMixer, ReadsWhatOthersChanged) {
  TestSoundCard card(kHeadset);
  const auto mixer = OpenTestCard();
  ASSERT_TRUE(mixer);
  ASSERT_EQ(mixer->Read(SoundControl::kMicMute).value, 0);
  ASSERT_NE(mixer->Read(SoundControl::kMicLevel).value, 100);
  card.SetValues("Mic Capture Switch", {0});
  card.SetValues("Mic Capture Volume", {11776});
  EXPECT_EQ(mixer->Read(SoundControl::kMicMute).value, 1);
  EXPECT_EQ(mixer->Read(SoundControl::kMicLevel).value, 100);
}

TEST(AlsaHeadsetMixer, AnUnpluggedCardIsAbsent) {
  TestSoundCard card(kHeadset);
  const auto mixer = OpenTestCard();
  ASSERT_TRUE(mixer);
  card.Unplug();
  EXPECT_EQ(mixer->Read(SoundControl::kMicLevel).status, AudioStatus::kAbsent);
  EXPECT_EQ(mixer->Read(SoundControl::kMonitorMute).status, AudioStatus::kAbsent);
  EXPECT_EQ(mixer->Write(SoundControl::kMicLevel, 40), AudioStatus::kAbsent);
  EXPECT_EQ(mixer->Write(SoundControl::kMicMute, 1), AudioStatus::kAbsent);

  AudioStatus failure = AudioStatus::kDone;
  EXPECT_FALSE(AlsaHeadsetMixer::Open(TestSoundCard::kName, failure));
  EXPECT_EQ(failure, AudioStatus::kAbsent);
}

}  // namespace
}  // namespace brontal::audio
