#pragma once

#include <map>
#include <memory>
#include <string>

#include "audio/headset_audio.h"

typedef struct _snd_mixer snd_mixer_t;

namespace brontal::audio {

// The microphone and sidetone controls of a headset's ALSA card through the
// simple mixer: the microphone is the capture side of a capture control
// ("Mic" first), the monitoring the playback side of the card's "Sidetone" or
// "Mic" control, never its main output. Levels map as MixerLevelScale tells;
// a mute is the control's switch turned off.
class AlsaHeadsetMixer {
 public:
  // Opens the card by its ALSA control name ("hw:3", or one the ALSA
  // configuration defines). Nothing when it cannot: `failure` then tells
  // whether the card is not there (kAbsent) or refused (kFailed).
  static std::unique_ptr<AlsaHeadsetMixer> Open(const std::string& control_name, AudioStatus& failure);
  ~AlsaHeadsetMixer();
  AlsaHeadsetMixer(const AlsaHeadsetMixer&) = delete;
  AlsaHeadsetMixer& operator=(const AlsaHeadsetMixer&) = delete;

  bool Has(SoundControl control) const;
  // kAbsent once the card went away: the object is of no use after that.
  SoundRead Read(SoundControl control);
  AudioStatus Write(SoundControl control, int value);

 private:
  // A simple mixer element by name and index: looked up on every use, as the
  // card may drop elements.
  struct ElementName {
    std::string name;
    unsigned index = 0;
  };

  explicit AlsaHeadsetMixer(snd_mixer_t* mixer);
  // Takes in the card's events (values changed by others, the card gone).
  AudioStatus Refresh();

  snd_mixer_t* mixer_;
  std::map<SoundControl, ElementName> elements_;
};

}  // namespace brontal::audio
