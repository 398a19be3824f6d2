#pragma once

#include <filesystem>

#include "device_access/hid_backend.h"

namespace brontal {

// A simulated node in the socket folder of brontal-sim is two files:
// NAME.sock, the SOCK_SEQPACKET socket a host connects to, and NAME.node, its
// identity as text (ids, interface, instance, descriptor in hexadecimal).
inline constexpr const char* kSimNodeSocketSuffix = ".sock";
inline constexpr const char* kSimNodeInfoSuffix = ".node";

// Writes NAME.node atomically (a reader never sees half a file).
bool WriteSimNodeFile(const std::filesystem::path& folder, const std::string& name, const HidNodeInfo& info);
// Reads NAME.node; `info.node` becomes "sim:FOLDER/NAME".
bool ReadSimNodeFile(const std::filesystem::path& folder, const std::string& name, HidNodeInfo& info);

}  // namespace brontal
