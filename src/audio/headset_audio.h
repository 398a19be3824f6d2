#pragma once

#include <optional>
#include <string>

#include "profiles/profile_records.h"

namespace brontal::audio {

// What a call on the headset's sound settings did.
enum class AudioStatus {
  kDone,
  kFailed,       // the card or the sound server refused or did not answer
  kUnsupported,  // the headset or this system has no such setting
  kAbsent,       // the headset's sound card is not here
};

// The settings that are one value each. Levels run 0..100 as desktop mixers
// show them; mutes and switches are 0 or 1.
enum class SoundControl {
  kMicLevel,
  kMicMute,
  kMonitorLevel,  // the microphone heard in the headset (sidetone)
  kMonitorMute,
  kSurround,
  kNoiseCancel,
  kVoiceChanger,
  kVoiceEffect,  // 0..3
  kMicEcho,
};

// "mic-level", "mic-mute", ...: for journals and messages.
const char* ControlName(SoundControl control);

struct SoundRead {
  AudioStatus status = AudioStatus::kFailed;
  int value = 0;  // meaningful when status is kDone
};

// The sound settings of one headset. The calls may talk to the card and the
// sound server: they belong on the headset's I/O worker, not the UI thread.
class HeadsetAudio {
 public:
  virtual ~HeadsetAudio() = default;

  // Whether the headset's sound card is here now.
  virtual bool Present() = 0;
  virtual bool Supports(SoundControl control) = 0;
  virtual SoundRead Read(SoundControl control) = 0;
  virtual AudioStatus Write(SoundControl control, int value) = 0;

  // The equaliser on the headset's output: on with these gains in dB (band 1,
  // 31 Hz, first), or off with nothing. Off when the object goes.
  virtual AudioStatus SetEqualiser(const std::optional<EqBands>& gains) = 0;
  // Why the equaliser cannot be used now (for the panel and brontalctl);
  // empty when it can.
  virtual std::string EqualiserUnavailableReason() = 0;
};

}  // namespace brontal::audio
