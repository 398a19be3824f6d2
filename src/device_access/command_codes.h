#pragma once

#include <cstdint>

namespace brontal {

// Command codes of the protocol.
namespace command {
inline constexpr std::uint8_t kBegin = 0x01;
inline constexpr std::uint8_t kEnd = 0x02;
inline constexpr std::uint8_t kDeviceInfo = 0x03;
inline constexpr std::uint8_t kReadParameters = 0x05;
inline constexpr std::uint8_t kWriteParameters = 0x06;
inline constexpr std::uint8_t kReadKeyTable = 0x07;
inline constexpr std::uint8_t kReadIndexedKeyTable = 0x08;
inline constexpr std::uint8_t kWriteIndexedKeyTable = 0x09;
inline constexpr std::uint8_t kReadKeyColours = 0x0A;
inline constexpr std::uint8_t kWriteKeyColours = 0x0B;
inline constexpr std::uint8_t kLightingFrame = 0x12;
inline constexpr std::uint8_t kWriteMacros = 0x15;
inline constexpr std::uint8_t kWriteShoot = 0x17;
inline constexpr std::uint8_t kReadStatus = 0x1A;
inline constexpr std::uint8_t kReadKeyByteTable = 0x1B;
inline constexpr std::uint8_t kHostLighting = 0x1C;
inline constexpr std::uint8_t kReadSecondKeyTable = 0x25;
inline constexpr std::uint8_t kReadSecondIndexedKeyTable = 0x26;
inline constexpr std::uint8_t kWriteSecondIndexedKeyTable = 0x27;
inline constexpr std::uint8_t kQueryLink = 0xAA;
}  // namespace command

}  // namespace brontal
