#include "device_access/command_channel.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "support/debug_log.h"

namespace brontal {
namespace {

void TraceFrame(const char* label, std::span<const std::uint8_t, kFrameSize> frame) {
  // One write for the three lines: the log is written for every packet.
  TraceLines({label, FormatFrameLine(frame.first<32>()), FormatFrameLine(frame.last<32>())});
}

CommandResult StatusResult(const Frame& reply) {
  switch (reply[frame_offset::kStatus]) {
    case kStatusError: return CommandResult::kStatusFF;
    case kStatusError2: return CommandResult::kStatusFE;
    default: return CommandResult::kSuccess;
  }
}

constexpr int kMaxIndex = 3;

}  // namespace

CCommandChannel::~CCommandChannel() {
  busy_ = false;
  wired_.Close();
  receiver_.Close();
}

void CCommandChannel::SetLink(int link_type) {
  const bool receiver = link_type == kLinkReceiver;
  receiver_link_ = receiver;
  chunk_size_ = receiver ? kReceiverChunk : kWiredChunk;
}

bool CCommandChannel::SetDataLength(std::uint16_t length) {
  if (length > kMaxDataLength) return false;
  data_length_ = length;
  return true;
}

CommandResult CCommandChannel::Exchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                                        std::size_t* bytes_read) {
  return RunExchange(request, reply, bytes_read, false);
}

CommandResult CCommandChannel::QuickExchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                                             std::size_t* bytes_read) {
  return RunExchange(request, reply, bytes_read, true);
}

CommandResult CCommandChannel::RunExchange(std::span<const std::uint8_t> request, std::span<std::uint8_t> reply,
                                           std::size_t* bytes_read, bool quick) {
  busy_ = true;
  if (bytes_read) *bytes_read = 0;
  CommandResult result = CommandResult::kNoReply;
  if (open_) {
    Frame packet{};
    std::copy_n(request.begin(), std::min(request.size(), kFrameSize), packet.begin());
    if (!quick) TraceFrame("命令", packet);

    const bool receiver = receiver_link_;
    const std::uint32_t limit = !receiver ? kWiredTimeoutMs : quick ? kQuickReceiverTimeoutMs : kReceiverTimeoutMs;
    // One hold for the write and its reads: with two, a second sender could
    // write between them and the two read sequences take each other's replies
    // (a lost answer, or the data of another address accepted as this one's).
    std::scoped_lock lock(exchange_lock_);
    // What waits on the handle now answers nothing this request asked.
    active().DiscardQueuedReports();
    if (!active().WriteReport(packet, nullptr, limit)) {
      result = CommandResult::kWriteFailed;
    } else {
      for (int attempt = 0; attempt < 2; ++attempt) {
        const bool got = active().ReadReport(reply, bytes_read, limit);
        result = got ? CommandResult::kSuccess : CommandResult::kNoReply;
        const std::uint8_t echo = reply.size() > frame_offset::kCommand ? reply[frame_offset::kCommand] : 0;
        if (echo == packet[frame_offset::kCommand]) break;
        if (receiver && echo == kReceiverNoAnswer) {
          result = CommandResult::kReceiverNoAnswer;
          break;
        }
      }
      if (!quick) {
        Frame copy{};
        std::copy_n(reply.begin(), std::min(reply.size(), kFrameSize), copy.begin());
        TraceFrame("返回", copy);
      }
    }
  }
  busy_ = false;
  return result;
}

std::recursive_mutex* CCommandChannel::LockFor(LockKind kind) {
  switch (kind) {
    case LockKind::kCommand: return &command_lock_;
    case LockKind::kLighting: return &lighting_lock_;
    case LockKind::kNone: return nullptr;
  }
  return nullptr;
}

CommandResult CCommandChannel::ExchangeUnder(LockKind kind, const Frame& request, Frame& reply) {
  std::recursive_mutex* lock = LockFor(kind);
  if (lock) lock->lock();
  const CommandResult result = Exchange(request, reply, nullptr);
  if (lock) lock->unlock();
  if (result != CommandResult::kSuccess) return result;
  return StatusResult(reply);
}

CommandResult CCommandChannel::ChunkedRead(const Transfer& t, std::span<std::uint8_t> destination) {
  for (std::size_t position = 0; position < t.total; position += t.chunk) {
    const std::size_t length = std::min(t.chunk, t.total - position);
    const Frame request =
        BuildRequest(t.code, static_cast<std::uint8_t>(length), static_cast<std::uint16_t>(t.base + position));
    Frame reply{};
    if (const CommandResult r = ExchangeUnder(t.lock, request, reply); r != CommandResult::kSuccess) return r;
    if (position < destination.size()) {
      const std::size_t n = std::min({length, kFramePayloadSize, destination.size() - position});
      std::copy_n(reply.begin() + frame_offset::kPayload, n,
                  destination.begin() + static_cast<std::ptrdiff_t>(position));
    }
  }
  return CommandResult::kSuccess;
}

CommandResult CCommandChannel::ChunkedWrite(const Transfer& t, std::span<const std::uint8_t> source) {
  for (std::size_t position = 0; position < t.total; position += t.chunk) {
    const std::size_t length = std::min(t.chunk, t.total - position);
    const std::span<const std::uint8_t> payload =
        position < source.size() ? source.subspan(position, std::min(length, source.size() - position))
                                 : std::span<const std::uint8_t>{};
    const Frame request =
        BuildRequest(t.code, static_cast<std::uint8_t>(length), static_cast<std::uint16_t>(t.base + position), payload);
    Frame reply{};
    if (const CommandResult r = ExchangeUnder(t.lock, request, reply); r != CommandResult::kSuccess) return r;
  }
  return CommandResult::kSuccess;
}

CommandResult CCommandChannel::SendCommand(std::uint8_t code) {
  Frame reply{};
  return ExchangeUnder(LockKind::kCommand, BuildRequest(code, 0, 0), reply);
}

CommandResult CCommandChannel::End() {
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return SendCommand(command::kEnd);
}

CommandResult CCommandChannel::ReadBlock(std::uint8_t code, std::span<std::uint8_t> destination, std::size_t length) {
  return ChunkedRead({code, length, 0, chunk_size_, LockKind::kCommand}, destination);
}

CommandResult CCommandChannel::ReadIndexBlock(std::uint8_t code, int index, std::span<std::uint8_t> destination) {
  if (index < 0 || index > kMaxIndex) return CommandResult::kBadIndex;
  const auto base = static_cast<std::uint32_t>(index) * kLayerStride;
  return ChunkedRead({code, data_length_, base, chunk_size_, LockKind::kCommand}, destination);
}

CommandResult CCommandChannel::WriteIndexBlock(std::uint8_t code, int index, std::span<const std::uint8_t> source) {
  if (index < 0 || index > kMaxIndex) return CommandResult::kBadIndex;
  const auto base = static_cast<std::uint32_t>(index) * kLayerStride;
  return ChunkedWrite({code, data_length_, base, chunk_size_, LockKind::kCommand}, source);
}

CommandResult CCommandChannel::ReadAt(std::uint8_t code, std::span<std::uint8_t> destination, std::uint32_t base) {
  return ChunkedRead({code, destination.size(), base, chunk_size_, LockKind::kCommand}, destination);
}

CommandResult CCommandChannel::WriteAt(std::uint8_t code, std::span<const std::uint8_t> source, std::uint32_t base) {
  return ChunkedWrite({code, source.size(), base, chunk_size_, LockKind::kCommand}, source);
}

CommandResult CCommandChannel::ReadStrided(std::uint8_t code, std::span<std::uint8_t> destination, int index,
                                           std::uint32_t stride) {
  const std::uint32_t base = static_cast<std::uint32_t>(index) * stride;
  return ChunkedRead({code, destination.size(), base, chunk_size_, LockKind::kCommand}, destination);
}

CommandResult CCommandChannel::WriteStrided(std::uint8_t code, std::span<const std::uint8_t> source, int index,
                                            std::uint32_t stride) {
  const std::uint32_t base = static_cast<std::uint32_t>(index) * stride;
  // The per-key colour writer shares the lighting lock with the frame stream.
  const LockKind lock = code == command::kWriteKeyColours ? LockKind::kLighting : LockKind::kCommand;
  return ChunkedWrite({code, source.size(), base, chunk_size_, lock}, source);
}

CommandResult CCommandChannel::ReadPacket(std::uint8_t code, std::span<std::uint8_t> destination, std::uint8_t length,
                                          std::uint16_t address) {
  Frame reply{};
  const CommandResult r = ExchangeUnder(LockKind::kCommand, BuildRequest(code, length, address), reply);
  if (r != CommandResult::kSuccess) return r;
  const std::size_t n = std::min<std::size_t>({length, kFramePayloadSize, destination.size()});
  std::copy_n(reply.begin() + frame_offset::kPayload, n, destination.begin());
  return r;
}

CommandResult CCommandChannel::StreamFrame(std::span<const std::uint8_t> source) {
  const std::size_t chunk = chunk_size_;
  for (std::size_t position = 0; position < source.size(); position += chunk) {
    // A frame is dropped rather than queued behind a command in flight.
    if (busy_) {
      Trace("放弃灯光数据");
      continue;
    }
    const std::size_t length = std::min(chunk, source.size() - position);
    const Frame request = BuildRequest(command::kLightingFrame, static_cast<std::uint8_t>(length),
                                       static_cast<std::uint16_t>(position), source.subspan(position, length));
    Frame reply{};
    CommandResult r;
    {
      std::scoped_lock lock(lighting_lock_);
      r = QuickExchange(request, reply, nullptr);
    }
    if (r != CommandResult::kSuccess) return r;
    if (const CommandResult status = StatusResult(reply); status != CommandResult::kSuccess) return status;
  }
  return CommandResult::kSuccess;
}

CommandResult CCommandChannel::WriteShoot(std::span<const std::uint8_t> source) {
  return ChunkedWrite({command::kWriteShoot, source.size(), 0, kFramePayloadSize, LockKind::kNone}, source);
}

bool CCommandChannel::QueryLink() {
  if (!receiver_link_) return true;
  Frame reply{};
  std::scoped_lock lock(command_lock_);
  const CommandResult r = Exchange(BuildRequest(command::kQueryLink, 0, 0), reply, nullptr);
  return r == CommandResult::kSuccess && StatusResult(reply) == CommandResult::kSuccess &&
         reply[frame_offset::kPayload] == 0xFF;
}

}  // namespace brontal
