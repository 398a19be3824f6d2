#include "profiles/language_settings.h"

#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/user_value_store.h"

namespace brontal {
namespace {

constexpr std::string_view kListFileName = "Language.config";
constexpr std::string_view kChoiceName = "LANGUAGE";

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

}  // namespace brontal
