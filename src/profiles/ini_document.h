#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brontal {

// An INI file as the Windows profile-string functions keep it: "[section]"
// headers, "key=value" lines, ";" comments. Section and key names compare
// without regard to case; keys before the first header belong to the section
// "". Setting a value keeps every other line as it was.
class IniDocument {
 public:
  static IniDocument Parse(std::string_view text);

  // The value with the blanks around it removed; nullopt when absent.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the value of the first such key, or adds the key after the
  // section's last entry (and the section at the end when it is new).
  // Refuses, returning false, what would change the file's structure: line
  // breaks anywhere, "]" in a section, "=" in a key, a key starting with ";"
  // or "[", or a blank key.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Render() const;

 private:
  struct Line {
    std::string text;     // as read, for lines that are not entries
    std::string section;  // the section the line lies in
    std::string key;      // empty for headers, comments and other lines
    std::string value;
    bool header = false;
  };
  std::vector<Line> lines_;
};

}  // namespace brontal
