#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/headset_audio.h"
#include "devices/headset/headset_sound_state.h"
#include "devices/mousepad/corvane_mouse_pad_device.h"
#include "ui/toolkit/message_loop.h"

namespace brontal {

// The USB headset. Its lights follow the host's animation through output
// reports in every mode; it keeps the pad's lighting record and power status
// on the command channel; its sound settings (microphone, monitoring,
// equaliser) go to its sound card through the audio layer, on the I/O worker.
class CCorvaneZU6533Device final : public CCorvaneMousePadDevice {
 public:
  // What a sound change came to.
  using SoundDone = std::function<void(audio::AudioStatus)>;
  // Level changes save the profile at most this often.
  static constexpr std::chrono::milliseconds kLevelSavePeriod{250};
  // The reports of a frame the headset has not taken within this are
  // dropped; the next frame sends a whole new set.
  static constexpr std::uint32_t kLightFrameTimeoutMs = 200;

  explicit CCorvaneZU6533Device(MessageLoop& loop);
  ~CCorvaneZU6533Device() override;

  std::string_view GetClass() const override { return "CorvaneZU6533Device"; }

  // Operations of the device base.
  void OnConnected() override;
  void SendLightFrame() override;
  bool StreamsEveryMode() const override { return true; }
  bool LoadProfile() override;
  // The pad's sequence, then the profile's sound settings to the headset.
  void ApplySelectedProfile(Done done) override;
  void RestoreDefaults(Done done) override;
  // The pad's record, and the sound settings, which the headset's own audio
  // function may have lost with its power.
  bool RewriteSettings(Done done) override;

  // The sound settings as the panels show them.
  const HeadsetSoundState& sound() const { return sound_; }
  // The audio layer; made at the first connect unless given before.
  audio::HeadsetAudio* audio() const { return audio_.get(); }
  void set_audio(std::unique_ptr<audio::HeadsetAudio> audio) { audio_ = std::move(audio); }

  // The panel operations. Each changes the headset through the audio layer
  // and, where it says so, stores the settings in the profile; `done` hears
  // the outcome on the UI thread.
  // Preset 1..12: its curve to the equaliser and stored; 13: the selected
  // custom curve. Anything else does nothing (false).
  bool SelectEqOption(int option, SoundDone done = {});
  // One band moved: the equaliser becomes custom (no curve selected) and the
  // band goes to the headset; nothing is stored.
  void SetEqBand(std::size_t band, int value);
  // The custom curve `index` to the equaliser and stored; false for a curve
  // the profile does not have.
  bool ApplyCustomEq(std::size_t index, SoundDone done = {});
  void SetMicLevel(int level, SoundDone done = {});
  void SetMicMuted(bool muted, SoundDone done = {});
  void SetMonitorLevel(int level, SoundDone done = {});
  void SetMonitorMuted(bool muted, SoundDone done = {});
  void SetVoiceChanger(bool on, SoundDone done = {});
  // Effect 1..4; false for any other.
  bool SelectVoiceEffect(int effect, SoundDone done = {});
  // The band values as a custom curve: under a new name (appended and
  // selected), or with no name over the curve `selected`. -1: nothing to save
  // (no name and no curve selected, or the list is full); 0: a curve of that
  // name (in any letter case) exists; 1: saved.
  int SaveCustomEq(const std::string& name, std::optional<std::size_t> selected);
  // The curve taken out of the profile; curve 0 is selected then. While a
  // custom curve plays, curve 0 plays instead, or preset 1 with none left;
  // a preset that plays goes on. False for a curve the profile does not have.
  bool DeleteCustomEq(std::size_t index);

 private:
  void TakeSoundFromProfile();
  // The sound settings of the profile to the headset (its levels, mutes and
  // equaliser).
  void WriteSoundToHeadset(SoundDone done);
  void ReadSoundAtConnect();
  // The equaliser with the current bands (or off without a preset).
  void SendEqualiser(SoundDone done);
  // Stores the settings in the profile; `throttled`: saves at most every
  // kLevelSavePeriod, the last change always saved.
  void StoreSound(bool throttled);
  void SaveSoon();
  void SaveNow();
  // `control` written; `took` runs on success, then `done` hears it. The
  // panels show the device again after a failure, which they showed done.
  void WriteControl(audio::SoundControl control, int value, std::function<void()> took, SoundDone done);
  // A level (0..100) or a mute written, then kept in `stored` of the
  // profile's settings (a mute as its "not muted" select).
  void WriteLevel(audio::SoundControl control, int level, std::int32_t HeadsetSystem::*stored, SoundDone done);
  void WriteMute(audio::SoundControl control, bool muted, std::int32_t HeadsetSystem::*stored, SoundDone done);

  std::unique_ptr<audio::HeadsetAudio> audio_;
  HeadsetSoundState sound_;
  std::chrono::steady_clock::time_point last_save_{};
  std::optional<TimerId> save_timer_;
};

}  // namespace brontal
