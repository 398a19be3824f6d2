#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace brontal {

// The skin folder with its index of named layouts, and the texts of the
// current language.
//
// Index file:    <Resources><Layout name="XML_MAIN" file="main.xml"/>...</Resources>
// Language file: <Language><Text id="message_text_27">Delete it?</Text>...</Language>
class CResourceManager {
 public:
  void SetSkinFolder(std::filesystem::path folder) { skin_folder_ = std::move(folder); }
  const std::filesystem::path& SkinFolder() const { return skin_folder_; }

  // Relative paths below are taken from the skin folder. On failure (the error
  // names file and line) the previous index or texts stay in force.
  bool LoadIndex(const std::filesystem::path& file, std::string& error);
  bool LoadLanguage(const std::filesystem::path& file, std::string& error);

  // The file of a layout: its entry in the index, else the name taken as a
  // file below the skin folder (backslashes read as slashes).
  std::filesystem::path LayoutPath(std::string_view name) const;

  void SetLanguage(std::string name) { language_ = std::move(name); }
  const std::string& GetLanguage() const { return language_; }

  // The text of an identifier; the identifier itself when the language has none.
  std::string Translate(std::string_view id) const;

 private:
  std::filesystem::path InSkin(const std::filesystem::path& file) const { return skin_folder_ / file; }

  std::filesystem::path skin_folder_;
  std::map<std::string, std::filesystem::path, std::less<>> layouts_;
  std::map<std::string, std::string, std::less<>> texts_;
  std::string language_;
};

}  // namespace brontal
