#include "macros/macro_folder.h"

#include <system_error>

#include "macros/macro_file.h"
#include "profiles/file_contents.h"
#include "profiles/profile_list_file.h"

namespace brontal {

std::string MacroFolder::NewGuid(const MacroIndex& index, std::chrono::system_clock::time_point now) const {
  return NewProfileIdentifier(now, [&](const std::string& guid) {
    std::error_code ignored;
    return index.HasGuid(guid) || std::filesystem::exists(*MacroFilePath(folder_, guid), ignored);
  });
}

std::optional<std::size_t> MacroFolder::List(MacroIndex index, const std::string& name, const std::string& guid) const {
  index.Append(name, guid);
  if (index.Write(folder_)) return index.Count() - 1;
  std::error_code ignored;
  std::filesystem::remove(*MacroFilePath(folder_, guid), ignored);
  return std::nullopt;
}

std::optional<std::size_t> MacroFolder::Add(std::chrono::system_clock::time_point now) const {
  const MacroIndex index = Index();
  if (index.Count() >= kMacroLimit) return std::nullopt;
  const std::string name = index.NewMacroName();
  const std::string guid = NewGuid(index, now);
  if (!SaveMacroFile(folder_, guid, name, {})) return std::nullopt;
  return List(index, name, guid);
}

std::optional<std::size_t> MacroFolder::Import(const std::filesystem::path& source,
                                               std::chrono::system_clock::time_point now) const {
  const MacroIndex index = Index();
  if (index.Count() >= kMacroLimit) return std::nullopt;
  const std::string contents = ReadFileContents(source);
  if (contents.empty()) return std::nullopt;
  const std::string guid = NewGuid(index, now);
  if (!ReplaceFileContents(*MacroFilePath(folder_, guid), contents)) return std::nullopt;
  return List(index, index.ImportName(source.stem().string()), guid);
}

bool MacroFolder::Remove(std::size_t index) const {
  MacroIndex macros = Index();
  if (index >= macros.Count()) return false;
  const std::string guid = macros.Guid(index);
  macros.Remove(index);
  if (!macros.Write(folder_)) return false;
  if (const auto file = MacroFilePath(folder_, guid)) {
    std::error_code ignored;  // a file left behind is unlisted and harmless
    std::filesystem::remove(*file, ignored);
  }
  return true;
}

}  // namespace brontal
