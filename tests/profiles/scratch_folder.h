#pragma once

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "helpers/temporary_folder.h"
#include "profiles/data_folders.h"

namespace brontal::testing {

// A fresh folder of the test's own, removed with its content afterwards.
class ScratchFolder {
 public:
  const std::filesystem::path& path() const { return folder_.path(); }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  std::filesystem::path Write(std::string_view name, std::string_view contents) const {
    const std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
    return file;
  }
  std::string Read(std::string_view name) const {
    std::ifstream file(path_ / name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  bool Exists(std::string_view name) const { return std::filesystem::exists(path_ / name); }
  // The names in a folder, hidden ones (temporary files) included.
  std::set<std::string> Names(std::string_view folder = "") const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_ / folder))
      names.insert(entry.path().filename().string());
    return names;
  }

  // Application-wide folders below this one, the factory copies in "factory".
  AppFolders Folders() const { return {path_ / "factory", path_ / "user", path_ / "config"}; }

 private:
  test::TemporaryFolder folder_{"brontal_profiles"};
  const std::filesystem::path& path_ = folder_.path();
};

}  // namespace brontal::testing
