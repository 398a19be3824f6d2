#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "audio_capture/sound_source.h"
#include "audio_capture/wav_file.h"

namespace brontal::audio_capture {

// A WAV file played at its own pace: a block is handed over when its last
// sample would have been captured from a playing sound, counted from the
// first read. The end of the sound is padded with silence to a whole block;
// with `loop` the sound starts again instead of ending.
class WavFileSource final : public SoundSource {
 public:
  WavFileSource(std::shared_ptr<const WavSound> sound, bool loop) : sound_(std::move(sound)), loop_(loop) {}

  unsigned SampleRate() const override { return sound_->sample_rate; }
  ReadResult Read(std::span<float> block, std::stop_token stop, std::string& error) override;

 private:
  using Clock = std::chrono::steady_clock;

  const std::shared_ptr<const WavSound> sound_;
  const bool loop_;
  std::size_t position_ = 0;     // in the sound
  std::uint64_t delivered_ = 0;  // samples handed over
  Clock::time_point start_;
};

}  // namespace brontal::audio_capture
