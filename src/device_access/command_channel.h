#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>

#include "device_access/command_codes.h"
#include "device_access/command_frame.h"
#include "device_access/hid_device.h"

namespace brontal {

// Result of every command operation. Counts never travel in it.
enum class CommandResult : std::int32_t {
  kSuccess = 1,
  kNoReply = 0,             // channel closed, or no matching reply (time-out, stop, read failure)
  kWriteFailed = -1,        // the request could not be written in time
  kReceiverNoAnswer = -101, // receiver link: the wireless device is out of reach or asleep
  kStatusFF = -102,         // the reply's status byte was 0xFF
  kStatusFE = -103,         // the reply's status byte was 0xFE
  kBadIndex = -201,         // a per-index command got an index above 3; nothing was sent
};


inline constexpr std::size_t kDeviceInfoSize = 34;

// Link types of SetLink.
inline constexpr int kLinkWired = 1;
inline constexpr int kLinkReceiver = 2;

// The request/response channel of one device over its cable collection and its
// receiver collection; the link setting picks the one that carries traffic.
//
// Locks: the command lock serialises ordinary packets, the lighting lock the
// per-key colour packets (0x0B, 0x12), and the exchange lock each packet's
// write together with its reads on the collection. Always command (or lighting) lock
// first, exchange lock second; all three are re-entrant. Locks are taken per
// packet, so other senders' packets may fall between those of one transfer.
class CCommandChannel {
 public:
  static constexpr std::uint16_t kMaxDataLength = 512;
  static constexpr std::uint16_t kLayerStride = 0x180;
  static constexpr std::uint8_t kWiredChunk = 56;
  static constexpr std::uint8_t kReceiverChunk = 24;
  static constexpr std::uint32_t kWiredTimeoutMs = 1000;
  static constexpr std::uint32_t kReceiverTimeoutMs = 5000;
  static constexpr std::uint32_t kQuickReceiverTimeoutMs = 500;

  CCommandChannel() = default;
  ~CCommandChannel();
  CCommandChannel(const CCommandChannel&) = delete;
  CCommandChannel& operator=(const CCommandChannel&) = delete;

  // Channel control.
  void SetLink(int link_type);
  bool SetDataLength(std::uint16_t length);
  std::uint16_t data_length() const { return data_length_; }
  std::uint16_t layer_stride() const { return kLayerStride; }
  std::uint8_t chunk_size() const { return chunk_size_; }
  bool receiver_link() const { return receiver_link_; }
  bool busy() const { return busy_; }
  bool open() const { return open_; }
  void set_open(bool open) { open_ = open; }
  bool polling_paused() const { return polling_paused_; }
  void set_polling_paused(bool paused) { polling_paused_ = paused; }

  // The two collections, opened and closed by the device and discovery code
  // under the exchange lock.
  CHidDevice& wired_collection() { return wired_; }
  CHidDevice& receiver_collection() { return receiver_; }
  std::recursive_mutex& exchange_lock() { return exchange_lock_; }

  // One packet each way; `request` shorter than 64 bytes is zero-filled.
  // Exchange traces both packets; QuickExchange (frames only) is silent and
  // waits only 500 ms on the receiver link.
  CommandResult Exchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                         std::size_t* bytes_read);
  CommandResult QuickExchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                              std::size_t* bytes_read);

  // Shapes of the commands. Destinations and sources hold at least the bytes
  // the shape transfers; a shorter span transfers only what fits.
  CommandResult SendCommand(std::uint8_t code);
  CommandResult ReadBlock(std::uint8_t code, std::span<std::uint8_t> destination, std::size_t length);
  CommandResult ReadIndexBlock(std::uint8_t code, int index, std::span<std::uint8_t> destination);
  CommandResult WriteIndexBlock(std::uint8_t code, int index, std::span<const std::uint8_t> source);
  CommandResult ReadAt(std::uint8_t code, std::span<std::uint8_t> destination, std::uint32_t base);
  CommandResult WriteAt(std::uint8_t code, std::span<const std::uint8_t> source, std::uint32_t base);
  CommandResult ReadStrided(std::uint8_t code, std::span<std::uint8_t> destination, int index, std::uint32_t stride);
  CommandResult WriteStrided(std::uint8_t code, std::span<const std::uint8_t> source, int index,
                             std::uint32_t stride);
  CommandResult ReadPacket(std::uint8_t code, std::span<std::uint8_t> destination, std::uint8_t length,
                           std::uint16_t address);
  CommandResult StreamFrame(std::span<const std::uint8_t> source);
  bool QueryLink();

  // The commands by name.
  CommandResult Begin() { return SendCommand(command::kBegin); }
  CommandResult End();  // after a 10 ms pause, taken before the lock
  CommandResult ReadDeviceInfo(std::span<std::uint8_t> destination) {
    return ReadBlock(command::kDeviceInfo, destination, kDeviceInfoSize);
  }
  CommandResult ReadKeyTable(std::span<std::uint8_t> destination) {
    return ReadBlock(command::kReadKeyTable, destination, data_length_);
  }
  CommandResult ReadSecondKeyTable(std::span<std::uint8_t> destination) {
    return ReadBlock(command::kReadSecondKeyTable, destination, data_length_);
  }
  CommandResult ReadKeyByteTable(std::span<std::uint8_t> destination) {
    return ReadBlock(command::kReadKeyByteTable, destination, data_length_ / 3);
  }
  CommandResult WriteMacros(std::span<const std::uint8_t> source) { return WriteAt(command::kWriteMacros, source, 0); }
  CommandResult WriteShoot(std::span<const std::uint8_t> source);
  CommandResult HostTakesLighting() { return SendCommand(command::kHostLighting); }

 private:
  enum class LockKind { kCommand, kLighting, kNone };
  struct Transfer {
    std::uint8_t code;
    std::size_t total;
    std::uint32_t base;
    std::size_t chunk;
    LockKind lock;
  };
  CommandResult RunExchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                            std::size_t* bytes_read, bool quick);
  CommandResult ExchangeUnder(LockKind lock, const Frame& request, Frame& reply);
  CommandResult ChunkedRead(const Transfer& t, std::span<std::uint8_t> destination);
  CommandResult ChunkedWrite(const Transfer& t, std::span<const std::uint8_t> source);
  std::recursive_mutex* LockFor(LockKind kind);
  CHidDevice& active() { return receiver_link_ ? receiver_ : wired_; }

  std::atomic<std::uint16_t> data_length_{kMaxDataLength};
  std::atomic<bool> busy_{false};
  std::atomic<bool> open_{false};
  std::atomic<bool> polling_paused_{false};
  CHidDevice wired_;
  CHidDevice receiver_;
  std::recursive_mutex exchange_lock_;
  std::recursive_mutex command_lock_;
  std::recursive_mutex lighting_lock_;
  std::atomic<bool> receiver_link_{false};
  std::atomic<std::uint8_t> chunk_size_{kReceiverChunk};
};

}  // namespace brontal
