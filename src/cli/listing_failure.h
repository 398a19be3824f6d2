#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "device_access/hid_backend.h"

namespace brontal {

// Why the HID devices could not be listed, in the user's terms: a simulated
// bus's folder is not "the devices of this machine".
inline std::string ListingFailure() {
  const char* value = std::getenv("BRONTAL_HID");
  const std::string_view bus = value ? value : "";
  if (!HidBus::SimulatedActive() || !bus.starts_with(kSimulatedNodePrefix))
    return "cannot list the HID devices of this machine (udev does not answer)";
  const std::string folder(bus.substr(kSimulatedNodePrefix.size()));
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(folder, error);
  if (!std::filesystem::exists(status)) return "the simulated bus folder " + folder + " does not exist";
  if (!std::filesystem::is_directory(status)) return folder + " is not a folder (BRONTAL_HID=sim:DIR)";
  if (::access(folder.c_str(), R_OK | X_OK) != 0)
    return "cannot read the simulated bus folder " + folder + ": " + std::strerror(errno);
  return "cannot list the simulated bus in " + folder;
}

}  // namespace brontal
