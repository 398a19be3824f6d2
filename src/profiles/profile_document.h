#pragma once

#include <json/json.h>

#include <cstddef>
#include <filesystem>

// A profile file is an object whose "Device" array holds the device entry
// (the settings) beside the members "profilename" and "profileUUID" that the
// profile list keeps; the default profile of a model has the same shape.
namespace brontal {

// The device entry at index, or null when the profile has none. An entry that
// is not an object cannot hold settings and counts as none.
const Json::Value& DeviceEntry(const Json::Value& profile, std::size_t index);
// Puts entry in place, making "Device" (and the profile object) as needed.
void SetDeviceEntry(Json::Value& profile, std::size_t index, const Json::Value& entry);

// Rewrites the file with its device entry replaced; every other member stays.
bool MergeDeviceEntry(const std::filesystem::path& path, std::size_t index, const Json::Value& entry);

// The file's device entry. A file without one (missing, corrupt, or without
// the entry) gets the default profile's entry written into it, which is then
// returned; when the default profile has none either, the file is left alone
// and the result is null.
Json::Value LoadDeviceEntry(const std::filesystem::path& path, const std::filesystem::path& default_path,
                            std::size_t index);

}  // namespace brontal
