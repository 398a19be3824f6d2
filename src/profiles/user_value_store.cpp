#include "profiles/user_value_store.h"

#include <string>

#include "profiles/file_contents.h"
#include "profiles/ini_document.h"
#include "profiles/number_text.h"

namespace brontal {
namespace {

constexpr std::string_view kFileName = "settings.ini";

}  // namespace

std::optional<std::uint32_t> ReadUserValue(std::string_view name, const AppFolders& folders) {
  const IniDocument store = IniDocument::Parse(ReadFileContents(folders.config / kFileName));
  const std::optional<std::string> text = store.Get("", name);
  return text ? ParseUnsigned32(*text, 10) : std::nullopt;
}

bool WriteUserValue(std::string_view name, std::uint32_t value, const AppFolders& folders) {
  const std::filesystem::path path = folders.ConfigFile(kFileName);
  IniDocument store = IniDocument::Parse(ReadFileContents(path));
  return store.Set("", name, std::to_string(value)) && ReplaceFileContents(path, store.Render());
}

}  // namespace brontal
