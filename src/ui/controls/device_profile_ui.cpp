#include "ui/controls/device_profile_ui.h"

#include <algorithm>
#include <array>
#include <system_error>
#include <utility>

#include "profiles/data_folders.h"
#include "profiles/json_document.h"
#include "profiles/kept_aside.h"
#include "support/debug_log.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/paint_manager.h"

namespace brontal {
namespace {

constexpr std::string_view kComboName = "device_profile_combo";
constexpr std::string_view kNameEditName = "device_profile_name_edit";
constexpr std::string_view kMenuName = "profile_menu_layout";
constexpr int kItemHeight = 30;
constexpr std::size_t kResetProfiles = 4;
constexpr int kFirstRunProfiles = 4;

constexpr std::string_view kKeyTab = "key_Op_tab";
constexpr std::string_view kLightTab = "deng_Op_tab";
constexpr std::string_view kSystemTab = "system_Op_tab";
constexpr std::string_view kMacroTab = "macro_Op_tab";
constexpr std::string_view kCursorTab = "cursor_Op_tab";
constexpr std::string_view kVoiceTab = "6533_voice_Op_tab";
constexpr std::string_view kMagicTab = "magic_Op_tab";
constexpr std::string_view kVirtualTab = "Virtual7.1_Op_tab";
// In SelectTab's numbering, from 1.
constexpr std::array kTabs = {kKeyTab, kLightTab, kSystemTab, kMacroTab, kCursorTab, kVoiceTab, kMagicTab, kVirtualTab};

constexpr unsigned TabBit(std::string_view name) {
  return 1u << static_cast<unsigned>(std::ranges::find(kTabs, name) - kTabs.begin());
}

// The tabs a device kind hides and shows; the others keep the skin's setting.
struct KindTabs {
  int kind;
  unsigned hidden;
  unsigned shown;
};
constexpr unsigned kKeyFeatureTabs = TabBit(kCursorTab) | TabBit(kMacroTab) | TabBit(kKeyTab);
// The tabs the skin shows before any device kind changes them.
constexpr unsigned kSkinTabs = kKeyFeatureTabs | TabBit(kLightTab) | TabBit(kSystemTab);
// Every kind has the lighting tab.
constexpr int kLightingTabNumber = 2;
constexpr std::array<KindTabs, 5> kKindTabs = {{
    {1, TabBit(kCursorTab), 0},
    {3, kKeyFeatureTabs | TabBit(kSystemTab), 0},
    {4, kKeyFeatureTabs | TabBit(kSystemTab), 0},
    {5, kKeyFeatureTabs, 0},
    {7, kKeyFeatureTabs | TabBit(kSystemTab), TabBit(kVoiceTab) | TabBit(kMagicTab) | TabBit(kVirtualTab)},
}};

}  // namespace

void CDeviceProfileUI::SetPaths(std::filesystem::path device_folder, std::filesystem::path default_profile) {
  folder_ = std::move(device_folder);
  default_profile_ = std::move(default_profile);
}

CComboUI* CDeviceProfileUI::Combo() { return Part<CComboUI>(kComboName); }

bool CDeviceProfileUI::LoadList() {
  if (folder_.empty() || !Combo()) return false;
  const std::filesystem::path file = folder_ / kProfileListFileName;
  const Json::Value document = ReadJsonDocument(file);
  list_locked_ = false;
  // Reading a usable list never writes: entries it cannot use stay in the user's file.
  list_ = ProfileList(ProfileList::IsUnreadable(document) ? Json::Value() : document);
  if (list_.Count() == 0) Recover(file, document);
  ShowList();
  return true;
}

void CDeviceProfileUI::Recover(const std::filesystem::path& file, const Json::Value& document) {
  const bool unreadable = ProfileList::IsUnreadable(document) && HasContents(file);
  const ProfileList found = ProfileList::FromProfileFiles(folder_);
  if (!unreadable && found.Count() == 0) return;  // a first run: the caller makes new profiles
  const std::string count = std::to_string(found.Count());
  if (unreadable) {
    const std::optional<std::filesystem::path> kept = KeepUnreadableFile(file, clock_());
    if (!kept) {
      list_locked_ = true;
      list_ = found;
      const std::optional<std::string> problem = FolderWriteProblem(folder_);
      Say("The profile list " + file.string() + " cannot be read, nor kept aside (" +
          problem.value_or("it cannot be moved") + "); its " + count +
          " profile files are shown, but changes to the list cannot be saved.");
      return;
    }
    if (found.Count() == 0) {
      Say("The profile list " + file.string() + " could not be read and is kept as " + kept->filename().string() +
          "; no profile files were found, so new profiles are made.");
      return;
    }
    Say("The profile list " + file.string() + " could not be read and is kept as " + kept->filename().string() +
        "; the list was made again from its " + count + " profile files.");
  } else {
    Say("The profile list " + file.string() + " named no profiles; its " + count + " profile files were listed again.");
  }
  ProfileList rebuilt = list_;
  for (std::size_t i = 0; i < found.Count(); ++i) rebuilt.Append(found.Name(i), found.Uuid(i));
  rebuilt.SetSelected(0);
  // Unsaved, the list is shown all the same; the next operation tries again.
  if (!Commit(rebuilt)) list_ = std::move(rebuilt);
}

void CDeviceProfileUI::Say(std::string text) {
  if (std::ranges::find(notices_, text) != notices_.end()) return;
  Trace(text);
  notices_.push_back(text);
  if (notice_handler_) notice_handler_(notices_.back());
}

bool CDeviceProfileUI::Commit(ProfileList changed) {
  if (list_locked_ || !changed.Write(folder_)) return false;
  list_ = std::move(changed);
  ShowList();
  return true;
}

void CDeviceProfileUI::ShowList() {
  CComboUI* combo = Combo();
  const int count = static_cast<int>(list_.Count());
  while (combo->GetCount() > count) combo->RemoveAt(combo->GetCount() - 1);
  for (int i = 0; i < count; ++i) {
    const std::string name = list_.Name(i);
    CControlUI* item = combo->GetItemAt(i);
    if (!item) {
      item = combo->AddTextItem(name);
      item->SetFixedHeight(kItemHeight);
    }
    item->SetText(name);
    item->SetToolTip(name);
  }
}

bool CDeviceProfileUI::Initialise() {
  if (!folder_.empty()) CheckWritableFolder(folder_);
  if (!LoadList()) return false;
  if (list_.Count() == 0) {
    for (int i = 0; i < kFirstRunProfiles; ++i) AddProfile();
  }
  return Select(0);
}

int CDeviceProfileUI::ProfileCount() { return LoadList() ? static_cast<int>(list_.Count()) : 0; }

std::filesystem::path CDeviceProfileUI::ProfileFilePath(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= list_.Count()) return {};
  return brontal::ProfileFilePath(folder_, list_.Uuid(index));
}

int CDeviceProfileUI::SelectedIndex() {
  const CComboUI* combo = Combo();
  return combo ? combo->GetCurSel() : -1;
}

bool CDeviceProfileUI::Select(int index, bool take_focus) {
  if (!LoadList() || index < 0 || static_cast<std::size_t>(index) >= list_.Count()) return false;
  CComboUI* combo = Combo();
  combo->SelectItem(index, false);
  if (take_focus && GetManager()) GetManager()->SetFocus(combo);
  SetNameEditText(list_.Name(index));
  selected_uuid_ = list_.Uuid(index);
  ProfileList changed = list_;
  changed.SetSelected(index);
  Commit(std::move(changed));  // the stored choice is only informative: the first profile starts selected
  return true;
}

bool CDeviceProfileUI::AddEntry(const std::string& name, Json::Value profile, bool select_new) {
  const std::string uuid = NewProfileIdentifier(clock_(), [this](const std::string& candidate) {
    std::error_code ignored;
    return list_.HasUuid(candidate) || std::filesystem::exists(brontal::ProfileFilePath(folder_, candidate), ignored);
  });
  ProfileList changed = list_;
  changed.Append(name, uuid);
  if (select_new) changed.SetSelected(changed.Count() - 1);
  // The file first: a listed profile whose file failed would load as the
  // defaults, losing a copy's or an import's settings.
  if (!WriteProfileFile(folder_, std::move(profile), name, uuid)) return false;
  if (Commit(std::move(changed))) return true;
  std::error_code ignored;
  std::filesystem::remove(brontal::ProfileFilePath(folder_, uuid), ignored);
  return false;
}

bool CDeviceProfileUI::AddProfile() {
  if (!LoadList() || list_.Count() >= kMaxAddedProfiles) return false;
  return AddEntry(list_.NumberedName(), ReadJsonDocument(default_profile_), true);
}

int CDeviceProfileUI::DeleteProfile() {
  if (!LoadList()) return -1;
  const int selected = SelectedIndex();
  if (selected < 0 || list_.Count() < 2) return -1;
  const int next = selected == 0 ? 0 : selected - 1;
  const std::filesystem::path file = ProfileFilePath(selected);
  ProfileList changed = list_;
  changed.Remove(selected);
  changed.SetSelected(next);
  // The list first: a listed profile without its file would come back as the defaults.
  if (!Commit(std::move(changed))) return -1;
  Combo()->SelectItem(-1, false);  // the deleted profile's place in the list now shows the next one
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  return next;
}

bool CDeviceProfileUI::CopyProfile() {
  if (!LoadList()) return false;
  const int selected = SelectedIndex();
  if (selected < 0) return false;
  return AddEntry(list_.CopyName(list_.Name(selected)), ReadJsonDocument(ProfileFilePath(selected)), false);
}

CDeviceProfileUI::RenameResult CDeviceProfileUI::RenameProfile(std::string_view name) {
  if (IsBlankProfileName(name)) return RenameResult::kBlankName;
  if (!LoadList()) return RenameResult::kNotRenamed;
  const int selected = SelectedIndex();
  if (selected < 0) return RenameResult::kNotRenamed;
  if (list_.HasName(name, selected)) return RenameResult::kNameTaken;
  ProfileList changed = list_;
  changed.Rename(selected, name);
  if (!Commit(std::move(changed))) return RenameResult::kNotRenamed;
  SetNameEditText(std::string(name));
  // The file's own copy of the name follows the list; a missing file is left
  // for loading to make from the defaults.
  const std::filesystem::path file = ProfileFilePath(selected);
  if (Json::Value profile = ReadJsonDocument(file); profile.isObject()) {
    WriteProfileFile(folder_, std::move(profile), name, list_.Uuid(selected));
  }
  return RenameResult::kRenamed;
}

bool CDeviceProfileUI::ImportProfile(const std::filesystem::path& path) {
  Json::Value profile = ReadJsonDocument(path);
  if (!HasProfileIdentity(profile) || !LoadList()) return false;
  return AddEntry(list_.ImportName(path.stem().string()), std::move(profile), false);
}

bool CDeviceProfileUI::ExportProfile(const std::filesystem::path& path) {
  if (path.empty() || !LoadList()) return false;
  const int selected = SelectedIndex();
  if (selected < 0) return false;
  const Json::Value profile = ReadJsonDocument(ProfileFilePath(selected));
  return profile.isObject() && WriteJsonDocument(path, profile);
}

bool CDeviceProfileUI::ResetProfiles() {
  if (!LoadList()) return false;
  const Json::Value defaults = ReadJsonDocument(default_profile_);
  if (!defaults.isObject()) return false;
  bool written = true;
  for (std::size_t i = 0; i < std::min(kResetProfiles, list_.Count()); ++i) {
    Json::Value profile = defaults;
    if (device_kind_ == kHeadsetKind) {
      KeepCustomEq(ReadJsonDocument(brontal::ProfileFilePath(folder_, list_.Uuid(i))), profile);
    }
    written = WriteProfileFile(folder_, std::move(profile), list_.Name(i), list_.Uuid(i)) && written;
  }
  return written;
}

std::string CDeviceProfileUI::NameEditText() {
  const auto* edit = Part<CEditUI>(kNameEditName);
  return edit ? edit->GetText() : std::string();
}

void CDeviceProfileUI::SetNameEditText(std::string text) {
  if (auto* edit = Part<CEditUI>(kNameEditName)) edit->SetText(std::move(text));
}

void CDeviceProfileUI::ShowProfileMenu(bool show) {
  if (CControlUI* menu = Part(kMenuName)) menu->SetVisible(show);
}

bool CDeviceProfileUI::IsProfileMenuShown() {
  const CControlUI* menu = Part(kMenuName);
  return menu && menu->IsVisible();
}

void CDeviceProfileUI::SelectTab(int number) {
  if (number >= 1 && number <= static_cast<int>(kTabs.size())) {
    if (auto* tab = Part<COptionUI>(kTabs[number - 1])) tab->Selected(true);
    return;
  }
  for (std::string_view name : kTabs) {
    if (auto* tab = Part<COptionUI>(name)) tab->Selected(false);
  }
}

void CDeviceProfileUI::ApplyTabVisibility() {
  const auto row = std::ranges::find(kKindTabs, device_kind_, &KindTabs::kind);
  const unsigned hidden = row == kKindTabs.end() ? 0 : row->hidden;
  const unsigned shown = row == kKindTabs.end() ? 0 : row->shown;
  bool selection_hidden = false;
  for (std::string_view name : kTabs) {
    auto* tab = Part<COptionUI>(name);
    if (!tab) continue;
    const unsigned bit = TabBit(name);
    // From the skin's own setting each time: the strip may have shown another kind's tabs.
    tab->SetVisible(((kSkinTabs & bit) != 0 && (hidden & bit) == 0) || (shown & bit) != 0);
    selection_hidden = selection_hidden || (tab->IsSelected() && !tab->IsVisible());
  }
  if (selection_hidden) SelectTab(kLightingTabNumber);
}

}  // namespace brontal
