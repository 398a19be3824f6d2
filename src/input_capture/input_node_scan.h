#pragma once

#include <filesystem>
#include <vector>

namespace brontal {

// The event nodes in `folder` that this user may read and that belong to a
// keyboard (a key of the scan code table) or a mouse (a left button), by name.
std::vector<std::filesystem::path> ReadableKeyboardsAndMice(const std::filesystem::path& folder = "/dev/input");

}  // namespace brontal
