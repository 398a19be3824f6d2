#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "profiles/basic_profile_data.h"
#include "profiles/profile_records.h"

// Key assignments name macros by their place in the macro index. Once a macro
// has left the index, keys that played it fall back to their default action
// and keys that played a later macro follow it down by one. Both layers are
// mended: left alone, an Fn-layer key would play the macro after its own.
namespace brontal {

// True when any key changed.
bool RenumberMacroActions(std::span<KeyAssignment> keys, std::size_t removed);

// Macro actions whose macro is not among the folder's `macro_count` fall back
// to their key's default; true when any did.
bool ResetDanglingMacroActions(std::span<KeyAssignment> keys, std::size_t macro_count);

struct StoredProfilesRepair {
  std::vector<std::string> mended;       // profile names whose files now hold the new numbers
  std::vector<std::string> not_written;  // profile names whose files could not be written
};

// Every profile of the device folder's profile list (of its profile files,
// when the list cannot be read) except the one a device holds loaded, whose
// lists the device mends itself (it writes them back on its next save).
// Profiles without a device entry hold no keys and are left alone.
StoredProfilesRepair RenumberMacroActionsInProfiles(const std::filesystem::path& folder, std::size_t removed,
                                                    const std::filesystem::path& loaded_profile);

struct LoadedListsRepair {
  bool keys = false;
  bool fn_keys = false;
};

// A device's loaded profile: its key and Fn lists as the device holds them,
// stored into `profile` when they changed (the caller saves it and writes the
// changed layers to the device).
LoadedListsRepair RenumberMacroActions(CBasicProfiledata& profile, std::vector<KeyAssignment>& keys,
                                       std::vector<KeyAssignment>& fn_keys, std::size_t removed);

}  // namespace brontal
