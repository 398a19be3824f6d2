#include "ui/toolkit/xml_file.h"

#include <algorithm>

#include "support/safe_file.h"

namespace brontal {
namespace {

// The skin's largest layout is a few dozen KiB.
constexpr std::size_t kLargestXmlFile = 16u << 20;

}  // namespace

bool XmlFile::Load(const std::filesystem::path& path, std::string& error) {
  path_ = path;
  std::string reason;
  if (!ReadRegularFile(path, kLargestXmlFile, text_, reason)) {
    error = path.string() + ": cannot be read: " + reason;
    return false;
  }
  const pugi::xml_parse_result result = document_.load_buffer(text_.data(), text_.size());
  if (!result) {
    error = WhereOffset(result.offset) + ": " + result.description();
    return false;
  }
  if (!Root()) {
    error = path.string() + ": no root element";
    return false;
  }
  return true;
}

std::string XmlFile::Where(const pugi::xml_node& node) const { return WhereOffset(node.offset_debug()); }

std::string XmlFile::WhereOffset(std::ptrdiff_t offset) const {
  const auto end = text_.begin() + std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(text_.size()));
  const auto line = std::count(text_.begin(), end, '\n') + 1;
  return path_.string() + ":" + std::to_string(line);
}

}  // namespace brontal
