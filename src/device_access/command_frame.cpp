#include "device_access/command_frame.h"

#include <algorithm>
#include <cstdio>

namespace brontal {

std::uint16_t FrameChecksum(std::span<const std::uint8_t, kFrameSize> frame) {
  std::uint32_t sum = 0;
  for (std::size_t i = frame_offset::kCommand; i < kFrameSize; ++i) sum += frame[i];
  return static_cast<std::uint16_t>(sum);
}

void SealFrame(Frame& frame) {
  const std::uint16_t sum = FrameChecksum(frame);
  frame[frame_offset::kChecksum] = static_cast<std::uint8_t>(sum & 0xFF);
  frame[frame_offset::kChecksum + 1] = static_cast<std::uint8_t>(sum >> 8);
}

Frame BuildRequest(std::uint8_t command, std::uint8_t length, std::uint16_t address,
                   std::span<const std::uint8_t> payload) {
  Frame frame{};
  frame[frame_offset::kReportId] = kCommandReportId;
  frame[frame_offset::kCommand] = command;
  frame[frame_offset::kLength] = length;
  frame[frame_offset::kAddress] = static_cast<std::uint8_t>(address & 0xFF);
  frame[frame_offset::kAddress + 1] = static_cast<std::uint8_t>(address >> 8);
  std::copy_n(payload.begin(), std::min(payload.size(), kFramePayloadSize), frame.begin() + frame_offset::kPayload);
  SealFrame(frame);
  return frame;
}

std::string FormatFrameLine(std::span<const std::uint8_t> bytes) {
  // Groups of four; three spaces after the first three groups, two after the rest.
  std::string line;
  char hex[4];
  for (std::size_t i = 0; i < 32; ++i) {
    std::snprintf(hex, sizeof hex, "%02x", i < bytes.size() ? bytes[i] : 0);
    line += hex;
    if (i == 31) break;
    if (i % 4 != 3) line += ' ';
    else line += i < 12 ? "   " : "  ";
  }
  return line;
}

}  // namespace brontal
