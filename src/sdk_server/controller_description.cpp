#include "sdk_server/controller_description.h"

#include <algorithm>

#include "sdk_server/sdk_protocol.h"

namespace brontal::sdk {
namespace {

void WriteMode(ByteWriter& out, const ControllerMode& mode, std::uint32_t version) {
  out.String(mode.name);
  out.I32(mode.value);
  out.U32(mode.flags);
  out.U32(mode.speed_min);
  out.U32(mode.speed_max);
  if (version >= 3) {
    out.U32(mode.brightness_min);
    out.U32(mode.brightness_max);
  }
  out.U32(mode.colours_min);
  out.U32(mode.colours_max);
  out.U32(mode.speed);
  if (version >= 3) out.U32(mode.brightness);
  out.U32(mode.direction);
  out.U32(static_cast<std::uint32_t>(mode.colour_mode));
  out.Count(mode.colours.size());
  for (const Rgb& colour : mode.colours) out.Colour(colour);
}

void WriteZone(ByteWriter& out, const ControllerZone& zone, std::uint32_t version) {
  out.String(zone.name);
  out.I32(static_cast<std::int32_t>(zone.type));
  // Our zones never change size: minimum, maximum and count agree.
  out.U32(zone.led_count);
  out.U32(zone.led_count);
  out.U32(zone.led_count);
  if (zone.matrix) {
    const LedMatrix& matrix = *zone.matrix;
    out.U16(static_cast<std::uint16_t>(4 * (2 + matrix.cells.size())));
    out.U32(matrix.height);
    out.U32(matrix.width);
    for (std::uint32_t cell : matrix.cells) out.U32(cell);
  } else {
    out.U16(0);
  }
  if (version >= 4) out.U16(0);  // no segments
  if (version >= 5) out.U32(0);  // zone flags
}

}  // namespace

std::vector<std::uint8_t> SerialiseController(const Controller& controller, std::uint32_t version) {
  version = std::min(version, kServerProtocolVersion);
  ByteWriter out;
  out.U32(0);  // the size, known at the end
  out.I32(static_cast<std::int32_t>(controller.type));
  out.String(controller.name);
  if (version >= 1) out.String(controller.vendor);
  out.String(controller.description);
  out.String(controller.version);
  out.String(controller.serial);
  out.String(controller.location);
  out.Count(controller.modes.size());
  out.I32(controller.active_mode);
  for (const ControllerMode& mode : controller.modes) WriteMode(out, mode, version);
  out.Count(controller.zones.size());
  for (const ControllerZone& zone : controller.zones) WriteZone(out, zone, version);
  out.Count(controller.leds.size());
  for (const ControllerLed& led : controller.leds) {
    out.String(led.name);
    out.U32(led.value);
  }
  out.Count(controller.colours.size());
  for (const Rgb& colour : controller.colours) out.Colour(colour);
  if (version >= 5) {
    out.U16(0);  // no alternate LED names
    out.U32(0);  // controller flags
  }
  out.PatchU32(0, static_cast<std::uint32_t>(out.size()));
  return out.Take();
}

}  // namespace brontal::sdk
