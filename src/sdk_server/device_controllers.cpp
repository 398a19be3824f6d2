#include "sdk_server/device_controllers.h"

#include <algorithm>
#include <cstdio>

#include "devices/corvane_usb_device.h"
#include "devices/device_roster.h"
#include "devices/headset/headset_wire.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/keyboard/keyboard_picture.h"
#include "devices/keyboard/keyboard_wire.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "devices/mousepad/corvane_mouse_pad_device.h"
#include "sdk_server/key_led_names.h"
#include "support/debug_log.h"

namespace brontal::sdk {
namespace {

// The record's levels run 0..4, brightness and speed alike.
constexpr std::uint32_t kTopLevel = 4;

// Connected and read: the modes and the record are the device's own by then.
bool Ready(const CCorvaneUSBDevice& device) {
  if (const auto* keyboard = dynamic_cast<const CCorvaneKeyboardDevice*>(&device)) return keyboard->ready();
  if (const auto* mouse = dynamic_cast<const CCorvaneMouseDevice*>(&device)) return mouse->ready();
  if (const auto* pad = dynamic_cast<const CCorvaneMousePadDevice*>(&device)) return pad->ready();  // headsets too
  return false;
}

bool HasDirect(const CCorvaneUSBDevice& device) {
  return device.family() == DeviceFamily::kKeyboard || device.family() == DeviceFamily::kHeadset;
}

ControllerType TypeOf(DeviceFamily family) {
  switch (family) {
    case DeviceFamily::kMouse: return ControllerType::kMouse;
    case DeviceFamily::kMousePad: return ControllerType::kMouseMat;
    case DeviceFamily::kHeadset: return ControllerType::kHeadset;
    default: return ControllerType::kKeyboard;
  }
}

Rgb ColourAt(const CCorvaneUSBDevice& device, int position) {
  const std::uint32_t word = device.GetPositionColour(position);
  return {static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)};
}

// A keyboard's keys, in the order of its LEDs.
std::span<const KeyPlace> KeyPlaces(const CCorvaneUSBDevice& device) {
  const std::optional<int> variant = KeyPictureVariantOf(device.identity().product_id);
  return variant ? KeyPictureLayout(*variant) : std::span<const KeyPlace>{};
}

// The keyboard's keys as its picture places them, on a grid of key units.
void DescribeKeys(const CCorvaneUSBDevice& device, Controller& controller) {
  ControllerZone zone{"Keyboard", ZoneType::kMatrix, 0, std::nullopt};
  const std::span<const KeyPlace> places = KeyPlaces(device);
  LedMatrix matrix;
  for (const KeyPlace& place : places) {
    matrix.height = std::max<std::uint32_t>(matrix.height, static_cast<std::uint32_t>(place.rect.top / kKeyUnit) + 1);
    matrix.width = std::max<std::uint32_t>(matrix.width, static_cast<std::uint32_t>(place.rect.left / kKeyUnit) + 1);
  }
  matrix.cells.assign(std::size_t{matrix.height} * matrix.width, LedMatrix::kNoLed);
  for (const KeyPlace& place : places) {
    const auto led = static_cast<std::uint32_t>(controller.leds.size());
    const std::size_t cell = static_cast<std::size_t>(place.rect.top / kKeyUnit) * matrix.width +
                             static_cast<std::size_t>(place.rect.left / kKeyUnit);
    if (matrix.cells[cell] == LedMatrix::kNoLed) matrix.cells[cell] = led;
    controller.leds.push_back({KeyLedName(place.logical_key), static_cast<std::uint32_t>(place.logical_key)});
    controller.colours.push_back(ColourAt(device, static_cast<int>(place.logical_key)));
  }
  zone.led_count = static_cast<std::uint32_t>(controller.leds.size());
  if (zone.led_count > 0) zone.matrix = std::move(matrix);
  controller.zones.push_back(std::move(zone));
}

void DescribeHeadsetLights(const CCorvaneUSBDevice& device, Controller& controller) {
  for (std::size_t i = 0; i < headset::kLightCount; ++i) {
    controller.leds.push_back({"Light " + std::to_string(i + 1), static_cast<std::uint32_t>(i)});
    controller.colours.push_back(ColourAt(device, static_cast<int>(i)));
  }
  controller.zones.push_back(
      {"Ear cups", ZoneType::kLinear, static_cast<std::uint32_t>(headset::kLightCount), std::nullopt});
}

// Mice and pads show one colour of their mode: one LED that stands for it.
void DescribeModeColour(const LightSetting& live, Controller& controller) {
  controller.leds.push_back({"Mode colour", 0});
  controller.colours.push_back({live.red, live.green, live.blue});
  controller.zones.push_back({"Lights", ZoneType::kSingle, 1, std::nullopt});
}

// The visible modes, by the mode index each stands for.
std::vector<std::pair<int, LightMode>> OfferedModes(const CCorvaneUSBDevice& device) {
  std::vector<std::pair<int, LightMode>> offered;
  const std::vector<LightMode> modes = device.LightModes();
  for (std::size_t i = 0; i < modes.size() && i <= 0xFF; ++i)
    if (modes[i].visible) offered.emplace_back(static_cast<int>(i), modes[i]);
  return offered;
}

void TraceRefusal(bool ok) {
  if (!ok) Trace("sdk server: the device did not take the lighting");
}

std::uint32_t Level(std::uint32_t value) { return std::min(value, kTopLevel); }

}  // namespace

std::vector<CCorvaneUSBDevice*> DeviceControllers::Attached() const {
  std::vector<CCorvaneUSBDevice*> attached;
  for (CCorvaneUSBDevice* device : roster_.devices())
    if (device->channel().open() && Ready(*device) && device->LiveLight()) attached.push_back(device);
  return attached;
}

std::optional<Controller> DeviceControllers::Describe(std::size_t index) const {
  const std::vector<CCorvaneUSBDevice*> attached = Attached();
  if (index >= attached.size()) return std::nullopt;
  const CCorvaneUSBDevice& device = *attached[index];
  const LightSetting live = *device.LiveLight();
  Controller controller;
  controller.type = TypeOf(device.family());
  controller.name = device.kind_name();
  controller.vendor = "Corvane";
  char ids[16];
  std::snprintf(ids, sizeof ids, "%04x:%04x", device.identity().vendor_id, device.identity().product_id);
  controller.description = device.kind_name() + " (" + ids + ")";
  controller.location = std::string("USB ") + ids + (device.receiver_link() ? " receiver" : "");
  for (const auto& [mode_index, mode] : OfferedModes(device)) {
    if (mode_index == live.select_item) controller.active_mode = static_cast<std::int32_t>(controller.modes.size());
    controller.modes.push_back({.name = mode.name,
                                .value = mode.value,
                                .flags = mode_flags::kSpeed | mode_flags::kBrightness | mode_flags::kModeSpecificColour,
                                .speed_max = kTopLevel,
                                .speed = live.speed,
                                .brightness_max = kTopLevel,
                                .brightness = live.light,
                                .colours_min = 1,
                                .colours_max = 1,
                                .colour_mode = ColourMode::kModeSpecific,
                                .colours = {{live.red, live.green, live.blue}}});
  }
  if (HasDirect(device)) {
    if (InDirect(device)) controller.active_mode = static_cast<std::int32_t>(controller.modes.size());
    controller.modes.push_back({.name = kDirectModeName,
                                .value = -1,
                                .flags = mode_flags::kPerLedColour,
                                .colour_mode = ColourMode::kPerLed,
                                .colours = {}});
  }
  if (device.family() == DeviceFamily::kKeyboard)
    DescribeKeys(device, controller);
  else if (device.family() == DeviceFamily::kHeadset)
    DescribeHeadsetLights(device, controller);
  else
    DescribeModeColour(live, controller);
  return controller;
}

void DeviceControllers::Apply(std::size_t index, const ControllerRequest& request) {
  const std::vector<CCorvaneUSBDevice*> attached = Attached();
  if (index >= attached.size()) return;
  CCorvaneUSBDevice& device = *attached[index];
  if (std::holds_alternative<SelectDirect>(request)) {
    if (HasDirect(device)) EnterDirect(device);
  } else if (const auto* mode = std::get_if<SetMode>(&request)) {
    ApplyMode(device, *mode);
  } else if (const auto* all = std::get_if<SetAllLeds>(&request)) {
    SetLeds(device, 0, all->colours);
  } else if (const auto* zone = std::get_if<SetZoneLeds>(&request)) {
    // Every controller of ours has one zone, which starts at LED 0.
    if (zone->zone == 0) SetLeds(device, 0, zone->colours);
  } else if (const auto* one = std::get_if<SetOneLed>(&request)) {
    SetLeds(device, one->led, {one->colour});
  }
}

void DeviceControllers::Forget(CCorvaneUSBDevice& device) {
  direct_.erase(&device);
  device.set_frames_on_change(false);
}

void DeviceControllers::EnterDirect(CCorvaneUSBDevice& device) {
  if (on_direct) on_direct(device);
  // The animation stands still while polling is paused; our colours take its place.
  device.channel().set_polling_paused(true);
  if (direct_.insert(&device).second) Trace("sdk server: " + device.kind_name() + " shows a client's colours");
  device.set_frames_on_change(true);
  LightSetting record = *device.LiveLight();
  if (device.HostDrivesMode(record.select_item)) return;
  // A keyboard shows host frames only in a mode the host draws.
  record.select_item = keyboard::kHostModeA;
  if (!device.ApplyLightRecord(record, TraceRefusal))
    Trace("sdk server: the lighting was not stored; nothing was sent");
}

void DeviceControllers::SetLeds(CCorvaneUSBDevice& device, std::size_t first, const std::vector<Rgb>& colours) {
  if (!InDirect(device)) return;  // on-device modes have no per-LED colours
  // Something else (a settings read, the lighting page) may have woken the animation.
  device.channel().set_polling_paused(true);
  std::vector<std::size_t> positions;
  if (device.family() == DeviceFamily::kKeyboard) {
    for (const KeyPlace& place : KeyPlaces(device)) positions.push_back(place.logical_key);
  } else {
    for (std::size_t i = 0; i < headset::kLightCount; ++i) positions.push_back(i);
  }
  for (std::size_t i = 0; i < colours.size() && first + i < positions.size(); ++i) {
    const Rgb& c = colours[i];
    // Full level in the alpha byte, as the animations publish their colours.
    device.SetPositionColour(static_cast<int>(positions[first + i]),
                             0xFF000000u | std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue);
  }
}

void DeviceControllers::ApplyMode(CCorvaneUSBDevice& device, const SetMode& mode) {
  const std::vector<std::pair<int, LightMode>> offered = OfferedModes(device);
  if (mode.mode == offered.size() && HasDirect(device)) return EnterDirect(device);
  if (mode.mode >= offered.size()) return;
  // Saved or not alike: the lighting page's path stores every change in the profile.
  LightSetting record = *device.LiveLight();
  record.select_item = static_cast<std::uint8_t>(offered[mode.mode].first);
  record.speed = static_cast<std::uint8_t>(Level(mode.speed));
  if (mode.brightness) record.light = static_cast<std::uint8_t>(Level(*mode.brightness));
  if (!mode.colours.empty()) {
    record.red = mode.colours.front().red;
    record.green = mode.colours.front().green;
    record.blue = mode.colours.front().blue;
  }
  // Leaving Direct gives the lights back to the device's own animation.
  Forget(device);
  device.channel().set_polling_paused(false);
  if (!device.ApplyLightRecord(record, TraceRefusal))
    Trace("sdk server: the lighting was not stored; nothing was sent");
}

}  // namespace brontal::sdk
