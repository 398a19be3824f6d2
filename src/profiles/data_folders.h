#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brontal {

// The factory data installed beside the executables; never written.
std::filesystem::path DefaultDataFolder();

// A model's default profile: the default-data folder + model name + ".Json".
// The model name is the kind name of the device entry table ("keyboard",
// "mouse", "MousePad", "HD").
std::filesystem::path DefaultProfilePath(std::string_view model);

// The per-user application folder ("Brontal Driver" in the user's data
// folder) + model name, created when missing. Every device of a
// model shares it, and with it the profile list and the profiles.
std::filesystem::path DeviceFolder(std::string_view model);

// The model's list of custom lighting effects: its device folder + the
// lighting page name of the device layout table + ".config".
std::filesystem::path ModelLightConfigPath(std::string_view model, std::string_view lighting_page);

// The folders the application-wide files live in. Installed() gives the real
// ones; tests hand in their own.
struct AppFolders {
  std::filesystem::path default_data;  // factory copies, read only
  std::filesystem::path application;   // per-user data files
  std::filesystem::path config;        // per-user settings (the language choice)

  static AppFolders Installed();

  // A file of the per-user folders, the folder created when missing.
  std::filesystem::path ApplicationFile(std::string_view name) const;
  std::filesystem::path ConfigFile(std::string_view name) const;
};

// Why nothing can be saved in `folder` (not a folder, missing, not
// writable); nullopt when it can take files.
std::optional<std::string> FolderWriteProblem(const std::filesystem::path& folder);

// False when `folder` cannot take files; the first time for each folder
// this is said with a Trace line and to the folder notice handler.
bool CheckWritableFolder(const std::filesystem::path& folder);

// Hears each folder problem once, as one sentence naming the folder and the
// reason ("Settings cannot be saved in ...: ..."); the main window shows it.
// Problems found before the handler was set are handed to it at once. The
// handler may be called from any thread. An empty handler stops the calls.
using FolderNoticeHandler = std::function<void(const std::string& text)>;
void SetFolderNoticeHandler(FolderNoticeHandler handler);

}  // namespace brontal
