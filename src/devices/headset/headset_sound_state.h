#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "profiles/profile_records.h"

namespace brontal {

// The headset's sound settings as the panels and brontalctl show them.
struct HeadsetSoundState {
  HeadsetSystem mirror;  // the profile's "SystemSetStages"
  EqBands bands{};       // the equaliser's bands now
  bool mic_muted() const { return mirror.mic_in_select == 0; }
  bool monitor_muted() const { return mirror.mic_monitor_select == 0; }
  // The custom curve shown selected; none after a band was moved by hand.
  std::optional<std::size_t> shown_curve;
  // What the headset's sound card offers; read at connect.
  bool mic = false;
  bool monitor = false;
  bool voice_changer = false;
  bool surround = false;
  bool noise_cancel = false;
  // Why the equaliser cannot be used; empty when it can.
  std::string equaliser_unavailable = "the headset has not been read yet";
};

// The twelve equaliser presets, band 1 (31 Hz) first, in dB.
inline constexpr int kEqPresetCount = 12;
const EqBands& EqPresetBands(int preset);

}  // namespace brontal
