#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

namespace brontal::sim {

// What happens to the answer of one command.
struct ReplyFault {
  bool unplug = false;  // no answer; the transport unplugs the device
  bool drop = false;    // the command takes effect, its reply is lost
  std::optional<std::uint8_t> status;  // the device rejects the command with this status
  bool wrong_echo = false;             // the reply carries another command code
  unsigned stray_replies = 0;          // wrong-echo reports sent ahead of the reply
  std::chrono::microseconds delay{0};  // beyond the transport's own latency
};

// Faults armed on one device, consumed command by command. Thread-safe.
class FaultPlan {
 public:
  // Added to every reply.
  void SetExtraLatency(std::chrono::microseconds latency);
  void DropReplies(unsigned count);
  void WrongEcho(unsigned count);
  // The next reply is preceded by `count` reports with a wrong echo.
  void StrayRepliesBeforeNextReply(unsigned count);
  void ErrorStatus(std::uint8_t status, unsigned count);
  void DelayNextReply(std::chrono::microseconds delay);
  // The next `commands` commands are answered; the one after them is not, and
  // asks the transport to unplug the device.
  void UnplugAfter(unsigned commands);
  void Clear();

  ReplyFault TakeForNextCommand();

 private:
  std::mutex mutex_;
  std::chrono::microseconds extra_latency_{0};
  unsigned drop_ = 0;
  unsigned wrong_echo_ = 0;
  unsigned stray_replies_ = 0;
  unsigned error_count_ = 0;
  std::uint8_t error_status_ = 0;
  std::optional<std::chrono::microseconds> next_delay_;
  std::optional<unsigned> unplug_after_;
};

}  // namespace brontal::sim
