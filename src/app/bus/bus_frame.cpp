#include "app/bus/bus_frame.h"

#include <algorithm>
#include <array>

#include "ui/toolkit/registered_messages.h"

namespace brontal {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'B', 'R', 'B', '1'};
constexpr std::uint8_t kReplyKind = 3;

class FrameWriter {
 public:
  explicit FrameWriter(std::vector<std::uint8_t>& out) : out_(out) { out_.assign(kMagic.begin(), kMagic.end()); }

  void Unsigned(std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void Bytes(std::span<const std::uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

 private:
  std::vector<std::uint8_t>& out_;
};

// Reads behind the magic; every read is checked against the frame's end.
class FrameReader {
 public:
  explicit FrameReader(std::span<const std::uint8_t> frame) : frame_(frame) {}

  bool Magic() {
    const auto taken = Take(kMagic.size());
    return std::equal(taken.begin(), taken.end(), kMagic.begin(), kMagic.end());
  }
  std::uint64_t Unsigned(std::size_t bytes) {
    std::uint64_t value = 0;
    const auto taken = Take(bytes);
    for (std::size_t i = 0; i < taken.size(); ++i) value |= std::uint64_t{taken[i]} << (8 * i);
    return value;
  }
  std::span<const std::uint8_t> Take(std::size_t bytes) {
    if (bytes > Left()) {
      overrun_ = true;
      bytes = Left();
    }
    const auto taken = frame_.subspan(position_, bytes);
    position_ += bytes;
    return taken;
  }
  std::size_t Left() const { return frame_.size() - position_; }
  bool overrun() const { return overrun_; }

 private:
  std::span<const std::uint8_t> frame_;
  std::size_t position_ = 0;
  bool overrun_ = false;
};

}  // namespace

bool EncodeBusRequest(const BusRequest& request, std::vector<std::uint8_t>& frame, std::string& error) {
  const WindowMessage& message = request.message;
  std::string name;
  if (message.id >= kFirstRegisteredMessage) {
    auto registered = WindowMessageName(message.id);
    if (!registered) {
      error = "message " + std::to_string(message.id) + " is not registered";
      return false;
    }
    name = std::move(*registered);
    if (name.size() > kMaxBusMessageName) {
      error = "message name longer than " + std::to_string(kMaxBusMessageName) + " bytes";
      return false;
    }
  }
  if (message.id != kWmCopyData && (message.copy_kind != 0 || !message.copy_data.empty())) {
    error = "copy data on message " + std::to_string(message.id);
    return false;
  }
  if (message.copy_data.size() > kMaxBusPayload) {
    error = "payload of " + std::to_string(message.copy_data.size()) + " bytes";
    return false;
  }
  FrameWriter out(frame);
  out.Unsigned(static_cast<std::uint8_t>(request.delivery), 1);
  out.Unsigned(name.size(), 1);
  out.Unsigned(0, 2);
  out.Unsigned(name.empty() ? message.id : 0, 4);
  out.Unsigned(message.wparam, 8);
  out.Unsigned(static_cast<std::uint64_t>(message.lparam), 8);
  out.Unsigned(message.copy_kind, 8);
  out.Unsigned(message.copy_data.size(), 4);
  out.Bytes(std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
  out.Bytes(message.copy_data);
  return true;
}

bool DecodeBusRequest(std::span<const std::uint8_t> frame, BusRequest& request, std::string& error) {
  if (frame.size() > kMaxBusFrame) {
    error = "frame of " + std::to_string(frame.size()) + " bytes";
    return false;
  }
  FrameReader in(frame);
  if (!in.Magic()) {
    error = "no bus magic";
    return false;
  }
  const auto delivery = in.Unsigned(1);
  const auto name_length = in.Unsigned(1);
  const auto reserved = in.Unsigned(2);
  const auto number = static_cast<std::uint32_t>(in.Unsigned(4));
  WindowMessage message;
  message.wparam = static_cast<std::uintptr_t>(in.Unsigned(8));
  message.lparam = static_cast<std::intptr_t>(in.Unsigned(8));
  message.copy_kind = static_cast<std::uintptr_t>(in.Unsigned(8));
  const auto payload_length = in.Unsigned(4);
  if (in.overrun()) {
    error = "short header";
    return false;
  }
  if (delivery != static_cast<std::uint8_t>(BusDelivery::kPost) &&
      delivery != static_cast<std::uint8_t>(BusDelivery::kSend)) {
    error = "delivery " + std::to_string(delivery);
    return false;
  }
  if (reserved != 0) {
    error = "reserved bytes set";
    return false;
  }
  if (payload_length > kMaxBusPayload) {
    error = "payload of " + std::to_string(payload_length) + " bytes";
    return false;
  }
  if (name_length + payload_length != in.Left()) {
    error = "lengths do not match the frame";
    return false;
  }
  const auto name_bytes = in.Take(name_length);
  const std::string_view name(reinterpret_cast<const char*>(name_bytes.data()), name_bytes.size());
  if (name.empty()) {
    if (number >= kFirstRegisteredMessage) {
      error = "registered number " + std::to_string(number) + " without its name";
      return false;
    }
    message.id = number;
  } else {
    const auto registered = FindWindowMessage(name);
    if (number != 0 || !registered) {
      error = number != 0 ? "both a name and a number" : "message name \"" + std::string(name) + "\" unknown here";
      return false;
    }
    message.id = *registered;
  }
  const auto payload = in.Take(payload_length);
  if (message.id != kWmCopyData && (message.copy_kind != 0 || !payload.empty())) {
    error = "copy data on message " + std::to_string(message.id);
    return false;
  }
  message.copy_data.assign(payload.begin(), payload.end());
  request.delivery = static_cast<BusDelivery>(delivery);
  request.message = std::move(message);
  return true;
}

std::vector<std::uint8_t> EncodeBusReply(LRESULT result) {
  std::vector<std::uint8_t> frame;
  FrameWriter out(frame);
  out.Unsigned(kReplyKind, 1);
  out.Unsigned(0, 3);
  out.Unsigned(static_cast<std::uint64_t>(result), 8);
  return frame;
}

std::optional<LRESULT> DecodeBusReply(std::span<const std::uint8_t> frame) {
  FrameReader in(frame);
  if (frame.size() != kBusReplySize || !in.Magic() || in.Unsigned(1) != kReplyKind || in.Unsigned(3) != 0)
    return std::nullopt;
  return static_cast<LRESULT>(in.Unsigned(8));
}

}  // namespace brontal
