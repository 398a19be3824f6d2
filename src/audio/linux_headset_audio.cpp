#include "audio/linux_headset_audio.h"

#include <utility>

namespace brontal::audio {
namespace {

bool OnTheCard(SoundControl control) {
  switch (control) {
    case SoundControl::kMicLevel:
    case SoundControl::kMicMute:
    case SoundControl::kMonitorLevel:
    case SoundControl::kMonitorMute: return true;
    default: return false;
  }
}

AudioStatus StatusOf(AudioStatus status) { return status; }
AudioStatus StatusOf(const SoundRead& read) { return read.status; }

}  // namespace

LinuxHeadsetAudio::LinuxHeadsetAudio(std::uint16_t vendor_id, std::uint16_t product_id)
    : finder_(vendor_id, product_id) {}

LinuxHeadsetAudio::~LinuxHeadsetAudio() = default;

void LinuxHeadsetAudio::ForgetCard() {
  mixer_.reset();
  card_.reset();
  equaliser_.CardGone();
}

const std::optional<SoundCard>& LinuxHeadsetAudio::FindCard() {
  if (card_ && !card_->StillThere()) ForgetCard();
  if (!card_) card_ = finder_.Find();
  return card_;
}

const std::optional<SoundCard>& LinuxHeadsetAudio::Card() {
  if (FindCard()) equaliser_.CardHere(card_->index);
  return card_;
}

AlsaHeadsetMixer* LinuxHeadsetAudio::Mixer(AudioStatus& failure) {
  if (!Card()) {
    failure = AudioStatus::kAbsent;
    return nullptr;
  }
  if (!mixer_) mixer_ = AlsaHeadsetMixer::Open(card_->ControlName(), failure);
  return mixer_.get();
}

template <typename Call>
auto LinuxHeadsetAudio::WithMixer(Call call) {
  using Result = decltype(call(std::declval<AlsaHeadsetMixer&>()));
  for (int attempt = 0;; ++attempt) {
    AudioStatus failure = AudioStatus::kFailed;
    AlsaHeadsetMixer* mixer = Mixer(failure);
    if (!mixer) return Result{failure};
    const Result result = call(*mixer);
    if (StatusOf(result) != AudioStatus::kAbsent || attempt > 0) return result;
    ForgetCard();
  }
}

bool LinuxHeadsetAudio::Present() {
  std::scoped_lock lock(mutex_);
  return Card().has_value();
}

bool LinuxHeadsetAudio::Supports(SoundControl control) {
  std::scoped_lock lock(mutex_);
  AudioStatus failure = AudioStatus::kFailed;
  const AlsaHeadsetMixer* mixer = OnTheCard(control) ? Mixer(failure) : nullptr;
  return mixer && mixer->Has(control);
}

SoundRead LinuxHeadsetAudio::Read(SoundControl control) {
  std::scoped_lock lock(mutex_);
  if (!OnTheCard(control)) return {Card() ? AudioStatus::kUnsupported : AudioStatus::kAbsent};
  return WithMixer([control](AlsaHeadsetMixer& mixer) { return mixer.Read(control); });
}

AudioStatus LinuxHeadsetAudio::Write(SoundControl control, int value) {
  std::scoped_lock lock(mutex_);
  if (!OnTheCard(control)) return Card() ? AudioStatus::kUnsupported : AudioStatus::kAbsent;
  return WithMixer([control, value](AlsaHeadsetMixer& mixer) { return mixer.Write(control, value); });
}

AudioStatus LinuxHeadsetAudio::SetEqualiser(const std::optional<EqBands>& gains) {
  std::scoped_lock lock(mutex_);
  // Not Card(): the equaliser set before would go on only to be replaced.
  return equaliser_.Set(gains, FindCard() ? std::optional(card_->index) : std::nullopt);
}

std::string LinuxHeadsetAudio::EqualiserUnavailableReason() {
  std::scoped_lock lock(mutex_);
  if (!Card()) return "the headset's sound card is not here";
  return equaliser_.UnavailableReason(card_->index);
}

}  // namespace brontal::audio
