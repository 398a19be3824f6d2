#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "profiles/data_folders.h"

// The user-interface languages: the list in the default-data folder's
// "Language.config" and the user's choice, kept as the per-user value
// "LANGUAGE" (the entry's "Language_ID").
namespace brontal {

struct LanguageEntry {
  std::string name;  // "Language_name": shown in the settings window's list
  std::string file;  // "Language_file": the language file of the skin
  std::string text;  // "Language_text"
  std::uint32_t id = 0;  // "Language_ID"
  bool operator==(const LanguageEntry&) const = default;
};

// In the file's order; empty when the file is missing or has no list.
std::vector<LanguageEntry> ReadLanguageList(const AppFolders& folders = AppFolders::Installed());

// nullopt when nothing was chosen yet (the caller then keeps the first language).
std::optional<std::uint32_t> ReadLanguageChoice(const AppFolders& folders = AppFolders::Installed());
bool WriteLanguageChoice(std::uint32_t id, const AppFolders& folders = AppFolders::Installed());

}  // namespace brontal
