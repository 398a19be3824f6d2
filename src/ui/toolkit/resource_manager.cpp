#include "ui/toolkit/resource_manager.h"

#include <algorithm>
#include <string_view>

#include "ui/toolkit/xml_file.h"

namespace brontal {
namespace {

// Reads the (key attribute → value) entries of every `entry` child of the
// file's root element named `root`.
template <typename Value, typename ValueOf>
bool LoadEntries(const std::filesystem::path& path, std::string_view root, const char* entry, const char* key,
                 ValueOf value_of, std::map<std::string, Value, std::less<>>& into, std::string& error) {
  XmlFile file;
  if (!file.Load(path, error)) return false;
  if (std::string_view(file.Root().name()) != root) {
    error = file.Where(file.Root()) + ": the root element must be <" + std::string(root) + ">";
    return false;
  }
  std::map<std::string, Value, std::less<>> entries;
  for (const pugi::xml_node node : file.Root().children(entry)) {
    const std::string_view id = node.attribute(key).as_string();
    if (id.empty()) {
      error = file.Where(node) + ": <" + entry + "> without " + key;
      return false;
    }
    entries.insert_or_assign(std::string(id), value_of(node));
  }
  into = std::move(entries);
  return true;
}

}  // namespace

bool CResourceManager::LoadIndex(const std::filesystem::path& file, std::string& error) {
  return LoadEntries(
      InSkin(file), "Resources", "Layout", "name",
      [](const pugi::xml_node& node) { return std::filesystem::path(node.attribute("file").as_string()); }, layouts_,
      error);
}

bool CResourceManager::LoadLanguage(const std::filesystem::path& file, std::string& error) {
  return LoadEntries(
      InSkin(file), "Language", "Text", "id", [](const pugi::xml_node& node) { return std::string(node.child_value()); },
      texts_, error);
}

std::filesystem::path CResourceManager::LayoutPath(std::string_view name) const {
  const auto it = layouts_.find(name);
  if (it != layouts_.end()) return InSkin(it->second);
  // The program's tables name skin files with backslashes.
  std::string file(name);
  std::replace(file.begin(), file.end(), '\\', '/');
  return InSkin(file);
}

std::string CResourceManager::Translate(std::string_view id) const {
  const auto it = texts_.find(id);
  return it == texts_.end() ? std::string(id) : it->second;
}

}  // namespace brontal
