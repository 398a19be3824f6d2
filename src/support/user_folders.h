#pragma once

#include <filesystem>

namespace brontal {

// Per-user folders after the XDG base directory rules, each with the
// application's own subfolder "Brontal Driver" (the runtime folder uses
// "brontal"). Nothing is created here.
std::filesystem::path UserDataFolder();     // $XDG_DATA_HOME or ~/.local/share
std::filesystem::path UserConfigFolder();   // $XDG_CONFIG_HOME or ~/.config
std::filesystem::path UserStateFolder();    // $XDG_STATE_HOME or ~/.local/state
std::filesystem::path UserCacheFolder();    // $XDG_CACHE_HOME or ~/.cache
std::filesystem::path UserRuntimeFolder();  // $XDG_RUNTIME_DIR or /tmp/brontal-<uid>
// The session's autostart entries, shared by every program: no subfolder of ours.
std::filesystem::path AutostartFolder();  // $XDG_CONFIG_HOME/autostart or ~/.config/autostart

// The folder of the running executable.
std::filesystem::path ProgramFolder();

}  // namespace brontal
