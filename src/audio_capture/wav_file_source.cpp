#include "audio_capture/wav_file_source.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace brontal::audio_capture {

ReadResult WavFileSource::Read(std::span<float> block, std::stop_token stop, std::string& /*error*/) {
  const std::vector<float>& samples = sound_->samples;
  if (position_ >= samples.size() && (!loop_ || samples.empty())) return ReadResult::kEnded;
  if (delivered_ == 0) start_ = Clock::now();
  for (std::size_t filled = 0; filled < block.size();) {
    if (position_ >= samples.size()) {
      if (!loop_) {
        std::fill(block.begin() + static_cast<std::ptrdiff_t>(filled), block.end(), 0.0f);
        break;
      }
      position_ = 0;
    }
    const std::size_t count = std::min(block.size() - filled, samples.size() - position_);
    std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(position_), count,
                block.begin() + static_cast<std::ptrdiff_t>(filled));
    position_ += count;
    filled += count;
  }
  delivered_ += block.size();
  const auto due = start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                static_cast<double>(delivered_) / static_cast<double>(SampleRate())));
  std::mutex mutex;
  std::unique_lock lock(mutex);
  std::condition_variable_any().wait_until(lock, stop, due, [] { return false; });
  return stop.stop_requested() ? ReadResult::kStopped : ReadResult::kRead;
}

}  // namespace brontal::audio_capture
