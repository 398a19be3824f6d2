#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "sdk_server/sdk_protocol.h"

namespace brontal::sdk {

struct Packet {
  std::uint32_t device = 0;
  std::uint32_t id = 0;
  std::vector<std::uint8_t> data;
  bool operator==(const Packet&) const = default;
};

// The header and data of one packet as they go on the wire.
std::vector<std::uint8_t> EncodePacket(std::uint32_t device, PacketId id, std::span<const std::uint8_t> data = {});

// Cuts a client's byte stream into packets. A header without the magic, or
// one announcing more than the cap, makes the stream malformed for good:
// nothing after it can be framed again, so the client is closed.
class PacketReader {
 public:
  struct NeedMore {};
  struct Malformed {};
  using Result = std::variant<Packet, NeedMore, Malformed>;

  explicit PacketReader(std::uint32_t max_data_size = kMaxDataSize) : max_data_size_(max_data_size) {}

  void Feed(std::span<const std::uint8_t> bytes);
  // The next whole packet, if the bytes fed so far hold one.
  Result Next();

 private:
  std::uint32_t max_data_size_;
  std::vector<std::uint8_t> buffer_;
  std::size_t consumed_ = 0;  // bytes of buffer_ already handed out
  bool malformed_ = false;
};

}  // namespace brontal::sdk
