#include "audio/headset_audio.h"

namespace brontal::audio {

const char* ControlName(SoundControl control) {
  switch (control) {
    case SoundControl::kMicLevel: return "mic-level";
    case SoundControl::kMicMute: return "mic-mute";
    case SoundControl::kMonitorLevel: return "monitor-level";
    case SoundControl::kMonitorMute: return "monitor-mute";
    case SoundControl::kSurround: return "surround";
    case SoundControl::kNoiseCancel: return "noise-cancel";
    case SoundControl::kVoiceChanger: return "voice-changer";
    case SoundControl::kVoiceEffect: return "voice-effect";
    case SoundControl::kMicEcho: return "mic-echo";
  }
  return "?";
}

}  // namespace brontal::audio
