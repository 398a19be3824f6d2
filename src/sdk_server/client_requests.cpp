#include "sdk_server/client_requests.h"

#include "sdk_server/sdk_protocol.h"

namespace brontal::sdk {
namespace {

std::optional<std::vector<Rgb>> ReadColours(ByteReader& in) {
  const std::optional<std::uint16_t> count = in.U16();
  if (!count || std::size_t{*count} * 4 > in.remaining()) return std::nullopt;
  std::vector<Rgb> colours(*count);
  for (Rgb& colour : colours) colour = *in.Colour();
  return colours;
}

// The leading size field must not claim more than the packet carries.
bool ReadSizeField(ByteReader& in, std::size_t data_size) {
  const std::optional<std::uint32_t> size = in.U32();
  return size && *size <= data_size;
}

std::optional<ControllerRequest> DecodeMode(ByteReader& in, std::size_t data_size, std::uint32_t version, bool save) {
  if (!ReadSizeField(in, data_size)) return std::nullopt;
  SetMode mode;
  mode.save = save;
  const std::optional<std::uint32_t> index = in.U32();
  if (!index || !in.String()) return std::nullopt;
  mode.mode = *index;
  // value, flags, speed range[, brightness range], colour range, then the settings.
  in.Skip(4 * (version >= 3 ? 8 : 6));
  const std::optional<std::uint32_t> speed = in.U32();
  const std::optional<std::uint32_t> brightness = version >= 3 ? in.U32() : std::nullopt;
  in.Skip(8);  // direction, colour mode
  std::optional<std::vector<Rgb>> colours = ReadColours(in);
  if (!speed || !colours) return std::nullopt;
  mode.speed = *speed;
  mode.brightness = brightness;
  mode.colours = std::move(*colours);
  return mode;
}

}  // namespace

bool IsControllerRequest(std::uint32_t id) {
  switch (static_cast<PacketId>(id)) {
    case PacketId::kUpdateLeds:
    case PacketId::kUpdateZoneLeds:
    case PacketId::kUpdateSingleLed:
    case PacketId::kSetCustomMode:
    case PacketId::kUpdateMode:
    case PacketId::kSaveMode: return true;
    default: return false;
  }
}

std::optional<ControllerRequest> DecodeControllerRequest(const Packet& packet, std::uint32_t version) {
  ByteReader in(packet.data);
  switch (static_cast<PacketId>(packet.id)) {
    case PacketId::kUpdateLeds: {
      if (!ReadSizeField(in, packet.data.size())) return std::nullopt;
      std::optional<std::vector<Rgb>> colours = ReadColours(in);
      if (!colours) return std::nullopt;
      return SetAllLeds{std::move(*colours)};
    }
    case PacketId::kUpdateZoneLeds: {
      if (!ReadSizeField(in, packet.data.size())) return std::nullopt;
      const std::optional<std::uint32_t> zone = in.U32();
      std::optional<std::vector<Rgb>> colours = ReadColours(in);
      if (!zone || !colours) return std::nullopt;
      return SetZoneLeds{*zone, std::move(*colours)};
    }
    case PacketId::kUpdateSingleLed: {
      const std::optional<std::uint32_t> led = in.U32();
      const std::optional<Rgb> colour = in.Colour();
      if (!led || !colour) return std::nullopt;
      return SetOneLed{*led, *colour};
    }
    case PacketId::kSetCustomMode: return SelectDirect{};
    case PacketId::kUpdateMode:
    case PacketId::kSaveMode:
      return DecodeMode(in, packet.data.size(), version, packet.id == static_cast<std::uint32_t>(PacketId::kSaveMode));
    default: return std::nullopt;
  }
}

}  // namespace brontal::sdk
