#include "audio_capture/spectrum_analyser.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brontal::audio_capture {

class SpectrumAnalyser::Fft {
 public:
  explicit Fft(std::size_t size)
      : config_(kiss_fftr_alloc(static_cast<int>(size), 0, nullptr, nullptr)), bins_(size / 2 + 1) {}
  ~Fft() { kiss_fftr_free(config_); }
  Fft(const Fft&) = delete;
  Fft& operator=(const Fft&) = delete;

  const std::vector<kiss_fft_cpx>& Transform(const std::vector<float>& samples) {
    kiss_fftr(config_, samples.data(), bins_.data());
    return bins_;
  }

 private:
  kiss_fftr_cfg config_;
  std::vector<kiss_fft_cpx> bins_;
};

namespace {

constexpr double kMostHertzPerBin = 12.0;
constexpr double kLoudnessFloorDecibels = -60.0;

// The edge below band b (b = kBandCount: the top edge), in Hz.
double BandEdge(std::size_t b) {
  return kLowestFrequency *
         std::pow(kHighestFrequency / kLowestFrequency, static_cast<double>(b) / static_cast<double>(kBandCount));
}

std::int32_t ScaledMagnitude(double amplitude) {
  if (!(amplitude > 0)) return 0;
  const double decibels = 20.0 * std::log10(amplitude);
  const double scaled = (decibels - kFloorDecibels) * kTopMagnitude / -kFloorDecibels;
  return static_cast<std::int32_t>(std::lround(std::clamp(scaled, 0.0, double{kTopMagnitude})));
}

}  // namespace

std::size_t SpectrumAnalyser::WindowSizeFor(unsigned sample_rate) {
  std::size_t size = 256;
  while (static_cast<double>(sample_rate) / static_cast<double>(size) > kMostHertzPerBin) size *= 2;
  return size;
}

SpectrumAnalyser::SpectrumAnalyser(unsigned sample_rate)
    : window_(WindowSizeFor(sample_rate)),
      history_(window_.size()),
      weighted_(window_.size()),
      magnitudes_(window_.size() / 2 + 1),
      fft_(std::make_unique<Fft>(window_.size())) {
  const std::size_t size = window_.size();
  for (std::size_t n = 0; n < size; ++n) {
    const double s = std::sin(std::numbers::pi * static_cast<double>(n) / static_cast<double>(size));
    window_[n] = static_cast<float>(s * s);
  }
  const double bins_per_hertz = static_cast<double>(size) / sample_rate;
  const std::size_t last_bin = size / 2;
  for (std::size_t b = 0; b < kBandCount; ++b) {
    const double low = BandEdge(b) * bins_per_hertz, high = BandEdge(b + 1) * bins_per_hertz;
    const auto first = std::min(static_cast<std::size_t>(std::ceil(low)), last_bin + 1);
    const auto end = std::clamp(static_cast<std::size_t>(std::ceil(high)), first, last_bin + 1);
    bands_.push_back({std::sqrt(low * high), first, end});
  }
}

SpectrumAnalyser::~SpectrumAnalyser() = default;

const AnalysedFrame& SpectrumAnalyser::Push(std::span<const float> hop) {
  const std::size_t size = window_.size();
  const std::size_t fresh = std::min(hop.size(), size);
  std::copy(history_.begin() + static_cast<std::ptrdiff_t>(fresh), history_.end(), history_.begin());
  double energy = 0;
  for (std::size_t i = 0; i < fresh; ++i) {
    const float sample = hop[hop.size() - fresh + i];
    const float kept = std::isfinite(sample) ? sample : 0.0f;
    history_[size - fresh + i] = kept;
    energy += double{kept} * kept;
  }
  for (std::size_t n = 0; n < size; ++n) weighted_[n] = history_[n] * window_[n];

  // A sine of amplitude A peaks at A * size / 4 under the Hann window.
  const std::vector<kiss_fft_cpx>& bins = fft_->Transform(weighted_);
  const double to_amplitude = 4.0 / static_cast<double>(size);
  for (std::size_t k = 0; k < bins.size(); ++k)
    magnitudes_[k] = static_cast<float>(std::hypot(bins[k].r, bins[k].i) * to_amplitude);

  frame_.spectrum.fill(0);
  for (std::size_t b = 0; b < kBandCount; ++b) {
    const Band& band = bands_[b];
    double strongest = 0;
    // A band narrower than a bin has no bin of its own: the magnitude between
    // the bins around its centre.
    const auto below = static_cast<std::size_t>(band.centre);
    if (below + 1 < magnitudes_.size()) {
      const double between = band.centre - static_cast<double>(below);
      strongest = magnitudes_[below] * (1 - between) + magnitudes_[below + 1] * between;
    }
    for (std::size_t k = band.first; k < band.end; ++k) strongest = std::max(strongest, double{magnitudes_[k]});
    const auto values = frame_.spectrum.begin() + static_cast<std::ptrdiff_t>(b * kValuesPerBand);
    std::fill_n(values, kValuesPerBand, sign_ * ScaledMagnitude(strongest));
  }
  sign_ = -sign_;

  // The level of a sine whose mean square this is.
  const double level = fresh ? std::sqrt(2 * energy / static_cast<double>(fresh)) : 0;
  const double decibels = level > 0 ? 20.0 * std::log10(level) : kLoudnessFloorDecibels;
  const double loudness = (decibels - kLoudnessFloorDecibels) * 255.0 / -kLoudnessFloorDecibels;
  frame_.loudness = static_cast<std::uint8_t>(std::lround(std::clamp(loudness, 0.0, 255.0)));
  return frame_;
}

}  // namespace brontal::audio_capture
