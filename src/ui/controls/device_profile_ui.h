#pragma once

#include <json/json.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/profile_list_file.h"
#include "ui/controls/named_parts.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/paint_manager.h"

namespace brontal {

class CComboUI;

// The profile selector of a device page: the model's profile list in its
// device folder, shown in "device_profile_combo" with the selected name in
// "device_profile_name_edit", the "profile_menu_layout" and the page tabs.
// The parts are found by name, below the panel first and then in the window,
// when first needed.
//
// Every operation re-reads "ProfileList.ini", shows it in the drop-down list
// (another device of the model shares the file), changes it and writes it
// back; the list in memory is always the file's. Without the drop-down list
// or the paths every operation does nothing. Programmatic selections send no
// "itemselect": the caller hands the selected identifier to the device itself.
class CDeviceProfileUI : public CHorizontalLayoutUI {
 public:
  static constexpr std::string_view kClassName = "DeviceProfile";
  // AddProfile stops here; copies and imports do not.
  static constexpr std::size_t kMaxAddedProfiles = 50;
  static constexpr int kHeadsetKind = 7;

  using Clock = std::function<std::chrono::system_clock::time_point()>;

  enum class RenameResult {
    kNameTaken = 0,  // another profile has the name, in any letter case
    kRenamed = 1,
    kBlankName = 2,
    kNotRenamed = 3,  // nothing selected, or the list could not be written
  };

  std::string_view GetClass() const override { return kClassName; }

  void SetPaths(std::filesystem::path device_folder, std::filesystem::path default_profile);
  // The device kind of the supported-device table (1..7): which tabs show,
  // and whether a reset keeps the custom equaliser.
  void SetDeviceKind(int kind) { device_kind_ = kind; }
  // The time new identifiers are made from.
  void SetClock(Clock clock) { clock_ = std::move(clock); }
  // Hears, once each, what the panel did on its own to keep the user's
  // profiles: an unreadable list kept aside and made again from the profile
  // files, or a list that cannot be saved. The main window shows the text.
  using NoticeHandler = std::function<void(const std::string& text)>;
  void SetNoticeHandler(NoticeHandler handler) { notice_handler_ = std::move(handler); }
  // What was said so far, for a window that asks rather than listens.
  const std::vector<std::string>& Notices() const { return notices_; }

  // Shows the list, making profile1 to profile4 when there is neither a
  // list nor a profile file, and selects the first profile; false when no
  // profile could be selected. A folder that cannot take files is said once
  // (CheckWritableFolder). The
  // tabs are the shown device's business (ApplyTabVisibility).
  bool Initialise();
  int ProfileCount();
  // Empty for an index out of range.
  std::filesystem::path ProfileFilePath(int index) const;
  // The drop-down list's current index; -1 when nothing is selected or the
  // list is missing.
  int SelectedIndex();
  const std::string& SelectedUUID() const { return selected_uuid_; }
  // False, with nothing changed, for an index out of range.
  bool Select(int index, bool take_focus = false);

  // The new profile is made from the default profile and is not selected.
  bool AddProfile();
  // The index the caller should select next; -1 when nothing was deleted
  // (nothing selected, or the last profile).
  int DeleteProfile();
  bool CopyProfile();
  // Stored as entered, white space included.
  RenameResult RenameProfile(std::string_view name);
  // Refuses a file that is not a profile document naming itself.
  bool ImportProfile(const std::filesystem::path& path);
  bool ExportProfile(const std::filesystem::path& path);
  // Rewrites the first four profiles from the default profile, keeping their
  // names; refused, with nothing changed, without a readable default profile.
  bool ResetProfiles();

  std::string NameEditText();
  void SetNameEditText(std::string text);
  void ShowProfileMenu(bool show);
  bool IsProfileMenuShown();
  // 1..8: "key_Op_tab", "deng_Op_tab", "system_Op_tab", "macro_Op_tab",
  // "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab";
  // any other number deselects them all. The window hears "selectchanged" as
  // from the user, so that it brings up the page.
  void SelectTab(int number);
  // The page tabs (one strip, shared by every device page) show those of
  // this panel's device kind; a selected tab that hides gives way to the
  // lighting tab, which every kind has.
  void ApplyTabVisibility();

  const Json::Value& ListDocument() const { return list_.Document(); }

 private:
  CControlUI* Part(std::string_view name) { return parts_.Get(name); }
  template <typename T>
  T* Part(std::string_view name) {
    return dynamic_cast<T*>(Part(name));
  }
  CComboUI* Combo();

  // Re-reads the list and shows it; false when the panel cannot work. A
  // list that names no profile is made again from the folder's profile files.
  bool LoadList();
  // `document` is what the list file gave; list_ names no profile.
  void Recover(const std::filesystem::path& file, const Json::Value& document);
  void Say(std::string text);
  // Writes the changed list; only once it is stored does it replace the
  // list in memory and on screen.
  bool Commit(ProfileList changed);
  void ShowList();
  bool AddEntry(const std::string& name, Json::Value profile, bool select_new);

  std::filesystem::path folder_;
  std::filesystem::path default_profile_;
  int device_kind_ = 0;
  Clock clock_ = [] { return std::chrono::system_clock::now(); };
  ProfileList list_;
  // An unreadable list that could not be kept aside is never written over.
  bool list_locked_ = false;
  NoticeHandler notice_handler_;
  std::vector<std::string> notices_;
  std::string selected_uuid_;
  // Below the panel first: a window may hold one device page per device.
  NamedParts parts_{[this](std::string_view name) {
    CControlUI* found = CPaintManagerUI::FindSubControlByName(this, name);
    return found || !GetManager() ? found : GetManager()->FindControl(name);
  }};
};

}  // namespace brontal
