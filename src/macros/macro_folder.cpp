#include "macros/macro_folder.h"

#include <algorithm>
#include <system_error>

#include "macros/macro_file.h"
#include "profiles/file_contents.h"
#include "profiles/json_document.h"
#include "profiles/profile_list_file.h"
#include "support/safe_file.h"

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

MacroImport MacroFolder::Import(const std::filesystem::path& source, std::chrono::system_clock::time_point now) const {
  const MacroIndex index = Index();
  if (index.Count() >= kMacroLimit)
    return {std::nullopt, "cannot be added: there are " + std::to_string(kMacroLimit) + " macros already"};
  std::string contents, problem;
  if (!ReadRegularFile(source, kLargestMacroImport, contents, problem)) return {std::nullopt, problem};
  if (contents.empty()) return {std::nullopt, "is empty"};
  if (const std::size_t events = MacroEventsOf(ParseJsonDocument(contents)).size(); events > kMacroEventLimit)
    return {std::nullopt,
            "holds " + std::to_string(events) + " events; a macro takes at most " + std::to_string(kMacroEventLimit)};
  const std::string guid = NewGuid(index, now);
  if (!ReplaceFileContents(*MacroFilePath(folder_, guid), contents))
    return {std::nullopt, "could not be copied into " + folder_.string()};
  const std::optional<std::size_t> listed = List(index, index.ImportName(source.stem().string()), guid);
  if (!listed) return {std::nullopt, "could not be listed in " + (folder_ / kMacroIndexFileName).string()};
  return {listed, {}};
}

MacroRename MacroFolder::Rename(std::size_t index, std::string_view name) const {
  constexpr std::string_view kBlanks = " \t\r\n\v\f";
  name.remove_prefix(std::min(name.find_first_not_of(kBlanks), name.size()));
  name.remove_suffix(name.size() - (name.find_last_not_of(kBlanks) + 1));
  MacroIndex macros = Index();
  if (index >= macros.Count()) return MacroRename::kNoSuchMacro;
  if (name.empty()) return MacroRename::kBlankName;
  if (macros.HasName(name)) return MacroRename::kNameTaken;
  macros.Rename(index, name);
  return macros.Write(folder_) ? MacroRename::kRenamed : MacroRename::kNotWritten;
}

bool MacroFolder::Export(std::size_t index, const std::filesystem::path& target) const {
  const auto file = MacroFilePath(folder_, Index().Guid(index));
  if (!file) return false;
  std::string contents, problem;
  return ReadFileContents(*file, contents, problem) && ReplaceFileContents(target, contents);
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
