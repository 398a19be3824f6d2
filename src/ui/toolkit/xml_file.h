#pragma once

#include <filesystem>
#include <string>

#include <pugixml.hpp>

namespace brontal {

// A parsed XML file of the skin that can name the file and line of its nodes.
class XmlFile {
 public:
  // False, with "FILE:LINE: reason" in `error`, when the file cannot be read or parsed.
  bool Load(const std::filesystem::path& path, std::string& error);

  const std::filesystem::path& Path() const { return path_; }
  pugi::xml_node Root() const { return document_.document_element(); }
  // "FILE:LINE" of a node, for messages.
  std::string Where(const pugi::xml_node& node) const;

 private:
  std::string WhereOffset(std::ptrdiff_t offset) const;

  std::filesystem::path path_;
  std::string text_;
  pugi::xml_document document_;
};

}  // namespace brontal
