#include "audio/alsa_headset_mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string_view>

#include "audio/mixer_level_scale.h"

namespace brontal::audio {
namespace {

constexpr auto kFirstChannel = SND_MIXER_SCHN_FRONT_LEFT;  // also the mono channel

struct ControlSide {
  bool capture;
  bool is_switch;
};

std::optional<ControlSide> SideOf(SoundControl control) {
  switch (control) {
    case SoundControl::kMicLevel: return ControlSide{true, false};
    case SoundControl::kMicMute: return ControlSide{true, true};
    case SoundControl::kMonitorLevel: return ControlSide{false, false};
    case SoundControl::kMonitorMute: return ControlSide{false, true};
    default: return std::nullopt;
  }
}

bool Offers(snd_mixer_elem_t* element, ControlSide side) {
  if (side.capture)
    return side.is_switch ? snd_mixer_selem_has_capture_switch(element) : snd_mixer_selem_has_capture_volume(element);
  return side.is_switch ? snd_mixer_selem_has_playback_switch(element) : snd_mixer_selem_has_playback_volume(element);
}

// Lower is preferred; nothing for an element that must not be used. The
// playback side of a headset card is mostly its output: only a sidetone or
// microphone element there is the monitoring.
std::optional<int> Preference(std::string_view name, bool capture) {
  const bool mic = name.find("Mic") != std::string_view::npos;
  if (capture) return mic ? 0 : 1;
  if (name.find("Sidetone") != std::string_view::npos) return 0;
  if (mic) return 1;
  return std::nullopt;
}

AudioStatus StatusOf(int error) {
  return error == -ENODEV || error == -ENOENT ? AudioStatus::kAbsent : AudioStatus::kFailed;
}

snd_mixer_elem_t* FindElement(snd_mixer_t* mixer, const std::string& name, unsigned index) {
  snd_mixer_selem_id_t* id = nullptr;
  snd_mixer_selem_id_alloca(&id);
  snd_mixer_selem_id_set_name(id, name.c_str());
  snd_mixer_selem_id_set_index(id, index);
  return snd_mixer_find_selem(mixer, id);
}

MixerLevelScale ScaleOf(snd_mixer_elem_t* element, bool capture) {
  long min = 0, max = 0;
  const int db = capture ? snd_mixer_selem_get_capture_dB_range(element, &min, &max)
                         : snd_mixer_selem_get_playback_dB_range(element, &min, &max);
  if (db == 0 && min < max) return MixerLevelScale::Decibels(min, max);
  if (capture)
    snd_mixer_selem_get_capture_volume_range(element, &min, &max);
  else
    snd_mixer_selem_get_playback_volume_range(element, &min, &max);
  return MixerLevelScale::Raw(min, max);
}

}  // namespace

std::unique_ptr<AlsaHeadsetMixer> AlsaHeadsetMixer::Open(const std::string& control_name, AudioStatus& failure) {
  snd_mixer_t* mixer = nullptr;
  int error = snd_mixer_open(&mixer, 0);
  if (error < 0) {
    failure = AudioStatus::kFailed;
    return nullptr;
  }
  if ((error = snd_mixer_attach(mixer, control_name.c_str())) < 0 ||
      (error = snd_mixer_selem_register(mixer, nullptr, nullptr)) < 0 || (error = snd_mixer_load(mixer)) < 0) {
    snd_mixer_close(mixer);
    failure = StatusOf(error);
    return nullptr;
  }
  return std::unique_ptr<AlsaHeadsetMixer>(new AlsaHeadsetMixer(mixer));
}

AlsaHeadsetMixer::AlsaHeadsetMixer(snd_mixer_t* mixer) : mixer_(mixer) {
  std::map<SoundControl, int> best;
  for (snd_mixer_elem_t* element = snd_mixer_first_elem(mixer_); element; element = snd_mixer_elem_next(element)) {
    if (!snd_mixer_selem_is_active(element)) continue;
    const std::string name = snd_mixer_selem_get_name(element);
    for (const SoundControl control :
         {SoundControl::kMicLevel, SoundControl::kMicMute, SoundControl::kMonitorLevel, SoundControl::kMonitorMute}) {
      const ControlSide side = *SideOf(control);
      const std::optional<int> preference = Preference(name, side.capture);
      if (!preference || !Offers(element, side)) continue;
      if (const auto it = best.find(control); it != best.end() && it->second <= *preference) continue;
      best[control] = *preference;
      elements_[control] = {name, snd_mixer_selem_get_index(element)};
    }
  }
}

AlsaHeadsetMixer::~AlsaHeadsetMixer() { snd_mixer_close(mixer_); }

bool AlsaHeadsetMixer::Has(SoundControl control) const { return elements_.contains(control); }

AudioStatus AlsaHeadsetMixer::Refresh() {
  const int error = snd_mixer_handle_events(mixer_);
  return error < 0 ? StatusOf(error) : AudioStatus::kDone;
}

SoundRead AlsaHeadsetMixer::Read(SoundControl control) {
  const auto it = elements_.find(control);
  if (it == elements_.end()) return {AudioStatus::kUnsupported};
  if (const AudioStatus refreshed = Refresh(); refreshed != AudioStatus::kDone) return {refreshed};
  snd_mixer_elem_t* element = FindElement(mixer_, it->second.name, it->second.index);
  if (!element) return {AudioStatus::kFailed};
  const ControlSide side = *SideOf(control);
  if (side.is_switch) {
    int on = 0;
    const int error = side.capture ? snd_mixer_selem_get_capture_switch(element, kFirstChannel, &on)
                                   : snd_mixer_selem_get_playback_switch(element, kFirstChannel, &on);
    if (error < 0) return {StatusOf(error)};
    return {AudioStatus::kDone, on ? 0 : 1};
  }
  const MixerLevelScale scale = ScaleOf(element, side.capture);
  long value = 0;
  int error = 0;
  if (scale.in_db())
    error = side.capture ? snd_mixer_selem_get_capture_dB(element, kFirstChannel, &value)
                         : snd_mixer_selem_get_playback_dB(element, kFirstChannel, &value);
  else
    error = side.capture ? snd_mixer_selem_get_capture_volume(element, kFirstChannel, &value)
                         : snd_mixer_selem_get_playback_volume(element, kFirstChannel, &value);
  if (error < 0) return {StatusOf(error)};
  return {AudioStatus::kDone, scale.LevelOf(value)};
}

AudioStatus AlsaHeadsetMixer::Write(SoundControl control, int value) {
  const auto it = elements_.find(control);
  if (it == elements_.end()) return AudioStatus::kUnsupported;
  if (const AudioStatus refreshed = Refresh(); refreshed != AudioStatus::kDone) return refreshed;
  snd_mixer_elem_t* element = FindElement(mixer_, it->second.name, it->second.index);
  if (!element) return AudioStatus::kFailed;
  const ControlSide side = *SideOf(control);
  int error = 0;
  if (side.is_switch) {
    const int on = value ? 0 : 1;
    error = side.capture ? snd_mixer_selem_set_capture_switch_all(element, on)
                         : snd_mixer_selem_set_playback_switch_all(element, on);
  } else {
    const MixerLevelScale scale = ScaleOf(element, side.capture);
    const long wanted = scale.ValueOf(std::clamp(value, 0, 100));
    constexpr int kNearest = 0;
    if (scale.in_db())
      error = side.capture ? snd_mixer_selem_set_capture_dB_all(element, wanted, kNearest)
                           : snd_mixer_selem_set_playback_dB_all(element, wanted, kNearest);
    else
      error = side.capture ? snd_mixer_selem_set_capture_volume_all(element, wanted)
                           : snd_mixer_selem_set_playback_volume_all(element, wanted);
  }
  return error < 0 ? StatusOf(error) : AudioStatus::kDone;
}

}  // namespace brontal::audio
