#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace brontal {

// The 64-byte command frame; the same layout both ways, 16-bit fields little-endian.
inline constexpr std::size_t kFrameSize = 64;
inline constexpr std::size_t kFramePayloadSize = 56;
inline constexpr std::uint8_t kCommandReportId = 0x04;

namespace frame_offset {
inline constexpr std::size_t kReportId = 0;
inline constexpr std::size_t kChecksum = 1;  // 2 bytes
inline constexpr std::size_t kCommand = 3;
inline constexpr std::size_t kLength = 4;
inline constexpr std::size_t kAddress = 5;   // 2 bytes
inline constexpr std::size_t kStatus = 7;
inline constexpr std::size_t kPayload = 8;
}  // namespace frame_offset

// Reply status bytes that mean failure; anything else is success.
inline constexpr std::uint8_t kStatusError = 0xFF;
inline constexpr std::uint8_t kStatusError2 = 0xFE;
// A receiver's command byte when the device behind it did not answer.
inline constexpr std::uint8_t kReceiverNoAnswer = 0xAA;

using Frame = std::array<std::uint8_t, kFrameSize>;

// 16-bit sum of bytes 3..63, each unsigned.
std::uint16_t FrameChecksum(std::span<const std::uint8_t, kFrameSize> frame);

// A request frame: header, payload, then the checksum over the final bytes.
Frame BuildRequest(std::uint8_t command, std::uint8_t length, std::uint16_t address,
                   std::span<const std::uint8_t> payload = {});
void SealFrame(Frame& frame);  // writes the checksum

// The two trace lines of a frame: 32 bytes each, in groups of four.
std::string FormatFrameLine(std::span<const std::uint8_t> bytes32);

}  // namespace brontal
