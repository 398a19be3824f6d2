#pragma once

#include <json/json.h>

#include <chrono>
#include <filesystem>
#include <optional>

namespace brontal {

// There and not empty: something a fresh file would replace.
bool HasContents(const std::filesystem::path& file);

// Moves a user file that could not be read out of the way of a fresh one, as
// "<name>.unreadable-<YYYYMMDD-HHMMSS>" beside it ("-2", "-3", ... when that
// name is taken; an earlier copy is never replaced). The new path; nullopt
// when there was nothing to keep (missing or empty) or the move failed, the
// file then staying where it was.
std::optional<std::filesystem::path> KeepUnreadableFile(
    const std::filesystem::path& file, std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// For a writer about to replace `file`, from which `document` was read: a file
// that is there but gave no JSON object is kept aside first. False when it
// had to be and could not, so that the caller writes nothing over it.
bool KeepAsideIfUnreadable(const std::filesystem::path& file, const Json::Value& document);

}  // namespace brontal
