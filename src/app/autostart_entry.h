#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace brontal {

// The XDG autostart entry that starts brontal-driver hidden with the session.
// It lives in the user's autostart folder, where the desktop (and its own
// settings) may also change or hide it.
namespace autostart_entry {

std::filesystem::path Path();  // AutostartFolder()/brontal-driver.desktop

// Whether the session will start the program: the entry exists and neither
// the desktop nor the user has hidden or disabled it there.
bool Enabled();

// Writes the entry for `program`, replacing whatever was there; false with
// `error` set when the folder or file cannot be written or the path cannot be
// put in an entry.
bool Write(const std::filesystem::path& program, std::string& error);
// Removes the entry; true when none is left.
bool Remove(std::string& error);

// `word` as one argument of an entry's Exec key, quoted and escaped as the
// desktop entry rules want (the key's value escaping included); nullopt for
// words that no entry can carry (control characters).
std::optional<std::string> ExecWord(std::string_view word);

}  // namespace autostart_entry
}  // namespace brontal
