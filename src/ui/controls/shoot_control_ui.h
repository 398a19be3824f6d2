#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

#include "macros/shoot_file.h"
#include "ui/controls/named_parts.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/paint_manager.h"

namespace brontal {

// The mouse's recoil patterns: one gun of four picked with "shoot_gun_op_n"
// (its page of "shoot_image_display_switch" shown), one shot of 30 with
// "bullet_op_n", and that shot's pulls and pause in the edit fields, the
// checks saying left or right and up or down.
//
// The shoot files are the only store: a shot is read again whenever it is
// shown, and written when the owner says a field was left (StoreShot), so a
// check changed on its own is lost on the next pick. Changes to the controls
// are silent; the owner answers the user's picks. Without every control of
// the layout the page does nothing.
class CShootControlUI : public CHorizontalLayoutUI {
 public:
  static constexpr std::string_view kClassName = "ShootControl";
  // The element the layout gives the panel, by which the mouse page finds it.
  static constexpr std::string_view kItemName = "ShootControlItem";

  std::string_view GetClass() const override { return kClassName; }

  // The patterns of a mouse's folder, factory copies made for the guns that
  // have none, gun 0 and shot 0 shown; none disables the page.
  // Showing the folder already shown changes nothing.
  void ShowFiles(std::optional<ShootFiles> files);
  const std::optional<ShootFiles>& Files() const { return files_; }
  bool Usable();
  std::size_t gun() const { return gun_; }
  std::size_t shot() const { return shot_; }

  // Out-of-range numbers pick the nearest gun or shot.
  void SelectGun(int gun);
  void SelectShot(int shot);
  void StepShot(int step) { SelectShot(static_cast<int>(shot_) + step); }
  // The checks' labels follow their state.
  void RelabelChecks();

  // The fields and checks to the shown shot (pulls above 255 and pauses above
  // 65535 taken as those, but a pause the field shows as the file holds it
  // stays); the fields then show what the file holds. False when nothing is
  // shown or the file could not be written.
  bool StoreShot();
  // The factory pattern over the gun's, shown. False when there is none.
  bool ResetGun();
  ShootImport Import(const std::filesystem::path& source, std::size_t memory_bytes);
  bool Export(const std::filesystem::path& target);

  // The picked shot as its file holds it now (another program may have changed it).
  void ReloadShot() {
    if (Ready()) ShowShot();
  }

 private:
  CControlUI* Part(std::string_view name) { return parts_.Get(name); }
  bool Ready() { return files_ && Usable(); }
  void ShowShot();
  std::size_t FieldNumber(std::string_view field, std::size_t largest);

  std::optional<ShootFiles> files_;
  std::size_t gun_ = 0;
  std::size_t shot_ = 0;
  NamedParts parts_{[this](std::string_view name) { return CPaintManagerUI::FindSubControlByName(this, name); }};
};

}  // namespace brontal
