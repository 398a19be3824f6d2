// Levels as alsamixer shows them: cubic in dB over wide dB ranges, linear in
// dB over ranges of 24 dB or less, linear in raw steps without dB. The
// expected values were worked out apart from the code.
#include "audio/mixer_level_scale.h"

#include <gtest/gtest.h>

namespace brontal::audio {
namespace {

struct ScaleCase {
  const char* what;
  MixerLevelScale scale;
  int level;
  long value;
};

const ScaleCase kLevelToValue[] = {
    {"cubic, middle", MixerLevelScale::Decibels(-4000, 600), 50, -795},
    {"cubic, 1 is well above the floor", MixerLevelScale::Decibels(-4000, 600), 1, -3877},
    {"cubic, 99 is just under the top", MixerLevelScale::Decibels(-4000, 600), 99, 578},
    {"cubic, bottom", MixerLevelScale::Decibels(-4000, 600), 0, -4000},
    {"cubic, top", MixerLevelScale::Decibels(-4000, 600), 100, 600},
    {"cubic just over 24 dB", MixerLevelScale::Decibels(-2401, 0), 50, -933},
    {"linear at 24 dB", MixerLevelScale::Decibels(-2400, 0), 50, -1200},
    {"linear in dB", MixerLevelScale::Decibels(-1200, 600), 25, -750},
    {"muting minimum, middle", MixerLevelScale::Decibels(MixerLevelScale::kMutedDb, 0), 50, -1806},
    {"muting minimum, bottom mutes", MixerLevelScale::Decibels(MixerLevelScale::kMutedDb, 0), 0,
     MixerLevelScale::kMutedDb},
    {"raw, halves round away from zero", MixerLevelScale::Raw(0, 31), 50, 16},
    {"raw below zero", MixerLevelScale::Raw(-10, 10), 25, -5},
    {"above 100 is the top", MixerLevelScale::Raw(0, 31), 140, 31},
    {"below 0 is the bottom", MixerLevelScale::Decibels(-4000, 600), -3, -4000},
};

TEST(MixerLevelScale, LevelsAskForTheseValues) {
  for (const ScaleCase& c : kLevelToValue) EXPECT_EQ(c.scale.ValueOf(c.level), c.value) << c.what;
}

const ScaleCase kValueToLevel[] = {
    {"cubic, 0 dB of +6", MixerLevelScale::Decibels(-4000, 600), 75, 0},
    {"cubic, -20 dB of +6", MixerLevelScale::Decibels(-4000, 600), 24, -2000},
    {"cubic, bottom", MixerLevelScale::Decibels(-4000, 600), 0, -4000},
    {"linear in dB", MixerLevelScale::Decibels(-1200, 600), 67, 0},
    {"muted", MixerLevelScale::Decibels(MixerLevelScale::kMutedDb, 0), 0, MixerLevelScale::kMutedDb},
    {"raw", MixerLevelScale::Raw(0, 31), 52, 16},
    {"outside the range is clamped", MixerLevelScale::Raw(0, 31), 100, 40},
    {"an empty range is 0", MixerLevelScale::Raw(5, 5), 0, 5},
};

TEST(MixerLevelScale, ValuesShowAsTheseLevels) {
  for (const ScaleCase& c : kValueToLevel) EXPECT_EQ(c.scale.LevelOf(c.value), c.level) << c.what;
}

TEST(MixerLevelScale, EveryLevelComesBackFromItsValue) {
  for (const MixerLevelScale& scale : {MixerLevelScale::Decibels(-4000, 600), MixerLevelScale::Decibels(-1200, 600),
                                       MixerLevelScale::Decibels(MixerLevelScale::kMutedDb, 0)}) {
    for (int level = 0; level <= 100; ++level) EXPECT_EQ(scale.LevelOf(scale.ValueOf(level)), level);
  }
}

}  // namespace
}  // namespace brontal::audio
