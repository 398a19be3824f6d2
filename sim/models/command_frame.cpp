#include "models/command_frame.h"

#include <algorithm>

namespace brontal::sim {

CommandRequest CommandRequest::FromReport(std::span<const std::uint8_t> report) {
  CommandRequest request;
  const std::size_t n = std::min(report.size(), kFrameSize);
  std::copy_n(report.begin(), n, request.bytes.begin());
  return request;
}

std::uint16_t CommandRequest::address() const {
  return static_cast<std::uint16_t>(bytes[frame_offset::kAddress] | (bytes[frame_offset::kAddress + 1] << 8));
}

bool CommandRequest::checksum_ok() const {
  const std::uint16_t stated = static_cast<std::uint16_t>(bytes[frame_offset::kChecksum] |
                                                          (bytes[frame_offset::kChecksum + 1] << 8));
  return stated == FrameChecksum(bytes);
}

std::span<const std::uint8_t> CommandRequest::payload() const {
  return std::span<const std::uint8_t>(bytes).subspan(frame_offset::kPayload,
                                                      std::min<std::size_t>(length(), kFramePayloadSize));
}

Frame BuildReply(const CommandRequest& request, std::uint8_t status, std::span<const std::uint8_t> data) {
  Frame reply{};
  reply[frame_offset::kReportId] = kCommandReportId;
  std::copy_n(request.bytes.begin() + frame_offset::kCommand, frame_offset::kStatus - frame_offset::kCommand,
              reply.begin() + frame_offset::kCommand);
  reply[frame_offset::kStatus] = status;
  std::copy_n(data.begin(), std::min(data.size(), kFramePayloadSize), reply.begin() + frame_offset::kPayload);
  SealFrame(reply);
  return reply;
}

}  // namespace brontal::sim
