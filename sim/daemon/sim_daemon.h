#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

namespace brontal::sim {

// The daemon's control socket in its folder; one command per connection.
inline constexpr const char* kControlSocketName = "control.sock";

// In a folder the daemon did not make and that holds no bus of its own, the bus
// goes in this private subfolder, so that nothing of the user's changes mode.
inline constexpr const char* kBusSubfolderName = "brontal-sim-bus";

// The folder that holds the bus of `folder`: its subfolder when there is one.
std::filesystem::path BusFolder(const std::filesystem::path& folder);

// Where plugged products appear: socket files in the daemon's folder, or kernel
// HID devices made through uhid (hidraw nodes that any HID program can open).
enum class BusTransport { kSocketFolder, kUhid };

// Serves a simulated bus controlled from `folder` until `stop_fd` turns readable
// (brontal-sim passes a signalfd for SIGINT and SIGTERM). Returns the exit status.
int ServeSimulatedBus(const std::filesystem::path& folder, int stop_fd, std::ostream& log,
                      BusTransport transport = BusTransport::kSocketFolder);

// Sends one control command to the daemon of `folder`; false when no daemon
// answered (the reason in `reply`). `ok` tells the daemon's verdict.
bool SendControlCommand(const std::filesystem::path& folder, std::string_view command, bool& ok, std::string& reply);

}  // namespace brontal::sim
