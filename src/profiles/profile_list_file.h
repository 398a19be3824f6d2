#pragma once

#include <json/json.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A device folder's profile list, "ProfileList.ini" (a JSON document despite
// its name):
//
//   {"profilelist": [{"profilename": "profile1", "profileUUID": "2019_05_07_13_04_59_031",
//                     "profileislink": 0, "profilelinkmame": ""}, ...],
//    "profileselect": 0}
//
// Each profile lives beside it as its identifier + ".Json", a profile document
// holding its own "profilename" and "profileUUID" too.
namespace brontal {

inline constexpr std::string_view kProfileListFileName = "ProfileList.ini";

// Empty once the white space at both ends is taken away.
bool IsBlankProfileName(std::string_view name);

// The list document with typed access. Entries that cannot name a profile
// file of the folder (no identifier text, one holding a path separator, or
// one that an earlier entry already uses) are passed over: the indexes count
// only the usable entries, so a hand-edited list can neither lead a write
// outside the folder nor let two entries share one file. The document keeps
// them as they were, so that writing the list back never loses what another
// version of the program (or the user) put there.
class ProfileList {
 public:
  // A null document (a missing or corrupt file) stays null; any other value
  // that is not an object becomes an empty object.
  explicit ProfileList(const Json::Value& document = Json::Value());

  static ProfileList Read(const std::filesystem::path& folder);
  // A document that gives no list at all: not JSON, not an object, or a
  // "profilelist" that is not an array. Unusable entries do not count.
  static bool IsUnreadable(const Json::Value& document);
  // The folder's profile files as a list, oldest identifier (its time of
  // making) first: every "<UUID>.Json" whose document names itself with that
  // identifier, under its "profilename" (the identifier when it has none).
  static ProfileList FromProfileFiles(const std::filesystem::path& folder);
  bool Write(const std::filesystem::path& folder) const;

  const Json::Value& Document() const { return document_; }

  std::size_t Count() const;
  // Empty for an index out of range.
  std::string Name(std::size_t index) const;
  std::string Uuid(std::size_t index) const;

  bool HasName(std::string_view name, std::optional<std::size_t> except = std::nullopt) const;
  bool HasUuid(std::string_view uuid) const;

  void Append(std::string_view name, std::string_view uuid);
  // Index out of range: nothing changes.
  void Rename(std::size_t index, std::string_view name);
  void Remove(std::size_t index);
  // Stored as the entry's place in the whole list, as every reader counts.
  void SetSelected(std::size_t index);

  // The first name that no entry has: "profile1", "profile2", ...
  std::string NumberedName() const;
  // "A copy", then "A copy copy", ...
  std::string CopyName(std::string_view source) const;
  // "N", then "N(1)", then "N(1)(2)", ...
  std::string ImportName(std::string_view stem) const;

 private:
  // Where each usable entry stands in the document's list.
  void FindUsable();
  std::optional<Json::ArrayIndex> At(std::size_t index) const;

  Json::Value document_;
  std::vector<Json::ArrayIndex> usable_;
};

std::filesystem::path ProfileFilePath(const std::filesystem::path& folder, std::string_view uuid);

// Local time as "2019_05_07_13_04_59_031".
std::string FormatProfileIdentifier(std::chrono::system_clock::time_point time);
// The identifier of `time` or, when `taken` refuses it, of the first later
// millisecond that is free: profiles made within one millisecond would
// otherwise share a file.
std::string NewProfileIdentifier(std::chrono::system_clock::time_point time,
                                 const std::function<bool(const std::string&)>& taken);

// Only documents that name themselves as a profile are imported.
bool HasProfileIdentity(const Json::Value& document);

// Writes `profile` (the default profile, or the copied or imported one) as
// the profile file of `uuid`, under the new name and identifier.
bool WriteProfileFile(const std::filesystem::path& folder, Json::Value profile, std::string_view name,
                      std::string_view uuid);

// The headset's custom equaliser curves and their names belong to the user,
// so a reset of `profile` to the defaults keeps those of `current`.
void KeepCustomEq(const Json::Value& current, Json::Value& profile);

}  // namespace brontal
