#include "profiles/profile_document.h"

#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/kept_aside.h"

namespace brontal {
namespace {

constexpr const char* kDevice = "Device";

}  // namespace

const Json::Value& DeviceEntry(const Json::Value& profile, std::size_t index) {
  const Json::Value& entry = Element(Member(profile, kDevice), index);
  return entry.isObject() ? entry : Json::Value::nullSingleton();
}

void SetDeviceEntry(Json::Value& profile, std::size_t index, const Json::Value& entry) {
  ElementForWrite(MemberForWrite(profile, kDevice), index) = entry;
}

bool MergeDeviceEntry(const std::filesystem::path& path, std::size_t index, const Json::Value& entry) {
  Json::Value profile = ReadJsonDocument(path);
  if (!KeepAsideIfUnreadable(path, profile)) return false;
  SetDeviceEntry(profile, index, entry);
  return WriteJsonDocument(path, profile);
}

Json::Value LoadDeviceEntry(const std::filesystem::path& path, const std::filesystem::path& default_path,
                            std::size_t index) {
  Json::Value profile = ReadJsonDocument(path);
  if (const Json::Value& entry = DeviceEntry(profile, index); !entry.isNull()) return entry;
  const Json::Value default_entry = DeviceEntry(ReadJsonDocument(default_path), index);
  if (default_entry.isNull()) return default_entry;
  // A corrupt profile stays the user's to mend: the defaults are only
  // written once it is kept aside.
  if (!KeepAsideIfUnreadable(path, profile)) return default_entry;
  SetDeviceEntry(profile, index, default_entry);
  WriteJsonDocument(path, profile);  // a failed write leaves the file to be made again next time
  return default_entry;
}

}  // namespace brontal
