#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "profiles/profile_records.h"

namespace brontal::audio {

// The centre frequencies of the ten bands, band 1 first.
inline constexpr std::array<double, kEqBandCount> kEqualiserFrequencies = {31,   62,   125,  250,  500,
                                                                           1000, 2000, 4000, 8000, 16000};
// The bands are an octave apart and each is an octave wide: Q = sqrt(2) / (2 - 1).
inline constexpr double kEqualiserQ = 1.414;

// Names of the equaliser's sink (the filter's input) and of its output stream.
struct EqualiserNodeNames {
  std::string sink;
  std::string output;
  std::string description;  // what desktop sound settings show
};

// The arguments of PipeWire's filter-chain module (SPA-JSON) for a stereo
// chain of peaking filters with these gains in dB, whose output plays on the
// sink named `target_sink` and stays off other sinks.
std::string FilterChainArguments(const EqBands& gains, const EqualiserNodeNames& names, const std::string& target_sink);

// The band gains as the filter's control parameters ("eq_band_1:Gain", 3.0),
// as the running filter takes them.
std::vector<std::pair<std::string, float>> EqualiserGainControls(const EqBands& gains);

}  // namespace brontal::audio
