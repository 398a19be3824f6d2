#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "audio_link/band_levels.h"
#include "audio_link/capture_link.h"

namespace brontal::audio_capture {

// The frequency layout of a spectrum frame. The driver makes its 25 band
// levels from the first 125 values (the mean of the first four of each five),
// so those carry the whole musical range and the rest stay 0: 30 Hz to 16 kHz
// cut into 25 bands of equal width on a logarithmic scale (0.36 octave, about
// 4.4 semitones each; band b runs from 30 Hz * (16000 / 30)^(b / 25) up to the
// start of band b + 1, so band 13 from 786 to 1010 Hz). All five values of a
// band carry its strongest magnitude: a single note lights its band as much
// as a chord does.
inline constexpr double kLowestFrequency = 30.0;
inline constexpr double kHighestFrequency = 16000.0;
using audio_link::kBandCount;
using audio_link::kValuesPerBand;

// A value's size is the strongest magnitude within its range, in decibels
// relative to a full-scale sine: 0 for -70 dB and below up to 1000 at full
// scale (14.3 per dB). Its sign alternates from frame to frame: the driver
// takes the absolute difference of consecutive frames, which so becomes the
// sum of the two latest magnitudes, and a band's level (0..2000, 28.6 per dB)
// shows how loud the band is rather than how much it just changed. Mere
// changes would leave a held chord dark and fill little of the range.
inline constexpr std::int32_t kTopMagnitude = 1000;
inline constexpr std::int32_t kTopLevel = 2 * kTopMagnitude;
inline constexpr double kFloorDecibels = -70.0;

struct AnalysedFrame {
  audio_link::Spectrum spectrum{};
  std::uint8_t loudness = 0;  // of the newest samples: 0 at -60 dB and below, 255 at full scale
};

// Spectra of a sound, one per hop of new samples: a Hann window over the
// latest samples, a real FFT (KissFFT) of the power of two that gives at most
// 12 Hz per bin (4096 at 44.1 and 48 kHz), a hop of an eighth window (512
// samples: 86 or 94 frames a second). The driver hands a keyboard one frame
// in three, and its music step comes every 31 ms and takes the newest frame
// or else silence: at this rate nearly every step gets a fresh one, and a
// sound reaches the keys one hop sooner.
class SpectrumAnalyser {
 public:
  explicit SpectrumAnalyser(unsigned sample_rate);
  ~SpectrumAnalyser();
  SpectrumAnalyser(const SpectrumAnalyser&) = delete;
  SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

  static std::size_t WindowSizeFor(unsigned sample_rate);
  static std::size_t HopSizeFor(unsigned sample_rate) { return WindowSizeFor(sample_rate) / kHopsPerWindow; }

  std::size_t HopSize() const { return window_.size() / kHopsPerWindow; }

  // Takes the next HopSize() samples; the frame covers the window that ends
  // with them (silence before the first).
  const AnalysedFrame& Push(std::span<const float> hop);

 private:
  static constexpr std::size_t kHopsPerWindow = 8;
  struct Band {
    double centre;           // in FFT bins
    std::size_t first, end;  // the bins that lie within it
  };
  class Fft;

  std::vector<float> window_;   // Hann
  std::vector<float> history_;  // the latest window of samples
  std::vector<float> weighted_;
  std::vector<float> magnitudes_;  // of each FFT bin, as the amplitude of a sine
  std::vector<Band> bands_;
  std::unique_ptr<Fft> fft_;
  AnalysedFrame frame_;
  std::int32_t sign_ = 1;
};

}  // namespace brontal::audio_capture
