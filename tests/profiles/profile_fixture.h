#pragma once

#include <string_view>

#include "profiles/basic_profile_data.h"
#include "profiles/json_document.h"
#include "profiles/scratch_folder.h"

namespace brontal::testing {

// A profile loaded from a file whose device entry is the given JSON.
class LoadedProfile {
 public:
  explicit LoadedProfile(std::string_view entry_json) {
    data.SetProfilePath(folder.Write("p.Json", "{ \"Device\" : [ " + std::string(entry_json) + " ] }"));
    data.Load(data.ProfilePath());
  }
  // The entry as the current document holds it.
  const Json::Value& Entry() const { return data.Document(); }
  // The entry as the file holds it after a save.
  Json::Value Saved() {
    data.Save();
    return ReadJsonDocument(data.ProfilePath())["Device"][0];
  }

  ScratchFolder folder;
  CBasicProfiledata data;
};

}  // namespace brontal::testing
