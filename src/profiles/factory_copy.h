#pragma once

#include <json/json.h>

#include <string_view>

#include "profiles/data_folders.h"

namespace brontal {

// A document of the application folder that has a factory copy of the same
// name in the default-data folder. When the user's copy is not usable
// (missing, corrupt, or of the wrong shape), the factory copy is read and
// written to the application folder first, the user's file kept aside
// (KeepUnreadableFile); when it cannot be kept the factory copy is only
// read. Null when neither is usable; the user's file is then left as it is.
Json::Value ReadWithFactoryCopy(const AppFolders& folders, std::string_view file_name,
                                bool (*usable)(const Json::Value& document));

// Replaces the user's copy by the factory copy and returns it; null (and the
// user's file untouched) when the factory copy is not usable.
Json::Value RestoreFactoryCopy(const AppFolders& folders, std::string_view file_name,
                               bool (*usable)(const Json::Value& document));

}  // namespace brontal
