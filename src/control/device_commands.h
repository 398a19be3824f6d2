#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "control/command_line.h"
#include "control/device_request.h"

namespace brontal {

class DeviceRoster;
class CCorvaneUSBDevice;
enum class DeviceFamily : std::int32_t;

// brontalctl's commands that change or show a device's settings. They run in
// whichever program owns the device (the desktop program while it runs,
// brontalctl otherwise), on its UI thread, through the same device objects,
// profile and profile list as the pages use, so neither program undoes what
// the other did.
struct DeviceCommandInfo {
  std::string_view name;
  std::string_view usage;
  std::string_view summary;
  std::string_view help;  // the text of "brontalctl COMMAND --help" after the usage line
  std::span<const OptionSpec> options;
};

struct ProductIds {
  std::uint16_t vendor;
  std::uint16_t product;
};
// "VID:PID" in hexadecimal; nothing for any other word.
std::optional<ProductIds> ParseProductIds(std::string_view word);
// The family word ("keyboard", "mouse", "mousepad", "headset") a device word
// names; empty when it names no supported product.
std::string FamilyOf(std::string_view device_word);
std::string_view FamilyWord(DeviceFamily family);

std::span<const DeviceCommandInfo> DeviceCommands();
const DeviceCommandInfo* FindDeviceCommand(std::string_view name);

// A device command's words taken apart: the command, the device word
// ("keyboard", "mouse", "mousepad", "headset" or VID:PID) and the rest.
struct DeviceCommandLine {
  const DeviceCommandInfo* info = nullptr;
  std::string device;
  ParsedArgs args;  // positional: the words after the device
};

// Parses and checks the words (command first) without touching any device or
// file: false, with the reason, for a usage error (exit status 2).
bool ParseDeviceCommand(std::span<const std::string> words, DeviceCommandLine& line, std::string& error);

// Which positional word of a parsed command names a file of the asking
// program (import and export): the program that carries the command out may
// run in another folder. Nullopt for a command without one.
std::optional<std::size_t> CallerFileWord(const DeviceCommandLine& line);

// How long the owning program may work on a request before the asking one is
// told it did not finish: a minute, and a recording's length on top.
std::chrono::seconds DeviceRequestTimeLimit(const DeviceRequest& request);

// Runs a request on the loop thread of the program that owns the devices;
// `done` runs once, on that thread, possibly later (after the device's I/O).
void RunDeviceRequest(DeviceRoster& roster, const DeviceRequest& request, std::function<void(DeviceReply)> done);

// Whether the device is online and read, so that commands reach it.
bool DeviceReady(CCorvaneUSBDevice& device);
// The device the word names that is online and read: nullptr when there is none.
CCorvaneUSBDevice* FindReadyDevice(DeviceRoster& roster, std::string_view device_word);

}  // namespace brontal
