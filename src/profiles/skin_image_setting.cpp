#include "profiles/skin_image_setting.h"

#include "profiles/file_contents.h"
#include "profiles/ini_document.h"

namespace brontal {
namespace {

constexpr std::string_view kFileName = "main.ini";
constexpr std::string_view kSection = "SKINIMAGE";
constexpr std::string_view kFlags = "FLAGS";
constexpr std::string_view kImage = "IMAGE";

}  // namespace

std::optional<SkinImageChoice> ReadSkinImage(const AppFolders& folders) {
  const IniDocument ini = IniDocument::Parse(ReadFileContents(folders.application / kFileName));
  std::optional<std::string> image = ini.Get(kSection, kImage);
  if (!image) return std::nullopt;
  return SkinImageChoice{ini.Get(kSection, kFlags) == "1", std::move(*image)};
}

bool WriteSkinImage(const SkinImageChoice& choice, const AppFolders& folders) {
  const std::filesystem::path path = folders.ApplicationFile(kFileName);
  IniDocument ini = IniDocument::Parse(ReadFileContents(path));
  return ini.Set(kSection, kFlags, choice.from_skin ? "1" : "0") && ini.Set(kSection, kImage, choice.image) &&
         ReplaceFileContents(path, ini.Render());
}

}  // namespace brontal
