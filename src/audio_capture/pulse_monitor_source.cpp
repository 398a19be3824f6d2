#include "audio_capture/pulse_monitor_source.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstring>

namespace brontal::audio_capture {
namespace {

constexpr const char* kMonitorOfDefaultOutput = "@DEFAULT_MONITOR@";
// Samples kept for a reader that falls behind; older ones are dropped.
constexpr std::size_t kMostKept = PulseMonitorSource::kSampleRate;

std::string ErrorText(pa_context* context) { return pa_strerror(pa_context_errno(context)); }

// The server's lock for a scope, on any thread but the server's own.
class ServerLock {
 public:
  explicit ServerLock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
  ~ServerLock() { pa_threaded_mainloop_unlock(loop_); }
  ServerLock(const ServerLock&) = delete;
  ServerLock& operator=(const ServerLock&) = delete;

 private:
  pa_threaded_mainloop* loop_;
};

}  // namespace

PulseMonitorSource::PulseMonitorSource() = default;

std::unique_ptr<PulseMonitorSource> PulseMonitorSource::Open(std::size_t fragment, std::stop_token stop,
                                                             std::string& error) {
  std::unique_ptr<PulseMonitorSource> source(new PulseMonitorSource());
  if (!source->Connect(fragment, stop, error)) return nullptr;
  return source;
}

bool PulseMonitorSource::Connect(std::size_t fragment, std::stop_token stop, std::string& error) {
  const auto limit = std::chrono::steady_clock::now() + kConnectLimit;
  loop_ = pa_threaded_mainloop_new();
  if (!loop_) {
    error = "the sound server's client library cannot start";
    return false;
  }
  {
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Brontal Driver audio lighting");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "brontal-audio");
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), nullptr, properties);
    pa_proplist_free(properties);
  }
  if (!context_) {
    error = "the sound server's client library cannot start";
    return false;
  }
  pa_context_set_state_callback(context_, &OnContextState, this);
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    error = "no sound server: " + ErrorText(context_);
    return false;
  }
  if (pa_threaded_mainloop_start(loop_) < 0) {
    error = "the sound server's client thread cannot start";
    return false;
  }
  if (!WaitUntilReady(limit, stop, error)) {
    error = "no sound server: " + error;
    return false;
  }

  if (!Record(fragment, error)) return false;
  if (!WaitUntilReady(limit, stop, error)) {
    error = "the sound server does not record its output: " + error;
    return false;
  }
  return true;
}

bool PulseMonitorSource::Record(std::size_t fragment, std::string& error) {
  ServerLock lock(loop_);
  const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, kSampleRate, 1};
  stream_ = pa_stream_new(context_, "Audio-reactive lighting", &format, nullptr);
  if (!stream_) {
    error = "the sound server refuses a recording: " + ErrorText(context_);
    return false;
  }
  {
    std::scoped_lock state(mutex_);
    state_ = State::kConnecting;
  }
  pa_stream_set_state_callback(stream_, &OnStreamState, this);
  pa_stream_set_read_callback(stream_, &OnReadable, this);
  const auto any = static_cast<std::uint32_t>(-1);
  const pa_buffer_attr buffer{any, any, any, any, static_cast<std::uint32_t>(fragment * sizeof(float))};
  if (pa_stream_connect_record(stream_, kMonitorOfDefaultOutput, &buffer, PA_STREAM_ADJUST_LATENCY) < 0) {
    error = "the sound server refuses to record its output: " + ErrorText(context_);
    return false;
  }
  return true;
}

bool PulseMonitorSource::WaitUntilReady(std::chrono::steady_clock::time_point limit, std::stop_token stop,
                                        std::string& error) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_until(lock, stop, limit, [this] { return state_ != State::kConnecting; })) {
    error = stop.stop_requested() ? "stopped while connecting"
                                  : "no answer within " + std::to_string(kConnectLimit.count()) + " ms";
    return false;
  }
  if (state_ == State::kFailed) error = failure_;
  return state_ == State::kReady;
}

void PulseMonitorSource::Fail(std::string reason) {
  {
    std::scoped_lock lock(mutex_);
    if (state_ != State::kFailed) failure_ = std::move(reason);
    state_ = State::kFailed;
  }
  changed_.notify_all();
}

PulseMonitorSource::~PulseMonitorSource() {
  if (!loop_) return;
  {
    ServerLock lock(loop_);
    if (stream_) {
      pa_stream_set_state_callback(stream_, nullptr, nullptr);
      pa_stream_set_read_callback(stream_, nullptr, nullptr);
      pa_stream_disconnect(stream_);
      pa_stream_unref(stream_);
    }
    if (context_) {
      pa_context_set_state_callback(context_, nullptr, nullptr);
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
  }
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

void PulseMonitorSource::OnContextState(pa_context* context, void* self) {
  auto& source = *static_cast<PulseMonitorSource*>(self);
  switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
      {
        std::scoped_lock lock(source.mutex_);
        if (source.state_ == State::kConnecting) source.state_ = State::kReady;
      }
      source.changed_.notify_all();
      break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED: source.Fail("the sound server is gone: " + ErrorText(context)); break;
    default: break;
  }
}

void PulseMonitorSource::OnStreamState(pa_stream* stream, void* self) {
  auto& source = *static_cast<PulseMonitorSource*>(self);
  switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY: {
      {
        std::scoped_lock lock(source.mutex_);
        if (source.state_ == State::kConnecting) source.state_ = State::kReady;
      }
      source.changed_.notify_all();
      break;
    }
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED: source.Fail("the recording ended: " + ErrorText(pa_stream_get_context(stream))); break;
    default: break;
  }
}

void PulseMonitorSource::OnReadable(pa_stream* stream, std::size_t /*bytes*/, void* self) {
  auto& source = *static_cast<PulseMonitorSource*>(self);
  while (pa_stream_readable_size(stream) > 0) {
    const void* data = nullptr;
    std::size_t size = 0;
    if (pa_stream_peek(stream, &data, &size) < 0) {
      source.Fail("the recording cannot be read: " + ErrorText(pa_stream_get_context(stream)));
      return;
    }
    if (size == 0) break;
    {
      std::scoped_lock lock(source.mutex_);
      std::vector<float>& kept = source.samples_;
      const std::size_t count = size / sizeof(float), at = kept.size();
      kept.resize(at + count, 0.0f);  // a hole in the recording is silence
      if (data) std::memcpy(kept.data() + at, data, count * sizeof(float));
      if (kept.size() > kMostKept) kept.erase(kept.begin(), kept.end() - static_cast<std::ptrdiff_t>(kMostKept));
    }
    pa_stream_drop(stream);
  }
  source.changed_.notify_all();
}

ReadResult PulseMonitorSource::Read(std::span<float> block, std::stop_token stop, std::string& error) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, stop, [&] { return state_ == State::kFailed || samples_.size() >= block.size(); });
  if (state_ == State::kFailed) {
    error = failure_;
    return ReadResult::kFailed;
  }
  if (stop.stop_requested()) return ReadResult::kStopped;
  const auto end = samples_.begin() + static_cast<std::ptrdiff_t>(block.size());
  std::copy(samples_.begin(), end, block.begin());
  samples_.erase(samples_.begin(), end);
  return ReadResult::kRead;
}

}  // namespace brontal::audio_capture
