#pragma once

#include <json/json.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A device folder's macro index, "macro.config":
//   {"MacroInfo": [{"Guid": "2024_03_07_14_05_09_042", "MacroName": "macro_1"}, ...]}
// Entry i is macro index i, the number key assignments refer to a macro by.
namespace brontal {

inline constexpr std::string_view kMacroIndexFileName = "macro.config";

class MacroIndex {
 public:
  // Any value: a document that is not an object, or lacks the entry array,
  // holds no macros until something is appended.
  explicit MacroIndex(Json::Value document = Json::Value());

  static MacroIndex Read(const std::filesystem::path& folder);
  bool Write(const std::filesystem::path& folder) const;

  std::size_t Count() const;
  // Empty for an index out of range or a name that is not text.
  std::string Name(std::size_t index) const;
  // Empty, too, for a Guid that cannot name a file or that an earlier entry
  // already has: such an entry keeps its place (later macro indexes stay
  // right) but behaves as a macro without a file, so it can neither reach
  // outside the folder nor share, and on removal delete, another's file.
  std::string Guid(std::size_t index) const;

  // The macro of that name: the exact name first, then the name in any
  // letter case (names differ in more than case unless the file was edited
  // by hand).
  std::optional<std::size_t> Find(std::string_view name) const;
  // Names compare with ASCII letters in either case.
  bool HasName(std::string_view name, std::optional<std::size_t> except = std::nullopt) const;
  bool HasGuid(std::string_view guid) const;

  void Append(std::string_view name, std::string_view guid);
  // Index out of range: nothing changes.
  void Rename(std::size_t index, std::string_view name);
  // Later entries move down by one, and so do their macro indexes.
  void Remove(std::size_t index);

  // "macro_1", "macro_2", ...: the first that no entry has.
  std::string NewMacroName() const;
  // The imported file's stem, "_1", "_2", ... appended while it clashes
  // ("Combo" -> "Combo_1" -> "Combo_1_2"); a blank stem gets a new macro name.
  std::string ImportName(std::string_view stem) const;

 private:
  std::string StoredGuid(std::size_t index) const;

  Json::Value document_;
};

}  // namespace brontal
