#pragma once

#include <cstddef>
#include <cstdint>

// The lighting SDK's network protocol as other lighting programs speak it:
// a 16-byte header ("ORGB", device index, packet id, data size, all
// little-endian) and the packet's data.
namespace brontal::sdk {

inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::uint16_t kDefaultPort = 6742;
// The newest version we describe controllers in; a client asking for an
// older one gets the older layout.
inline constexpr std::uint32_t kServerProtocolVersion = 5;
// Far above any request we answer (a mode update with its colours, every
// key's colour), far below what would let a client make us hold megabytes.
inline constexpr std::uint32_t kMaxDataSize = 64 * 1024;

enum class PacketId : std::uint32_t {
  kRequestControllerCount = 0,
  kRequestControllerData = 1,
  kRequestProtocolVersion = 40,
  kSetClientName = 50,
  kDeviceListUpdated = 100,
  kUpdateLeds = 1050,
  kUpdateZoneLeds = 1051,
  kUpdateSingleLed = 1052,
  kSetCustomMode = 1100,
  kUpdateMode = 1101,
  kSaveMode = 1102,
};

}  // namespace brontal::sdk
