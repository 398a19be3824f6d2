#include "audio/simulated_headset_audio.h"

namespace brontal::audio {
namespace {

std::string BandsText(const EqBands& bands) {
  std::string text;
  for (const std::int32_t band : bands) text += " " + std::to_string(band);
  return text;
}

}  // namespace

SimulatedHeadsetAudio::SimulatedHeadsetAudio()
    : supported_{SoundControl::kMicLevel, SoundControl::kMicMute, SoundControl::kMonitorLevel,
                 SoundControl::kMonitorMute},
      values_{{SoundControl::kMicLevel, 80}, {SoundControl::kMonitorLevel, 30}} {}

bool SimulatedHeadsetAudio::Present() {
  std::scoped_lock lock(mutex_);
  return present_;
}

bool SimulatedHeadsetAudio::Supports(SoundControl control) {
  std::scoped_lock lock(mutex_);
  return supported_.contains(control);
}

bool SimulatedHeadsetAudio::TakeFailure(SoundControl control) {
  const auto it = failures_.find(control);
  if (it == failures_.end() || it->second <= 0) return false;
  --it->second;
  return true;
}

SoundRead SimulatedHeadsetAudio::Read(SoundControl control) {
  std::scoped_lock lock(mutex_);
  journal_.push_back(std::string("read ") + ControlName(control));
  if (!present_) return {AudioStatus::kAbsent};
  if (!supported_.contains(control)) return {AudioStatus::kUnsupported};
  if (TakeFailure(control)) return {AudioStatus::kFailed};
  return {AudioStatus::kDone, values_[control]};
}

AudioStatus SimulatedHeadsetAudio::Write(SoundControl control, int value) {
  std::scoped_lock lock(mutex_);
  journal_.push_back(std::string("write ") + ControlName(control) + " " + std::to_string(value));
  if (!present_) return AudioStatus::kAbsent;
  if (!supported_.contains(control)) return AudioStatus::kUnsupported;
  if (TakeFailure(control)) return AudioStatus::kFailed;
  values_[control] = value;
  return AudioStatus::kDone;
}

AudioStatus SimulatedHeadsetAudio::SetEqualiser(const std::optional<EqBands>& gains) {
  std::scoped_lock lock(mutex_);
  journal_.push_back(gains ? "equaliser" + BandsText(*gains) : "equaliser off");
  if (!present_) return AudioStatus::kAbsent;
  if (!equaliser_available_) return AudioStatus::kUnsupported;
  equaliser_ = gains;
  return AudioStatus::kDone;
}

std::string SimulatedHeadsetAudio::EqualiserUnavailableReason() {
  std::scoped_lock lock(mutex_);
  if (!present_) return "the headset's sound card is not here";
  return equaliser_available_ ? std::string() : "the simulated sound server has no equaliser";
}

std::vector<std::string> SimulatedHeadsetAudio::Journal() const {
  std::scoped_lock lock(mutex_);
  return journal_;
}

void SimulatedHeadsetAudio::ClearJournal() {
  std::scoped_lock lock(mutex_);
  journal_.clear();
}

void SimulatedHeadsetAudio::SetValue(SoundControl control, int value) {
  std::scoped_lock lock(mutex_);
  values_[control] = value;
}

int SimulatedHeadsetAudio::Value(SoundControl control) const {
  std::scoped_lock lock(mutex_);
  const auto it = values_.find(control);
  return it == values_.end() ? 0 : it->second;
}

void SimulatedHeadsetAudio::SetPresent(bool present) {
  std::scoped_lock lock(mutex_);
  present_ = present;
}

void SimulatedHeadsetAudio::SetSupported(SoundControl control, bool supported) {
  std::scoped_lock lock(mutex_);
  if (supported)
    supported_.insert(control);
  else
    supported_.erase(control);
}

void SimulatedHeadsetAudio::SetEqualiserAvailable(bool available) {
  std::scoped_lock lock(mutex_);
  equaliser_available_ = available;
}

void SimulatedHeadsetAudio::FailNext(SoundControl control, int count) {
  std::scoped_lock lock(mutex_);
  failures_[control] = count;
}

}  // namespace brontal::audio
