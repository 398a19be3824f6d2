#include "macros/macro_index.h"

#include "macros/macro_file.h"
#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/kept_aside.h"
#include "profiles/profile_list_file.h"
#include "support/ascii_text.h"

namespace brontal {
namespace {

constexpr const char* kEntries = "MacroInfo";
constexpr const char* kName = "MacroName";
constexpr const char* kGuid = "Guid";

}  // namespace

MacroIndex::MacroIndex(Json::Value document) : document_(std::move(document)) {}

MacroIndex MacroIndex::Read(const std::filesystem::path& folder) {
  return MacroIndex(ReadJsonDocument(folder / kMacroIndexFileName));
}

bool MacroIndex::Write(const std::filesystem::path& folder) const {
  const std::filesystem::path file = folder / kMacroIndexFileName;
  // An index that could not be read is kept beside the new one, not written over.
  if (!KeepAsideIfUnreadable(file, ReadJsonDocument(file))) return false;
  return WriteJsonDocument(file, document_);
}

std::size_t MacroIndex::Count() const { return ElementCount(Member(document_, kEntries)); }

std::string MacroIndex::Name(std::size_t index) const {
  const Json::Value& name = Member(Element(Member(document_, kEntries), index), kName);
  return name.isString() ? name.asString() : std::string();
}

std::string MacroIndex::StoredGuid(std::size_t index) const {
  const Json::Value& guid = Member(Element(Member(document_, kEntries), index), kGuid);
  return guid.isString() ? guid.asString() : std::string();
}

std::string MacroIndex::Guid(std::size_t index) const {
  std::string guid = StoredGuid(index);
  if (!MacroFilePath({}, guid)) return {};
  for (std::size_t earlier = 0; earlier < index; ++earlier) {
    if (StoredGuid(earlier) == guid) return {};
  }
  return guid;
}

std::optional<std::size_t> MacroIndex::Find(std::string_view name) const {
  for (std::size_t i = 0; i < Count(); ++i)
    if (Name(i) == name) return i;
  for (std::size_t i = 0; i < Count(); ++i)
    if (EqualIgnoringAsciiCase(Name(i), name)) return i;
  return std::nullopt;
}

bool MacroIndex::HasName(std::string_view name, std::optional<std::size_t> except) const {
  for (std::size_t i = 0; i < Count(); ++i) {
    if (i != except && EqualIgnoringAsciiCase(Name(i), name)) return true;
  }
  return false;
}

bool MacroIndex::HasGuid(std::string_view guid) const {
  for (std::size_t i = 0; i < Count(); ++i) {
    if (StoredGuid(i) == guid) return true;
  }
  return false;
}

void MacroIndex::Append(std::string_view name, std::string_view guid) {
  Json::Value& entry = ElementForWrite(MemberForWrite(document_, kEntries), Count());
  entry = Json::Value(Json::objectValue);
  entry[kName] = std::string(name);
  entry[kGuid] = std::string(guid);
}

void MacroIndex::Rename(std::size_t index, std::string_view name) {
  if (index >= Count()) return;
  MemberForWrite(ElementForWrite(MemberForWrite(document_, kEntries), index), kName) = std::string(name);
}

void MacroIndex::Remove(std::size_t index) {
  if (index >= Count()) return;
  Json::Value removed;
  MemberForWrite(document_, kEntries).removeIndex(static_cast<Json::ArrayIndex>(index), &removed);
}

std::string MacroIndex::NewMacroName() const {
  for (int number = 1;; ++number) {
    std::string name = "macro_" + std::to_string(number);
    if (!HasName(name)) return name;
  }
}

std::string MacroIndex::ImportName(std::string_view stem) const {
  if (IsBlankProfileName(stem)) return NewMacroName();
  std::string name(stem);
  for (int suffix = 1; HasName(name); ++suffix) name += "_" + std::to_string(suffix);
  return name;
}

}  // namespace brontal
