// Feeds arbitrary bytes as each small file a user could edit by hand: a
// profile list, a macro index, a macro file and a light config. Every reading
// and every change that the program makes must survive them, and what is
// written back must read back as the same entries.
// Input: the file's bytes. Seeds: any JSON files, e.g. those of DefaultData/.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "macros/macro_file.h"
#include "macros/macro_index.h"
#include "profiles/file_contents.h"
#include "profiles/json_document.h"
#include "profiles/light_names.h"
#include "profiles/light_steps.h"
#include "profiles/profile_list_file.h"

namespace {

using namespace brontal;

// The run's files, in a folder of their own below TMPDIR (libFuzzer ends the
// process without destructors, so the folder stays).
struct Folder {
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brontal_lists_fuzz_XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  std::filesystem::path path;
};

void ExerciseProfileList(const std::filesystem::path& folder) {
  ProfileList list = ProfileList::Read(folder);
  for (std::size_t i = 0; i <= list.Count(); ++i) {
    list.HasName(list.Name(i), i);
    list.CopyName(list.Name(i));
    list.ImportName(list.Name(i));
  }
  if (!list.HasUuid("fuzz_uuid")) list.Append(list.NumberedName(), "fuzz_uuid");
  list.Rename(0, "renamed");
  if (list.Count() > 0) list.SetSelected(list.Count() - 1);
  list.Remove(list.Count() / 2);
  if (!list.Write(folder)) return;
  // Members the program does not know may be re-encoded; the entries may not.
  const ProfileList again = ProfileList::Read(folder);
  if (again.Count() != list.Count()) abort();
  for (std::size_t i = 0; i < list.Count(); ++i)
    if (again.Uuid(i) != list.Uuid(i)) abort();
}

void ExerciseMacroIndex(const std::filesystem::path& folder) {
  MacroIndex index = MacroIndex::Read(folder);
  for (std::size_t i = 0; i <= index.Count(); ++i) {
    index.HasName(index.Name(i), i);
    LoadMacroEvents(folder, index.Guid(i));
  }
  index.ImportName(index.NewMacroName());
  if (!index.HasGuid("fuzz_guid")) index.Append(index.NewMacroName(), "fuzz_guid");
  index.Rename(0, "renamed");
  index.Remove(index.Count() / 2);
  if (!index.Write(folder)) return;
  if (MacroIndex::Read(folder).Count() != index.Count()) abort();
}

void ExerciseLightConfig(const std::filesystem::path& folder) {
  const Json::Value config = ReadJsonDocument(folder / "drumo_light.config");
  LightNameLists lists;
  for (std::size_t slot = 0; slot < 4; ++slot) LoadLightNames(slot, folder, lists, folder);
  for (std::size_t effect = 0; effect < 4; ++effect) ReadLightSteps(folder, CustomEffectGuid(config, 0, effect));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Folder folder;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const char* name :
       {"ProfileList.ini", "macro.config", "fuzz_guid.mac", "drumo_light.config", "default_light.json", "0.light"})
    ReplaceFileContents(folder.path / name, bytes);
  ExerciseProfileList(folder.path);
  ExerciseMacroIndex(folder.path);
  ExerciseLightConfig(folder.path);
  return 0;
}
