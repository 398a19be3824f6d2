#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio_capture/sound_source.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace brontal::audio_capture {

// What the desktop plays: the monitor of the default output, recorded through
// libpulse (a PulseAudio server, or PipeWire's Pulse server) as one channel
// of 32-bit floats, the server mixing the channels down. The stream follows
// the default output when it changes.
class PulseMonitorSource final : public SoundSource {
 public:
  static constexpr unsigned kSampleRate = 48000;
  // Connecting never takes longer, whatever the server does.
  static constexpr std::chrono::milliseconds kConnectLimit{3000};

  // Recording, or nothing with the reason (also when `stop` is requested
  // meanwhile). The server is asked to hand the samples over `fragment` at a
  // time, which keeps the delay that short.
  static std::unique_ptr<PulseMonitorSource> Open(std::size_t fragment, std::stop_token stop, std::string& error);
  ~PulseMonitorSource() override;
  PulseMonitorSource(const PulseMonitorSource&) = delete;
  PulseMonitorSource& operator=(const PulseMonitorSource&) = delete;

  unsigned SampleRate() const override { return kSampleRate; }
  ReadResult Read(std::span<float> block, std::stop_token stop, std::string& error) override;

 private:
  enum class State { kConnecting, kReady, kFailed };

  PulseMonitorSource();
  bool Connect(std::size_t fragment, std::stop_token stop, std::string& error);
  bool Record(std::size_t fragment, std::string& error);
  // Waits for the context, then the stream, to leave kConnecting.
  bool WaitUntilReady(std::chrono::steady_clock::time_point limit, std::stop_token stop, std::string& error);
  void Fail(std::string reason);

  static void OnContextState(pa_context* context, void* self);
  static void OnStreamState(pa_stream* stream, void* self);
  static void OnReadable(pa_stream* stream, std::size_t bytes, void* self);

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;

  // Filled by the server's thread, emptied by the reader.
  std::mutex mutex_;
  std::condition_variable_any changed_;
  State state_ = State::kConnecting;
  std::string failure_;
  std::vector<float> samples_;
};

}  // namespace brontal::audio_capture
