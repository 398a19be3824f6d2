#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "profiles/data_folders.h"

// Small per-user values that belong to no document (on Windows they live in
// the registry under "SOFTWARE\Brontal Driver"): "settings.ini" in the user's
// configuration folder, one "NAME=decimal" line per value.
namespace brontal {

std::optional<std::uint32_t> ReadUserValue(std::string_view name, const AppFolders& folders = AppFolders::Installed());
bool WriteUserValue(std::string_view name, std::uint32_t value, const AppFolders& folders = AppFolders::Installed());

}  // namespace brontal
