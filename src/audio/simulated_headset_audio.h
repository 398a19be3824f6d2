#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "audio/headset_audio.h"

namespace brontal::audio {

// A headset's sound settings kept in memory, with a journal of every call:
// for the tests and for --simulate. It offers what the sound card offers on
// Linux (levels, mutes, the equaliser) unless told otherwise. Thread-safe.
class SimulatedHeadsetAudio final : public HeadsetAudio {
 public:
  SimulatedHeadsetAudio();

  bool Present() override;
  bool Supports(SoundControl control) override;
  SoundRead Read(SoundControl control) override;
  AudioStatus Write(SoundControl control, int value) override;
  AudioStatus SetEqualiser(const std::optional<EqBands>& gains) override;
  std::string EqualiserUnavailableReason() override;

  // "read mic-level", "write mic-level 37", "equaliser 7 11 2 ...",
  // "equaliser off", oldest first; failed and refused calls too.
  std::vector<std::string> Journal() const;
  void ClearJournal();

  // The card's values as the tests set them up and look at them.
  void SetValue(SoundControl control, int value);
  int Value(SoundControl control) const;
  const std::optional<EqBands>& equaliser() const { return equaliser_; }
  void SetPresent(bool present);
  void SetSupported(SoundControl control, bool supported);
  void SetEqualiserAvailable(bool available);
  // The next `count` reads or writes of `control` fail.
  void FailNext(SoundControl control, int count = 1);

 private:
  bool TakeFailure(SoundControl control);

  mutable std::mutex mutex_;
  bool present_ = true;
  bool equaliser_available_ = true;
  std::set<SoundControl> supported_;
  std::map<SoundControl, int> values_;
  std::map<SoundControl, int> failures_;
  std::optional<EqBands> equaliser_;
  std::vector<std::string> journal_;
};

}  // namespace brontal::audio
