#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/data_folders.h"

// The user-interface languages: the list in the default-data folder's
// "Language.config" and the user's choice, kept as the per-user value
// "LANGUAGE" (the entry's "Language_ID").
namespace brontal {

struct LanguageEntry {
  std::string name;      // "Language_name": shown in the settings window's list
  std::string file;      // "Language_file": the language file of the skin
  std::string text;      // "Language_text"
  std::uint32_t id = 0;  // "Language_ID"
  bool operator==(const LanguageEntry&) const = default;
};

// In the file's order; empty when the file is missing or has no list.
std::vector<LanguageEntry> ReadLanguageList(const AppFolders& folders = AppFolders::Installed());

// nullopt when nothing was chosen yet.
std::optional<std::uint32_t> ReadLanguageChoice(const AppFolders& folders = AppFolders::Installed());
bool WriteLanguageChoice(std::uint32_t id, const AppFolders& folders = AppFolders::Installed());

// The entry to start with: the one chosen, else the one whose language file
// fits `locale` (as "zh_CN.UTF-8"; "C" and none mean English), else the first.
// The list's order serves the font faces, not the default, so a first start
// follows the desktop's language.
int StartLanguageIndex(const std::vector<LanguageEntry>& languages, std::optional<std::uint32_t> chosen,
                       std::string_view locale);
// The locale that messages are shown in: LC_ALL, LC_MESSAGES or LANG.
std::string MessagesLocale();

}  // namespace brontal
