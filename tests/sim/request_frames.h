#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "device_access/command_frame.h"
#include "models/link.h"
#include "models/simulated_device.h"

// Requests and chunked transfers as the host sends them, for the device tests.
namespace brontal::sim::testing {

inline std::vector<std::uint8_t> Request(std::uint8_t command, std::uint8_t length = 0, std::uint16_t address = 0,
                                         std::span<const std::uint8_t> payload = {}) {
  const Frame frame = BuildRequest(command, length, address, payload);
  return {frame.begin(), frame.end()};
}

inline constexpr std::size_t kWiredChunk = 56;
inline constexpr std::size_t kReceiverChunk = 24;
inline std::size_t ChunkOf(Link link) { return link == Link::kWired ? kWiredChunk : kReceiverChunk; }

// The only reply of one request; an empty report when there was not exactly one.
inline std::vector<std::uint8_t> Exchange(SimulatedDevice& device, Link link, std::span<const std::uint8_t> request) {
  std::vector<TimedReport> replies = device.HandleOutputReport(link, request);
  return replies.size() == 1 ? std::move(replies.front().bytes) : std::vector<std::uint8_t>{};
}

// A chunked read or write at base + position, as the host's channel does it.
// Returns the bytes read (reads) and sets `statuses` to every reply's status.
inline std::vector<std::uint8_t> Transfer(SimulatedDevice& device, Link link, std::uint8_t command, std::uint16_t base,
                                          std::size_t total, std::span<const std::uint8_t> source,
                                          std::vector<std::uint8_t>& statuses) {
  std::vector<std::uint8_t> data(total, 0);
  statuses.clear();
  const std::size_t chunk = ChunkOf(link);
  for (std::size_t position = 0; position < total; position += chunk) {
    const auto length = static_cast<std::uint8_t>(std::min(chunk, total - position));
    const auto address = static_cast<std::uint16_t>(base + position);
    const std::span<const std::uint8_t> payload =
        source.empty() ? std::span<const std::uint8_t>{} : source.subspan(position, length);
    const std::vector<std::uint8_t> reply = Exchange(device, link, Request(command, length, address, payload));
    if (reply.size() != 64) {
      statuses.push_back(0xEE);  // no single reply
      continue;
    }
    statuses.push_back(reply[7]);
    std::copy_n(reply.begin() + 8, length, data.begin() + static_cast<std::ptrdiff_t>(position));
  }
  return data;
}

inline std::vector<std::uint8_t> ReadBlock(SimulatedDevice& device, Link link, std::uint8_t command,
                                           std::uint16_t base, std::size_t total,
                                           std::vector<std::uint8_t>& statuses) {
  return Transfer(device, link, command, base, total, {}, statuses);
}

inline void WriteBlock(SimulatedDevice& device, Link link, std::uint8_t command, std::uint16_t base,
                       std::span<const std::uint8_t> source, std::vector<std::uint8_t>& statuses) {
  Transfer(device, link, command, base, source.size(), source, statuses);
}

}  // namespace brontal::sim::testing
