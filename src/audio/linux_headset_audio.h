#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "audio/alsa_headset_mixer.h"
#include "audio/headset_audio.h"
#include "audio/remembered_equaliser.h"
#include "audio/usb_sound_card_finder.h"

namespace brontal::audio {

// A real headset's sound settings on Linux: its ALSA card, found by the
// headset's USB ids and found again after a replug, for the microphone and
// monitoring levels and mutes; the equaliser through PipeWire. Surround,
// noise cancelling, the voice changer and effects and the microphone echo
// are not offered by the card: always unsupported. The equaliser set last goes
// on again when the card comes back after a replug. Called from one thread at
// a time.
class LinuxHeadsetAudio final : public HeadsetAudio {
 public:
  LinuxHeadsetAudio(std::uint16_t vendor_id, std::uint16_t product_id);
  ~LinuxHeadsetAudio() override;

  bool Present() override;
  bool Supports(SoundControl control) override;
  SoundRead Read(SoundControl control) override;
  AudioStatus Write(SoundControl control, int value) override;
  AudioStatus SetEqualiser(const std::optional<EqBands>& gains) override;
  std::string EqualiserUnavailableReason() override;

 private:
  // The card as it is now, found again when the kept one went away; the
  // equaliser goes with a card that went.
  const std::optional<SoundCard>& FindCard();
  // The same, with the equaliser set last put on again on a card found anew.
  const std::optional<SoundCard>& Card();
  // The card's mixer, opened when needed; nothing when the card is absent
  // or refuses (`failure` tells which).
  AlsaHeadsetMixer* Mixer(AudioStatus& failure);
  void ForgetCard();
  // Runs a mixer call, once more on a freshly found card when the kept one
  // turned out gone (replugged between two calls).
  template <typename Call>
  auto WithMixer(Call call);

  std::mutex mutex_;
  UsbSoundCardFinder finder_;
  std::optional<SoundCard> card_;
  std::unique_ptr<AlsaHeadsetMixer> mixer_;
  RememberedEqualiser equaliser_;
};

}  // namespace brontal::audio
