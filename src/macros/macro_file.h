#pragma once

#include <json/json.h>

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "macros/macro_event.h"

// One macro's file in the device folder, Guid + ".mac":
//   {"Events": [event, ...], "Guid": "...", "MacroName": "...", "Version": 64}
// "MacroName" is the name at the last save; the shown name comes from the
// macro index, so only "Events" is ever read back.
namespace brontal {

inline constexpr int kMacroFileVersion = 64;

// Nullopt for a Guid that cannot name a file of the folder: empty, or holding
// a path separator or a NUL, as a hand-edited index might.
std::optional<std::filesystem::path> MacroFilePath(const std::filesystem::path& folder, std::string_view guid);

// The events of a macro file's document in playing order. A document that is
// not a macro file gives none; elements that are not objects are skipped.
std::vector<MacroEvent> MacroEventsOf(const Json::Value& document);

// The events of the folder's file. A missing, corrupt or misshapen file, or an
// unusable Guid, gives no events.
std::vector<MacroEvent> LoadMacroEvents(const std::filesystem::path& folder, std::string_view guid);

// Rewrites the whole file. False when the Guid is unusable or the write failed.
bool SaveMacroFile(const std::filesystem::path& folder, std::string_view guid, std::string_view name,
                   std::span<const MacroEvent> events);

}  // namespace brontal
