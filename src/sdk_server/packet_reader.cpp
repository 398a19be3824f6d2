#include "sdk_server/packet_reader.h"

#include <algorithm>
#include <array>

#include "sdk_server/wire_bytes.h"

namespace brontal::sdk {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic{'O', 'R', 'G', 'B'};

}  // namespace

std::vector<std::uint8_t> EncodePacket(std::uint32_t device, PacketId id, std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> bytes(kMagic.begin(), kMagic.end());
  ByteWriter fields;
  fields.U32(device);
  fields.U32(static_cast<std::uint32_t>(id));
  fields.U32(static_cast<std::uint32_t>(data.size()));
  const std::vector<std::uint8_t> rest = fields.Take();
  bytes.insert(bytes.end(), rest.begin(), rest.end());
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

void PacketReader::Feed(std::span<const std::uint8_t> bytes) {
  if (malformed_) return;
  // Handed-out bytes go before new ones arrive, so the buffer stays one packet long.
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(consumed_));
  consumed_ = 0;
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

PacketReader::Result PacketReader::Next() {
  if (malformed_) return Malformed{};
  const std::span<const std::uint8_t> pending = std::span(buffer_).subspan(consumed_);
  if (pending.size() < kHeaderSize) {
    // A wrong magic is known from its first bytes: no need to wait for more.
    const std::size_t known = std::min(pending.size(), kMagic.size());
    if (!std::equal(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(known), kMagic.begin()))
      malformed_ = true;
    return malformed_ ? Result{Malformed{}} : Result{NeedMore{}};
  }
  if (!std::equal(kMagic.begin(), kMagic.end(), pending.begin())) {
    malformed_ = true;
    return Malformed{};
  }
  ByteReader header(pending.subspan(kMagic.size(), kHeaderSize - kMagic.size()));
  const std::uint32_t device = *header.U32();
  const std::uint32_t id = *header.U32();
  const std::uint32_t size = *header.U32();
  if (size > max_data_size_) {
    malformed_ = true;
    return Malformed{};
  }
  if (pending.size() - kHeaderSize < size) return NeedMore{};
  const auto data = pending.subspan(kHeaderSize, size);
  consumed_ += kHeaderSize + size;
  return Packet{device, id, std::vector<std::uint8_t>(data.begin(), data.end())};
}

}  // namespace brontal::sdk
