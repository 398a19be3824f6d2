#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sdk_server/wire_bytes.h"

// A device as SDK clients see it: its modes, zones and LEDs, and how that is
// laid out in the reply to REQUEST_CONTROLLER_DATA for each protocol version.
namespace brontal::sdk {

enum class ControllerType : std::int32_t { kKeyboard = 5, kMouse = 6, kMouseMat = 7, kHeadset = 8 };

namespace mode_flags {
inline constexpr std::uint32_t kSpeed = 1u << 0;
inline constexpr std::uint32_t kBrightness = 1u << 4;
inline constexpr std::uint32_t kPerLedColour = 1u << 5;
inline constexpr std::uint32_t kModeSpecificColour = 1u << 6;
}  // namespace mode_flags

enum class ColourMode : std::uint32_t { kNone = 0, kPerLed = 1, kModeSpecific = 2 };

struct ControllerMode {
  std::string name;
  std::int32_t value = 0;
  std::uint32_t flags = 0;
  std::uint32_t speed_min = 0, speed_max = 0, speed = 0;
  std::uint32_t brightness_min = 0, brightness_max = 0, brightness = 0;
  std::uint32_t colours_min = 0, colours_max = 0;
  std::uint32_t direction = 0;
  ColourMode colour_mode = ColourMode::kNone;
  std::vector<Rgb> colours;
};

// Rows of LED indices; kNoLed where the grid has no key.
struct LedMatrix {
  static constexpr std::uint32_t kNoLed = 0xFFFFFFFF;
  std::uint32_t height = 0, width = 0;
  std::vector<std::uint32_t> cells;  // height × width, row by row
};

enum class ZoneType : std::int32_t { kSingle = 0, kLinear = 1, kMatrix = 2 };

struct ControllerZone {
  std::string name;
  ZoneType type = ZoneType::kSingle;
  std::uint32_t led_count = 0;
  std::optional<LedMatrix> matrix;
};

struct ControllerLed {
  std::string name;
  std::uint32_t value = 0;
};

struct Controller {
  ControllerType type = ControllerType::kKeyboard;
  std::string name, vendor, description, version, serial, location;
  std::vector<ControllerMode> modes;
  std::int32_t active_mode = 0;
  std::vector<ControllerZone> zones;  // their LEDs follow each other in `leds`
  std::vector<ControllerLed> leds;
  std::vector<Rgb> colours;  // one per LED
};

// The data of the reply, its leading size included; `version` is the
// client's, capped at ours.
std::vector<std::uint8_t> SerialiseController(const Controller& controller, std::uint32_t version);

}  // namespace brontal::sdk
