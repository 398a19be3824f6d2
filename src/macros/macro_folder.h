#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "macros/macro_index.h"

// Adding, importing and removing the macros of a device folder. The macro
// file and the index change in the order that keeps every index entry backed
// by its file: a new file is complete before the index names it, and a
// removed entry leaves the index before its file goes, so a crash or a failed
// write leaves at most an unlisted file, never a listed macro that lost its
// events.
namespace brontal {

// No more macros than this per device model.
inline constexpr std::size_t kMacroLimit = 50;

class MacroFolder {
 public:
  explicit MacroFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& Path() const { return folder_; }
  MacroIndex Index() const { return MacroIndex::Read(folder_); }

  // A macro without events named "macro_n", with the Guid of `now` (or of
  // the first later millisecond that no entry or file has). Its macro index,
  // or nullopt at the limit or when a file could not be written.
  std::optional<std::size_t> Add(std::chrono::system_clock::time_point now) const;

  // A copy of the source file, text unchanged, named after its stem. Nullopt
  // at the limit, for an empty or unreadable source, or a failed write.
  std::optional<std::size_t> Import(const std::filesystem::path& source,
                                    std::chrono::system_clock::time_point now) const;

  // The entry and its file; later macro indexes move down by one. False for
  // an index out of range or when the index could not be written (the file
  // then stays too).
  bool Remove(std::size_t index) const;

 private:
  std::string NewGuid(const MacroIndex& index, std::chrono::system_clock::time_point now) const;
  // Lists the written file, or removes it again when the index cannot be written.
  std::optional<std::size_t> List(MacroIndex index, const std::string& name, const std::string& guid) const;

  std::filesystem::path folder_;
};

}  // namespace brontal
