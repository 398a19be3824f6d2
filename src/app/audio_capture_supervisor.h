#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "app/restart_backoff.h"
#include "audio_link/capture_link.h"
#include "support/unique_fd.h"

namespace brontal {

class ChildProgram;
class LocalBus;

inline constexpr std::string_view kCaptureProgramName = "brontal-audio";

// Keeps the capture program, brontal-audio, running while the sound is
// wanted, and tells it what it needs, all on a thread of its own (the UI
// thread never waits for it):
// - It is started (from this program's folder) the first time capture is
//   wanted, unless one already runs (its lock is held): that one is greeted
//   instead. Once up it stays, capturing only while wanted.
// - Greeting, after every start: kHello (lParam: this process's id), kReset,
//   kReady; then the style colour and kCaptureOn or kCaptureOff.
// - A program started here is watched through its pid file descriptor, one
//   found running through its lock, once a second. When it is lost (or does
//   not answer a command within the limit) it is started again after a
//   growing wait; the user hears once per outage.
// - Stop says kCaptureOff, kGoodbye, kQuit. A program started here that has
//   not ended within the quit limit is terminated; another's is only asked.
class AudioCaptureSupervisor {
 public:
  struct Timing {
    std::chrono::milliseconds first_retry{1000};
    std::chrono::milliseconds longest_retry{60000};
    std::chrono::milliseconds steady_run{30000};  // a run this long ends an outage
    std::chrono::milliseconds start_limit{5000};  // from the start until the greeting is taken
    std::chrono::milliseconds command_limit{300};
    std::chrono::milliseconds colour_limit{1500};
    std::chrono::milliseconds quit_limit{1000};  // from kQuit until the end
    std::chrono::milliseconds kill_grace{500};   // from SIGTERM until SIGKILL
    std::chrono::milliseconds lock_probe{1000};  // how often a program found running is checked
  };
  struct Setup {
    std::filesystem::path program;
    std::filesystem::path lock_file;
    Timing timing;
  };
  // brontal-audio beside this program, its lock in the bus's folder.
  static Setup InstalledSetup(const LocalBus& bus);

  // `notice` hears, on the supervisor's thread, one sentence per outage.
  AudioCaptureSupervisor(const LocalBus& bus, Setup setup, std::function<void(const std::string&)> notice);
  ~AudioCaptureSupervisor();
  AudioCaptureSupervisor(const AudioCaptureSupervisor&) = delete;
  AudioCaptureSupervisor& operator=(const AudioCaptureSupervisor&) = delete;

  void Start();
  // Says goodbye and returns once the thread has ended.
  void Stop();

  // Any thread; only changes are sent.
  void SetCaptureWanted(bool wanted);
  void SetStyleColour(const audio_link::StyleColour& colour);

  // Whether a capture program has taken the greeting and not been lost since.
  bool linked() const { return linked_.load(std::memory_order_relaxed); }
  // How many times the program was started here.
  int starts() const { return starts_.load(std::memory_order_relaxed); }

 private:
  void Run();
  // The requests of the other threads, into the thread's own state.
  void TakeRequests();
  void Wake();
  bool Stopping() const;
  // Waits at most `limit` (forever when negative) for a request, the stop or
  // the child's end.
  void Wait(std::chrono::milliseconds limit);
  // How long the loop may sleep: forever (negative) when nothing is due.
  std::chrono::milliseconds NextWake() const;
  void Watch();
  void BringUp();
  // The program is of no use (gone, or not answering): one started here is
  // ended, the next start is planned and the user told once per outage.
  // `why` follows the program's name: "exited with status 1".
  void Lost(std::string why, bool not_started = false);  // a copy: `why` may be the child's own
  bool Command(audio_link::CaptureCommand command, std::intptr_t lparam = 0);
  void SendColour(const audio_link::StyleColour& colour);
  void SayGoodbye();

  const LocalBus& bus_;
  const Setup setup_;
  const std::function<void(const std::string&)> notice_;
  const std::uint32_t command_message_;
  const UniqueFd wake_;  // eventfd: a request or the stop

  mutable std::mutex mutex_;
  bool wanted_ = false;                                // guarded
  std::optional<audio_link::StyleColour> new_colour_;  // guarded: set, not yet taken by the thread
  bool stopping_ = false;                              // guarded

  // The thread's own.
  std::unique_ptr<ChildProgram> child_;
  RestartBackoff backoff_;
  std::chrono::steady_clock::time_point next_start_{};
  std::chrono::steady_clock::time_point linked_since_{};
  std::chrono::steady_clock::time_point next_probe_{};
  bool wanted_now_ = false;
  std::optional<bool> capture_told_;  // what the linked program was told last
  std::optional<audio_link::StyleColour> colour_;
  bool colour_told_ = false;

  std::atomic<bool> linked_{false};
  std::atomic<int> starts_{0};
  std::thread thread_;  // joined by Stop, before the members above go
};

}  // namespace brontal
