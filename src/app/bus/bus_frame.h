#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ui/toolkit/window_messages.h"

namespace brontal {

// The frames of the local message bus, one SOCK_SEQPACKET packet each, all
// numbers little-endian.
//
// Request: magic "BRB1", delivery (u8: 1 posted, 2 sent), name length (u8),
// 2 zero bytes, message number (u32), wParam (u64), lParam (i64), copy-data
// kind (u64), payload length (u32), then the name and the payload.
// Reply to a sent request: magic "BRB1", 3 (u8), 3 zero bytes, result (i64).
//
// A registered message (0xC000 and up) travels by its name with number 0, as
// each process numbers names on its own; every other message by its number.
// Only kWmCopyData carries a kind and a payload. The last digit of the magic
// is the format's version: a peer of another version is refused, not misread.
enum class BusDelivery : std::uint8_t { kPost = 1, kSend = 2 };

struct BusRequest {
  BusDelivery delivery = BusDelivery::kPost;
  WindowMessage message;
};

inline constexpr std::size_t kMaxBusPayload = 64 * 1024;
inline constexpr std::size_t kMaxBusMessageName = 255;
inline constexpr std::size_t kBusRequestHeaderSize = 40;
inline constexpr std::size_t kMaxBusFrame = kBusRequestHeaderSize + kMaxBusMessageName + kMaxBusPayload;
inline constexpr std::size_t kBusReplySize = 16;

// False, with the reason, when the message cannot travel: a registered number
// this process has no name for, a payload over the limit, copy data on a
// message other than kWmCopyData.
bool EncodeBusRequest(const BusRequest& request, std::vector<std::uint8_t>& frame, std::string& error);

// False, with the reason, for a malformed frame, and for a message name this
// process never registered (no window here can be waiting for it).
bool DecodeBusRequest(std::span<const std::uint8_t> frame, BusRequest& request, std::string& error);

std::vector<std::uint8_t> EncodeBusReply(LRESULT result);
// Nothing for anything but a well-formed reply.
std::optional<LRESULT> DecodeBusReply(std::span<const std::uint8_t> frame);

}  // namespace brontal
