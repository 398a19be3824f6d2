#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "device_access/command_frame.h"

// The device's side of the command frame; layout, checksum and sealing are the host's.
namespace brontal::sim {

inline constexpr std::uint8_t kStatusOk = 0x00;
// Which error status the firmware uses for what is unknown; the simulator
// answers 0xFF to a request it cannot serve and 0xFE to a corrupted frame.
inline constexpr std::uint8_t kStatusRefused = kStatusError;
inline constexpr std::uint8_t kStatusCorrupted = kStatusError2;

// A request as written by the host: shorter reports are zero-filled, longer ones cut.
struct CommandRequest {
  Frame bytes{};

  static CommandRequest FromReport(std::span<const std::uint8_t> report);
  std::uint8_t command() const { return bytes[frame_offset::kCommand]; }
  std::uint8_t length() const { return bytes[frame_offset::kLength]; }
  std::uint16_t address() const;
  bool checksum_ok() const;
  // The payload bytes the length announces (at most the 56 a frame holds).
  std::span<const std::uint8_t> payload() const;
};

// The reply to `request`: its command, length and address echoed, `status`,
// and `data` from byte 8 on.
Frame BuildReply(const CommandRequest& request, std::uint8_t status, std::span<const std::uint8_t> data = {});

}  // namespace brontal::sim
