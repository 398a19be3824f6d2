#include "app/autostart_entry.h"

#include <unistd.h>

#include <fstream>
#include <system_error>

#include "support/user_folders.h"

namespace brontal::autostart_entry {
namespace {

constexpr std::string_view kFileName = "brontal-driver.desktop";
// An argument with any of these must be quoted.
constexpr std::string_view kReserved = " \t\"'\\><~|&;$*?#()`";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// "Key = value" lines of the [Desktop Entry] group that switch the entry off.
bool SwitchesOff(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view key = Trimmed(line.substr(0, equals)), value = Trimmed(line.substr(equals + 1));
  return (key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false");
}

}  // namespace

std::filesystem::path Path() { return AutostartFolder() / kFileName; }

bool Enabled() {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(Path(), ec)) return false;
  std::ifstream entry(Path());
  bool in_main_group = false;
  for (std::string line; std::getline(entry, line);) {
    const std::string_view text = Trimmed(line);
    if (text.starts_with('['))
      in_main_group = text == "[Desktop Entry]";
    else if (in_main_group && SwitchesOff(text))
      return false;
  }
  return true;
}

std::optional<std::string> ExecWord(std::string_view word) {
  std::string quoted;
  const bool quote = word.empty() || word.find_first_of(kReserved) != std::string_view::npos;
  if (quote) quoted += '"';
  for (const char c : word) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
    if (c == '%') {
      quoted += "%%";  // field codes start with %
      continue;
    }
    // Inside quotes these four take a backslash, and the value's own escaping doubles every backslash.
    if (c == '"' || c == '`' || c == '$') quoted += "\\\\";
    if (c == '\\') quoted += "\\\\\\";
    quoted += c;
  }
  if (quote) quoted += '"';
  return quoted;
}

bool Write(const std::filesystem::path& program, std::string& error) {
  const std::optional<std::string> exec = ExecWord(program.string());
  if (!exec) {
    error = "the program's path has a control character: " + program.string();
    return false;
  }
  const std::filesystem::path path = Path();
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) {
    error = "cannot make " + path.parent_path().string() + ": " + ec.message();
    return false;
  }
  // Written beside and renamed over it: the session never reads half an entry.
  const std::filesystem::path partial = path.string() + "." + std::to_string(::getpid());
  {
    std::ofstream out(partial, std::ios::trunc);
    out << "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Brontal Driver\n"
           "Comment=Keeps the devices' settings and lighting from the start of the session\n"
           "Exec="
        << *exec
        << " --minimized\n"
           "Icon=brontal-driver\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
    if (!out.flush()) {
      error = "cannot write " + partial.string();
      std::filesystem::remove(partial, ec);
      return false;
    }
  }
  std::filesystem::rename(partial, path, ec);
  if (ec) {
    error = "cannot write " + path.string() + ": " + ec.message();
    std::filesystem::remove(partial, ec);
    return false;
  }
  return true;
}

bool Remove(std::string& error) {
  std::error_code ec;
  std::filesystem::remove(Path(), ec);
  if (ec) {
    error = "cannot remove " + Path().string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace brontal::autostart_entry
