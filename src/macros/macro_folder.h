#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

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
// A recording stops adding events at this many, and a larger file is not imported.
inline constexpr std::size_t kMacroEventLimit = 4000;
// Twice a macro of kMacroEventLimit events as written (under 500 KiB).
inline constexpr std::size_t kLargestMacroImport = 1u << 20;

// How an import ended: the new macro's index, or why there is none in words
// that follow the file's name ("is larger than 1048576 bytes").
struct MacroImport {
  std::optional<std::size_t> index;
  std::string problem;
};

enum class MacroRename { kRenamed, kBlankName, kNameTaken, kNoSuchMacro, kNotWritten };

class MacroFolder {
 public:
  explicit MacroFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& Path() const { return folder_; }
  MacroIndex Index() const { return MacroIndex::Read(folder_); }

  // A macro without events named "macro_n", with the Guid of `now` (or of
  // the first later millisecond that no entry or file has). Its macro index,
  // or nullopt at the limit or when a file could not be written.
  std::optional<std::size_t> Add(std::chrono::system_clock::time_point now) const;

  // A copy of the source file, text unchanged, named after its stem. None at
  // the limit, for an empty, unreadable or too large source, one of more than
  // kMacroEventLimit events, or a failed write.
  MacroImport Import(const std::filesystem::path& source, std::chrono::system_clock::time_point now) const;

  // The name without the white space at its ends. Refused when that is empty
  // or when any macro, this one included, has it in either letter case.
  MacroRename Rename(std::size_t index, std::string_view name) const;

  // The macro's file copied, text unchanged, to `target`. False when the
  // macro or its file is missing or the target could not be written.
  bool Export(std::size_t index, const std::filesystem::path& target) const;

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
