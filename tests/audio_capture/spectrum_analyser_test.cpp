#include "audio_capture/spectrum_analyser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "audio_capture/test_wav.h"
#include "audio_link/band_levels.h"

namespace brontal::audio_capture {
namespace {

std::int32_t Magnitude(const audio_link::Spectrum& s, std::size_t band) { return std::abs(s[band * kValuesPerBand]); }

std::size_t LoudestBand(const audio_link::Spectrum& s) {
  std::size_t loudest = 0;
  for (std::size_t band = 1; band < kBandCount; ++band)
    if (Magnitude(s, band) > Magnitude(s, loudest)) loudest = band;
  return loudest;
}

// Every frame of the sound, hop by hop.
std::vector<AnalysedFrame> Analyse(const std::vector<float>& sound, unsigned rate) {
  SpectrumAnalyser analyser(rate);
  std::vector<AnalysedFrame> frames;
  for (std::size_t at = 0; at + analyser.HopSize() <= sound.size(); at += analyser.HopSize())
    frames.push_back(analyser.Push(std::span(sound).subspan(at, analyser.HopSize())));
  return frames;
}

// A keyboard gets one frame in three and steps 32 times a second.
TEST(SpectrumAnalyserTest, FramesComeSixtyToHundredTimesASecondWithBinsOfAtMostTwelveHertz) {
  for (const unsigned rate : {8000u, 22050u, 44100u, 48000u, 96000u}) {
    const double frames_per_second = static_cast<double>(rate) / SpectrumAnalyser::HopSizeFor(rate);
    EXPECT_GE(frames_per_second, 60) << rate;
    EXPECT_LE(frames_per_second, 100) << rate;
    EXPECT_LE(static_cast<double>(rate) / SpectrumAnalyser::WindowSizeFor(rate), 12.0) << rate;
  }
}

struct ToneCase {
  double hertz;
  unsigned rate;
  std::size_t band;  // 30 Hz * (16000 / 30)^(band / 25) <= hertz < the same for band + 1
};

class ToneTest : public ::testing::TestWithParam<ToneCase> {};

// A sine of amplitude 0.5 (-6 dB) is its band's alone, at 14.3 per dB above -70 dB.
TEST_P(ToneTest, LandsInItsBandAtItsLevel) {
  const ToneCase& c = GetParam();
  const auto frames = Analyse(test::Tone(c.hertz, 0.5, c.rate, c.rate), c.rate);
  ASSERT_FALSE(frames.empty());
  const audio_link::Spectrum& last = frames.back().spectrum;
  EXPECT_EQ(LoudestBand(last), c.band);
  // -6 dB: 914, less up to 1.4 dB when the tone falls between two bins.
  EXPECT_GE(Magnitude(last, c.band), 890);
  EXPECT_LE(Magnitude(last, c.band), 918);
  for (std::size_t band = 0; band < kBandCount; ++band) {
    if (band + 4 <= c.band || band >= c.band + 4) {
      EXPECT_LT(Magnitude(last, band), 500) << "band " << band;
    }
    for (std::size_t value = 1; value < kValuesPerBand; ++value)
      EXPECT_EQ(last[band * kValuesPerBand + value], last[band * kValuesPerBand]) << "band " << band;
  }
  // The driver reads the first 25 bands only; nothing lies beyond them.
  EXPECT_TRUE(std::all_of(last.begin() + kBandCount * kValuesPerBand, last.end(), [](auto v) { return v == 0; }));
}

INSTANTIATE_TEST_SUITE_P(Tones, ToneTest,
                         ::testing::Values(ToneCase{72.26, 48000, 3}, ToneCase{250, 44100, 8},
                                           ToneCase{1000, 48000, 13}, ToneCase{1000, 44100, 13},
                                           ToneCase{4000, 44100, 19}, ToneCase{12000, 48000, 23}));

TEST(SpectrumAnalyserTest, SilenceAndNonFiniteSamplesGiveZeros) {
  SpectrumAnalyser analyser(48000);
  const std::vector<float> silence(analyser.HopSize(), 0.0f);
  std::vector<float> broken(analyser.HopSize(), std::numeric_limits<float>::quiet_NaN());
  broken[1] = std::numeric_limits<float>::infinity();
  for (const std::vector<float>& hop : {silence, broken}) {
    const AnalysedFrame& frame = analyser.Push(hop);
    EXPECT_TRUE(std::all_of(frame.spectrum.begin(), frame.spectrum.end(), [](auto v) { return v == 0; }));
    EXPECT_EQ(frame.loudness, 0);
  }
}

TEST(SpectrumAnalyserTest, LoudnessFollowsTheLevelOfTheNewestSamples) {
  const unsigned rate = 48000;
  const std::size_t hop = SpectrumAnalyser::HopSizeFor(rate);
  // Full scale, -30 dB, then silence: a hop each, after a window of full scale.
  std::vector<float> sound = test::Tone(440, 1.0, rate, SpectrumAnalyser::WindowSizeFor(rate) + hop);
  for (const float s : test::Tone(440, 0.0316, rate, hop)) sound.push_back(s);
  sound.resize(sound.size() + hop, 0.0f);
  const auto frames = Analyse(sound, rate);
  ASSERT_GE(frames.size(), 3u);
  EXPECT_GE(frames[frames.size() - 3].loudness, 250);
  EXPECT_NEAR(frames[frames.size() - 2].loudness, 128, 3);
  EXPECT_EQ(frames.back().loudness, 0);
}

// What reaches a keyboard: the driver's band levels of consecutive frames.
TEST(SpectrumAnalyserTest, DriverBandLevelsStayInRangeAndFollowTheMusic) {
  const unsigned rate = 48000;
  const std::size_t hop = SpectrumAnalyser::HopSizeFor(rate);
  std::mt19937 random(7);
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  // Full-scale noise switched on and off every few hops: the largest changes there are.
  std::vector<float> sound;
  for (std::size_t n = 0; n < 40 * hop; ++n) sound.push_back((n / (3 * hop)) % 2 ? noise(random) : 0.0f);
  audio_link::BandLevelReduction reduction;
  std::int32_t highest = 0;
  for (const AnalysedFrame& frame : Analyse(sound, rate)) {
    for (const std::int32_t level : reduction.Next(frame.spectrum)) {
      EXPECT_GE(level, 0);
      EXPECT_LE(level, kTopLevel);
      highest = std::max(highest, level);
    }
  }
  EXPECT_GT(highest, kTopLevel / 2);

  // A held tone keeps its band lit at twice its magnitude, frame after frame,
  // and the rest dark.
  audio_link::BandLevelReduction held;
  const auto frames = Analyse(test::Tone(1000, 0.5, rate, rate / 2), rate);
  for (std::size_t f = 0; f < frames.size(); ++f) {
    const audio_link::BandLevels levels = held.Next(frames[f].spectrum);
    if (f < 8) continue;  // the window fills
    EXPECT_NEAR(levels[13], 2 * 914, 40) << "frame " << f;
    EXPECT_LT(levels[3], 100) << "frame " << f;
  }
}

}  // namespace
}  // namespace brontal::audio_capture
