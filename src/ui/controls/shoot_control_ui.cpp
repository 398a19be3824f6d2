#include "ui/controls/shoot_control_ui.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <string>

#include "ui/toolkit/option.h"
#include "ui/toolkit/tab_layout.h"

namespace brontal {
namespace {

constexpr std::string_view kGunOption = "shoot_gun_op_";
constexpr std::string_view kShotOption = "bullet_op_";
constexpr std::string_view kPages = "shoot_image_display_switch";
constexpr std::string_view kShotNumber = "bullet_select_index";
constexpr std::string_view kXCheck = "bullet_x_check";
constexpr std::string_view kYCheck = "bullet_y_check";
constexpr std::string_view kXField = "bullet_x_eidt";
constexpr std::string_view kYField = "bullet_y_eidt";
constexpr std::string_view kPauseField = "bullet_delay_eidt";

// The controls besides the numbered options.
constexpr std::array<std::string_view, 14> kFixedParts = {kPages,
                                                          kShotNumber,
                                                          "bullet_edit_layout",
                                                          "bullet_selected_prev",
                                                          "bullet_selected_next",
                                                          kXCheck,
                                                          kYCheck,
                                                          kXField,
                                                          kYField,
                                                          kPauseField,
                                                          "shootdate_import_btn",
                                                          "shootdate_export_btn",
                                                          "shootdate_save_btn",
                                                          "shootdate_reset_btn"};

struct CheckLabels {
  std::string_view check;
  std::string_view selected;
  std::string_view cleared;
};
constexpr CheckLabels kCheckLabels[] = {{kXCheck, "mouse_move_to_left_text", "mouse_move_to_right_text"},
                                        {kYCheck, "mouse_move_to_up_text", "mouse_move_to_down_text"}};

std::string Numbered(std::string_view prefix, std::size_t n) { return std::string(prefix) + std::to_string(n); }

}  // namespace

bool CShootControlUI::Usable() {
  const auto found = [this](std::string_view name) { return Part(name) != nullptr; };
  const auto numbered = [&](std::string_view prefix, std::size_t count) {
    for (std::size_t n = 0; n < count; ++n)
      if (!found(Numbered(prefix, n))) return false;
    return true;
  };
  return std::ranges::all_of(kFixedParts, found) && numbered(kGunOption, kGunCount) &&
         numbered(kShotOption, kShotCount);
}

void CShootControlUI::ShowFiles(std::optional<ShootFiles> files) {
  if (files_ && files && files_->Folder() == files->Folder()) return;
  files_ = std::move(files);
  SetEnabled(files_.has_value());
  if (!Ready()) return;
  files_->SetUp();
  shot_ = 0;
  SelectGun(0);
  SelectShot(0);
}

void CShootControlUI::SelectGun(int gun) {
  if (!Ready()) return;
  gun_ = static_cast<std::size_t>(std::clamp(gun, 0, static_cast<int>(kGunCount) - 1));
  for (std::size_t n = 0; n < kGunCount; ++n)
    if (auto* option = dynamic_cast<COptionUI*>(Part(Numbered(kGunOption, n)))) option->Selected(n == gun_, false);
  if (auto* pages = dynamic_cast<CTabLayoutUI*>(Part(kPages))) pages->SelectItem(static_cast<int>(gun_));
  ShowShot();
}

void CShootControlUI::SelectShot(int shot) {
  if (!Ready()) return;
  shot_ = static_cast<std::size_t>(std::clamp(shot, 0, static_cast<int>(kShotCount) - 1));
  for (std::size_t n = 0; n < kShotCount; ++n)
    if (auto* option = dynamic_cast<COptionUI*>(Part(Numbered(kShotOption, n)))) option->Selected(n == shot_, false);
  Part(kShotNumber)->SetText(std::to_string(shot_ + 1));
  ShowShot();
}

void CShootControlUI::ShowShot() {
  const Shot shot = files_->ReadShot(gun_, shot_);
  Part(kXField)->SetText(std::to_string(shot.x));
  Part(kYField)->SetText(std::to_string(shot.y));
  Part(kPauseField)->SetText(std::to_string(shot.pause));
  if (auto* x = dynamic_cast<COptionUI*>(Part(kXCheck))) x->Selected(shot.left, false);
  if (auto* y = dynamic_cast<COptionUI*>(Part(kYCheck))) y->Selected(shot.up, false);
  RelabelChecks();
}

void CShootControlUI::RelabelChecks() {
  for (const CheckLabels& labels : kCheckLabels) {
    auto* check = dynamic_cast<COptionUI*>(Part(labels.check));
    if (!check) continue;
    check->SetResourceText(true);
    check->SetText(std::string(check->IsSelected() ? labels.selected : labels.cleared));
  }
}

std::size_t CShootControlUI::FieldNumber(std::string_view field, std::size_t largest) {
  const std::string text = Part(field)->GetText();
  std::size_t value = 0;
  // Typing is free; only the leading digits count.
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return largest;
  return std::min(value, largest);
}

bool CShootControlUI::StoreShot() {
  if (!Ready()) return false;
  const auto selected = [this](std::string_view name) {
    const auto* check = dynamic_cast<const COptionUI*>(Part(name));
    return check && check->IsSelected();
  };
  // A pause the file holds beyond what may be typed stays until another is typed.
  const std::int64_t held = files_->ReadShot(gun_, shot_).pause;
  const std::int64_t pause =
      Part(kPauseField)->GetText() == std::to_string(held)
          ? held
          : static_cast<std::int64_t>(FieldNumber(kPauseField, std::numeric_limits<std::uint16_t>::max()));
  const Shot shot = {.x = static_cast<std::uint8_t>(FieldNumber(kXField, std::numeric_limits<std::uint8_t>::max())),
                     .left = selected(kXCheck),
                     .y = static_cast<std::uint8_t>(FieldNumber(kYField, std::numeric_limits<std::uint8_t>::max())),
                     .up = selected(kYCheck),
                     .pause = pause};
  const bool stored = files_->StoreShot(gun_, shot_, shot);
  ShowShot();
  return stored;
}

bool CShootControlUI::ResetGun() {
  if (!Ready()) return false;
  const bool reset = files_->Reset(gun_);
  ShowShot();
  return reset;
}

ShootImport CShootControlUI::Import(const std::filesystem::path& source, std::size_t memory_bytes) {
  if (!Ready()) return {.imported = false, .left_out = 0, .problem = "cannot be imported: no mouse is shown"};
  ShootImport imported = files_->Import(gun_, source, memory_bytes);
  ShowShot();
  return imported;
}

bool CShootControlUI::Export(const std::filesystem::path& target) { return Ready() && files_->Export(gun_, target); }

}  // namespace brontal
