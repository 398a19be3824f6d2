#include "profiles/profile_list_file.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>
#include <system_error>
#include <utility>

#include "profiles/file_stem.h"
#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/profile_document.h"
#include "support/ascii_text.h"

namespace brontal {
namespace {

constexpr const char* kList = "profilelist";
constexpr const char* kSelect = "profileselect";
constexpr const char* kName = "profilename";
constexpr const char* kUuid = "profileUUID";
constexpr const char* kIsLink = "profileislink";
constexpr const char* kLinkName = "profilelinkmame";
constexpr const char* kCustomEqNames = "CustomEQNameInfo";
constexpr const char* kCustomEqCurves = "CustomEQHzValueInfo";
constexpr std::size_t kDeviceEntry = 0;

}  // namespace

bool IsBlankProfileName(std::string_view name) {
  return name.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

ProfileList::ProfileList(const Json::Value& document) {
  if (document.isNull()) return;
  document_ = document.isObject() ? document : Json::Value(Json::objectValue);
  FindUsable();
}

void ProfileList::FindUsable() {
  usable_.clear();
  const Json::Value& entries = Member(document_, kList);
  if (!entries.isArray()) return;
  std::set<std::string, std::less<>> uuids;
  for (Json::ArrayIndex i = 0; i < entries.size(); ++i) {
    const Json::Value& uuid = Member(entries[i], kUuid);
    if (uuid.isString() && IsPlainFileStem(uuid.asString()) && uuids.insert(uuid.asString()).second)
      usable_.push_back(i);
  }
}

std::optional<Json::ArrayIndex> ProfileList::At(std::size_t index) const {
  if (index >= usable_.size()) return std::nullopt;
  return usable_[index];
}

ProfileList ProfileList::Read(const std::filesystem::path& folder) {
  return ProfileList(ReadJsonDocument(folder / kProfileListFileName));
}

bool ProfileList::IsUnreadable(const Json::Value& document) {
  if (!document.isObject()) return true;
  const Json::Value& entries = Member(document, kList);
  return !entries.isNull() && !entries.isArray();
}

ProfileList ProfileList::FromProfileFiles(const std::filesystem::path& folder) {
  std::vector<std::pair<std::string, std::string>> found;  // identifier, name
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::filesystem::path& file = it->path();
    const std::string uuid = file.stem().string();
    if (file.extension() != ".Json" || !IsPlainFileStem(uuid)) continue;
    const Json::Value document = ReadJsonDocument(file);
    if (!HasProfileIdentity(document) || ToText(Member(document, kUuid)) != uuid) continue;
    const std::string name = ToText(Member(document, kName));
    found.emplace_back(uuid, IsBlankProfileName(name) ? uuid : name);
  }
  std::ranges::sort(found);
  ProfileList list;
  for (const auto& [uuid, name] : found) list.Append(name, uuid);
  if (!found.empty()) list.SetSelected(0);
  return list;
}

bool ProfileList::Write(const std::filesystem::path& folder) const {
  return WriteJsonDocument(folder / kProfileListFileName, document_);
}

std::size_t ProfileList::Count() const { return usable_.size(); }

std::string ProfileList::Name(std::size_t index) const {
  const auto at = At(index);
  return at ? ToText(Member(Element(Member(document_, kList), *at), kName)) : std::string();
}

std::string ProfileList::Uuid(std::size_t index) const {
  const auto at = At(index);
  return at ? ToText(Member(Element(Member(document_, kList), *at), kUuid)) : std::string();
}

bool ProfileList::HasName(std::string_view name, std::optional<std::size_t> except) const {
  for (std::size_t i = 0; i < Count(); ++i) {
    if (i != except && EqualIgnoringAsciiCase(Name(i), name)) return true;
  }
  return false;
}

bool ProfileList::HasUuid(std::string_view uuid) const {
  for (std::size_t i = 0; i < Count(); ++i) {
    if (Uuid(i) == uuid) return true;
  }
  return false;
}

void ProfileList::Append(std::string_view name, std::string_view uuid) {
  Json::Value& list = MemberForWrite(document_, kList);
  if (!list.isArray()) list = Json::Value(Json::arrayValue);
  Json::Value& entry = list.append(Json::Value());
  entry = Json::Value(Json::objectValue);
  entry[kName] = std::string(name);
  entry[kUuid] = std::string(uuid);
  entry[kIsLink] = 0;
  entry[kLinkName] = "";
  FindUsable();
}

void ProfileList::Rename(std::size_t index, std::string_view name) {
  const auto at = At(index);
  if (!at) return;
  MemberForWrite(ElementForWrite(MemberForWrite(document_, kList), *at), kName) = std::string(name);
}

void ProfileList::Remove(std::size_t index) {
  const auto at = At(index);
  if (!at) return;
  Json::Value removed;
  MemberForWrite(document_, kList).removeIndex(*at, &removed);
  FindUsable();
}

void ProfileList::SetSelected(std::size_t index) {
  const auto at = At(index);
  MemberForWrite(document_, kSelect) =
      static_cast<Json::Int64>(at ? *at : index);  // the reader's kind, so a re-read compares equal
}

std::string ProfileList::NumberedName() const {
  for (int number = 1;; ++number) {
    std::string name = "profile" + std::to_string(number);
    if (!HasName(name)) return name;
  }
}

std::string ProfileList::CopyName(std::string_view source) const {
  std::string name = std::string(source) + " copy";
  while (HasName(name)) name += " copy";
  return name;
}

std::string ProfileList::ImportName(std::string_view stem) const {
  std::string name(stem);
  for (int suffix = 1; HasName(name); ++suffix) name += "(" + std::to_string(suffix) + ")";
  return name;
}

std::filesystem::path ProfileFilePath(const std::filesystem::path& folder, std::string_view uuid) {
  return folder / (std::string(uuid) + ".Json");
}

std::string FormatProfileIdentifier(std::chrono::system_clock::time_point time) {
  const auto second = std::chrono::floor<std::chrono::seconds>(time);
  const auto millisecond = std::chrono::duration_cast<std::chrono::milliseconds>(time - second).count();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(second);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[64];
  std::snprintf(text, sizeof text, "%d_%02d_%02d_%02d_%02d_%02d_%03d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millisecond));
  return text;
}

std::string NewProfileIdentifier(std::chrono::system_clock::time_point time,
                                 const std::function<bool(const std::string&)>& taken) {
  std::string identifier = FormatProfileIdentifier(time);
  while (taken(identifier)) {
    time += std::chrono::milliseconds(1);
    identifier = FormatProfileIdentifier(time);
  }
  return identifier;
}

bool HasProfileIdentity(const Json::Value& document) {
  return document.isObject() && document.isMember(kName) && document.isMember(kUuid);
}

bool WriteProfileFile(const std::filesystem::path& folder, Json::Value profile, std::string_view name,
                      std::string_view uuid) {
  MemberForWrite(profile, kName) = std::string(name);
  MemberForWrite(profile, kUuid) = std::string(uuid);
  return WriteJsonDocument(ProfileFilePath(folder, uuid), profile);
}

void KeepCustomEq(const Json::Value& current, Json::Value& profile) {
  const Json::Value& current_entry = DeviceEntry(current, kDeviceEntry);
  Json::Value entry = DeviceEntry(profile, kDeviceEntry);
  bool kept = false;
  for (const char* member : {kCustomEqNames, kCustomEqCurves}) {
    const Json::Value& value = Member(current_entry, member);
    if (value.isNull()) continue;
    MemberForWrite(entry, member) = value;
    kept = true;
  }
  if (kept) SetDeviceEntry(profile, kDeviceEntry, entry);
}

}  // namespace brontal
