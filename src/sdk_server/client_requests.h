#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "sdk_server/packet_reader.h"
#include "sdk_server/wire_bytes.h"

// What a client asks of one controller, decoded from a packet's data. Counts
// inside the data are checked against the bytes that are there: a packet
// whose fields do not fit is malformed, not read past its end.
namespace brontal::sdk {

struct SetAllLeds {
  std::vector<Rgb> colours;
};
struct SetZoneLeds {
  std::uint32_t zone = 0;
  std::vector<Rgb> colours;
};
struct SetOneLed {
  std::uint32_t led = 0;
  Rgb colour;
};
// SETCUSTOMMODE: the controller's own per-LED mode, where it has one.
struct SelectDirect {};
struct SetMode {
  std::uint32_t mode = 0;
  std::uint32_t speed = 0;
  std::optional<std::uint32_t> brightness;  // protocol 3 and later
  std::vector<Rgb> colours;
  bool save = false;
};

using ControllerRequest = std::variant<SetAllLeds, SetZoneLeds, SetOneLed, SelectDirect, SetMode>;

// Nothing for a malformed packet of these ids. `version` is the session's
// protocol version, which changes the layout of a mode.
std::optional<ControllerRequest> DecodeControllerRequest(const Packet& packet, std::uint32_t version);

// Whether the packet is one of those DecodeControllerRequest reads.
bool IsControllerRequest(std::uint32_t id);

}  // namespace brontal::sdk
