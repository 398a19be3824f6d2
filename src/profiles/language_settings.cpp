#include "profiles/language_settings.h"

#include <cstdlib>
#include <filesystem>

#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/user_value_store.h"

namespace brontal {
namespace {

constexpr std::string_view kListFileName = "Language.config";
constexpr std::string_view kChoiceName = "LANGUAGE";

// "zh_CN.UTF-8@modifier" → "zh_CN"; the C locale's messages are English.
std::string_view LocaleName(std::string_view locale) {
  locale = locale.substr(0, locale.find_first_of(".@"));
  return locale.empty() || locale == "C" || locale == "POSIX" ? "en" : locale;
}

std::string_view LanguagePart(std::string_view name) { return name.substr(0, name.find('_')); }

}  // namespace

std::vector<LanguageEntry> ReadLanguageList(const AppFolders& folders) {
  const Json::Value list = Member(ReadJsonDocument(folders.default_data / kListFileName), "Language");
  std::vector<LanguageEntry> entries(ElementCount(list));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Json::Value& entry = Element(list, i);
    entries[i] = {ToText(Member(entry, "Language_name")), ToText(Member(entry, "Language_file")),
                  ToText(Member(entry, "Language_text")), ToField<std::uint32_t>(Member(entry, "Language_ID"))};
  }
  return entries;
}

std::optional<std::uint32_t> ReadLanguageChoice(const AppFolders& folders) {
  return ReadUserValue(kChoiceName, folders);
}

bool WriteLanguageChoice(std::uint32_t id, const AppFolders& folders) {
  return WriteUserValue(kChoiceName, id, folders);
}

int StartLanguageIndex(const std::vector<LanguageEntry>& languages, std::optional<std::uint32_t> chosen,
                       std::string_view locale) {
  for (std::size_t i = 0; chosen && i < languages.size(); ++i)
    if (languages[i].id == *chosen) return static_cast<int>(i);
  const std::string_view wanted = LocaleName(locale);
  std::vector<std::string> stems;
  for (const LanguageEntry& language : languages) stems.push_back(std::filesystem::path(language.file).stem());
  // The exact region first: "zh_TW" must not take "zh_CN" while both are listed.
  for (std::size_t i = 0; i < stems.size(); ++i)
    if (stems[i] == wanted) return static_cast<int>(i);
  for (std::size_t i = 0; i < stems.size(); ++i)
    if (!stems[i].empty() && LanguagePart(stems[i]) == LanguagePart(wanted)) return static_cast<int>(i);
  return 0;
}

std::string MessagesLocale() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char* value = std::getenv(variable); value && *value) return value;
  return {};
}

}  // namespace brontal
