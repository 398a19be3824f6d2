#include "macros/macro_key_repair.h"

#include <system_error>

#include "macros/macro_key_action.h"
#include "profiles/json_document.h"
#include "profiles/profile_list_file.h"

namespace brontal {
namespace {

ProfileList FolderProfiles(const std::filesystem::path& folder) {
  const Json::Value document = ReadJsonDocument(folder / kProfileListFileName);
  return ProfileList::IsUnreadable(document) ? ProfileList::FromProfileFiles(folder) : ProfileList(document);
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  return a.lexically_normal() == b.lexically_normal() || std::filesystem::equivalent(a, b, error);
}

}  // namespace

bool RenumberMacroActions(std::span<KeyAssignment> keys, std::size_t removed) {
  bool changed = false;
  for (KeyAssignment& key : keys) {
    if (!IsMacroAction(key.assignment) || MacroIndexOf(key.assignment) < removed) continue;
    if (MacroIndexOf(key.assignment) == removed)
      key.assignment = key.default_action;
    else
      --key.assignment[1];
    changed = true;
  }
  return changed;
}

bool ResetDanglingMacroActions(std::span<KeyAssignment> keys, std::size_t macro_count) {
  bool reset = false;
  for (KeyAssignment& key : keys) {
    if (!IsMacroAction(key.assignment) || MacroIndexOf(key.assignment) < macro_count) continue;
    key.assignment = key.default_action;
    reset = true;
  }
  return reset;
}

StoredProfilesRepair RenumberMacroActionsInProfiles(const std::filesystem::path& folder, std::size_t removed,
                                                    const std::filesystem::path& loaded_profile) {
  StoredProfilesRepair repair;
  const ProfileList profiles = FolderProfiles(folder);
  for (std::size_t i = 0; i < profiles.Count(); ++i) {
    const std::filesystem::path path = ProfileFilePath(folder, profiles.Uuid(i));
    if (SameFile(path, loaded_profile)) continue;
    // No default profile: a file without a device entry is not made one.
    CBasicProfiledata profile;
    profile.SetProfilePath(path);
    if (profile.Load(path).isNull()) continue;
    std::vector<KeyAssignment> keys = profile.GetKeyList();
    std::vector<KeyAssignment> fn_keys = profile.GetKeyFnList();
    const LoadedListsRepair changed = RenumberMacroActions(profile, keys, fn_keys, removed);
    if (!changed.keys && !changed.fn_keys) continue;
    (profile.Save() ? repair.mended : repair.not_written).push_back(profiles.Name(i));
  }
  return repair;
}

LoadedListsRepair RenumberMacroActions(CBasicProfiledata& profile, std::vector<KeyAssignment>& keys,
                                       std::vector<KeyAssignment>& fn_keys, std::size_t removed) {
  LoadedListsRepair changed;
  changed.keys = RenumberMacroActions(keys, removed);
  changed.fn_keys = RenumberMacroActions(fn_keys, removed);
  if (changed.keys) profile.SetKeyList(keys);
  if (changed.fn_keys) profile.SetKeyFnList(fn_keys);
  return changed;
}

}  // namespace brontal
