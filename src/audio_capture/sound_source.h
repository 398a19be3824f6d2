#pragma once

#include <span>
#include <stop_token>
#include <string>

namespace brontal::audio_capture {

enum class ReadResult {
  kRead,     // the block is full
  kEnded,    // the sound is over
  kStopped,  // stop was requested
  kFailed,   // the reason is given
};

// Where the sound comes from: one channel, samples in -1..1, delivered as it
// plays. A source is read from one thread.
class SoundSource {
 public:
  virtual ~SoundSource() = default;

  virtual unsigned SampleRate() const = 0;
  // Fills the whole block with the next samples, waiting for them; any wait
  // ends once `stop` is requested.
  virtual ReadResult Read(std::span<float> block, std::stop_token stop, std::string& error) = 0;
};

}  // namespace brontal::audio_capture
