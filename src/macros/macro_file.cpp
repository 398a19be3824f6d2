#include "macros/macro_file.h"

#include <string>

#include "profiles/file_stem.h"
#include "profiles/json_document.h"
#include "profiles/json_fields.h"

namespace brontal {
namespace {

constexpr const char* kEvents = "Events";
constexpr const char* kGuid = "Guid";
constexpr const char* kName = "MacroName";
constexpr const char* kVersion = "Version";

}  // namespace

std::optional<std::filesystem::path> MacroFilePath(const std::filesystem::path& folder, std::string_view guid) {
  if (!IsPlainFileStem(guid)) return std::nullopt;
  return folder / (std::string(guid) + ".mac");
}

std::vector<MacroEvent> MacroEventsOf(const Json::Value& document) {
  const Json::Value& stored = Member(document, kEvents);
  if (!stored.isArray()) return {};  // an object's members would iterate too
  std::vector<MacroEvent> events;
  for (const Json::Value& element : stored) {
    if (element.isObject()) events.push_back(MacroEventFromJson(element));
  }
  return events;
}

std::vector<MacroEvent> LoadMacroEvents(const std::filesystem::path& folder, std::string_view guid) {
  const auto path = MacroFilePath(folder, guid);
  return path ? MacroEventsOf(ReadJsonDocument(*path)) : std::vector<MacroEvent>();
}

bool SaveMacroFile(const std::filesystem::path& folder, std::string_view guid, std::string_view name,
                   std::span<const MacroEvent> events) {
  const auto path = MacroFilePath(folder, guid);
  if (!path) return false;
  Json::Value document(Json::objectValue);
  document[kName] = std::string(name);
  document[kGuid] = std::string(guid);
  Json::Value& stored = document[kEvents] = Json::Value(Json::arrayValue);
  for (const MacroEvent& event : events) stored.append(MacroEventToJson(event));
  document[kVersion] = kMacroFileVersion;
  return WriteJsonDocument(*path, document);
}

}  // namespace brontal
