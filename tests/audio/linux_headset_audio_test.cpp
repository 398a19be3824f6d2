// A headset whose sound card is not plugged in: everything says so, nothing
// is faked. (Its card's controls are tested on the mixer part, which the
// card finder names "hw:N".)
#include "audio/linux_headset_audio.h"

#include <gtest/gtest.h>

namespace brontal::audio {
namespace {

TEST(LinuxHeadsetAudio, WithoutItsCardEverythingIsAbsent) {
  LinuxHeadsetAudio audio(0xfffe, 0xfffd);  // ids no device has
  EXPECT_FALSE(audio.Present());
  for (const SoundControl control : {SoundControl::kMicLevel, SoundControl::kMicMute, SoundControl::kMonitorLevel,
                                     SoundControl::kMonitorMute, SoundControl::kSurround, SoundControl::kMicEcho}) {
    EXPECT_FALSE(audio.Supports(control)) << ControlName(control);
    EXPECT_EQ(audio.Read(control).status, AudioStatus::kAbsent) << ControlName(control);
    EXPECT_EQ(audio.Write(control, 1), AudioStatus::kAbsent) << ControlName(control);
  }
  EXPECT_EQ(audio.SetEqualiser(EqBands{}), AudioStatus::kAbsent);
  EXPECT_EQ(audio.SetEqualiser(std::nullopt), AudioStatus::kAbsent);
  EXPECT_EQ(audio.EqualiserUnavailableReason(), "the headset's sound card is not here");
}

}  // namespace
}  // namespace brontal::audio
