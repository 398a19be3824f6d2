#pragma once

#include <optional>
#include <string>

#include "profiles/data_folders.h"

// The main window's background image, section "SKINIMAGE" of "main.ini" in
// the application folder.
namespace brontal {

struct SkinImageChoice {
  bool from_skin = false;  // "FLAGS": "1" for an image of the skin, "0" after a reset
  std::string image;       // "IMAGE": the path, relative paths within the skin
  bool operator==(const SkinImageChoice&) const = default;
};

// nullopt when no image was stored.
std::optional<SkinImageChoice> ReadSkinImage(const AppFolders& folders = AppFolders::Installed());
// Keeps every other line of the file. False for a path with a line break,
// which the file cannot hold, and when the file could not be written.
bool WriteSkinImage(const SkinImageChoice& choice, const AppFolders& folders = AppFolders::Installed());

}  // namespace brontal
