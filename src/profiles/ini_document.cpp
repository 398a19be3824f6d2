#include "profiles/ini_document.h"

#include <algorithm>

#include "support/ascii_text.h"

namespace brontal {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A header's name, or nullopt for any other line.
std::optional<std::string_view> HeaderName(std::string_view trimmed) {
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  const auto close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  IniDocument document;
  std::string section;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (raw.ends_with('\r')) raw.remove_suffix(1);

    Line line{std::string(raw), section, {}, {}};
    const std::string_view trimmed = Trim(raw);
    if (const auto header = HeaderName(trimmed)) {
      section = *header;
      line.section = section;
      line.header = true;
    } else if (!trimmed.empty() && trimmed.front() != ';') {
      const auto equals = trimmed.find('=');
      if (equals != std::string_view::npos && !Trim(trimmed.substr(0, equals)).empty()) {
        line.key = Trim(trimmed.substr(0, equals));
        line.value = Trim(trimmed.substr(equals + 1));
      }
    }
    document.lines_.push_back(std::move(line));
  }
  return document;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  for (const Line& line : lines_)
    if (!line.key.empty() && EqualIgnoringAsciiCase(line.section, section) && EqualIgnoringAsciiCase(line.key, key)) return line.value;
  return std::nullopt;
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  value = Trim(value);
  if (key.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
      section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos ||
      key.front() == ';' || key.front() == '[')
    return false;
  const std::string entry = std::string(key) + "=" + std::string(value);

  // A new key goes after the section's last entry (or its header), ahead of
  // the blank lines and comments that may follow it.
  auto last_of_section = lines_.end();
  for (auto it = lines_.begin(); it != lines_.end(); ++it) {
    if (!EqualIgnoringAsciiCase(it->section, section)) continue;
    if (!it->key.empty() && EqualIgnoringAsciiCase(it->key, key)) {
      it->text = it->key + "=" + std::string(value);
      it->value = value;
      return true;
    }
    if (it->header || !it->key.empty()) last_of_section = it;
  }
  if (last_of_section != lines_.end()) {
    lines_.insert(last_of_section + 1, Line{entry, last_of_section->section, std::string(key), std::string(value)});
    return true;
  }
  if (section.empty()) {
    // Keys without a section must come before the first header.
    lines_.insert(lines_.begin(), Line{entry, {}, std::string(key), std::string(value)});
    return true;
  }
  lines_.push_back(Line{"[" + std::string(section) + "]", std::string(section), {}, {}, true});
  lines_.push_back(Line{entry, std::string(section), std::string(key), std::string(value)});
  return true;
}

std::string IniDocument::Render() const {
  std::string text;
  for (const Line& line : lines_) text += line.text + "\n";
  return text;
}

}  // namespace brontal
