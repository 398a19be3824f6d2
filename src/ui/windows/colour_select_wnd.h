#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "profiles/colour_options.h"
#include "ui/toolkit/window.h"

namespace brontal {

class COptionUI;

// The modal colour picker: a palette, 20 preset and 20 collected swatches,
// R/G/B edits, a preview and an optional seven-colour choice. Swatch choices
// and collected colours are kept in the colour file as soon as they change.
class CColorSelectWnd final : public WindowImplBase {
 public:
  // ShowModal results.
  static constexpr int kCancelled = 0;
  static constexpr int kChosen = 1;
  static constexpr int kNoPalette = 2;  // OK without a palette: treated as cancel

  explicit CColorSelectWnd(Toolkit& toolkit, AppFolders folders = AppFolders::Installed());

  std::string_view GetWindowClassName() const override { return "ColorSelectWnd"; }
  void Notify(TNotifyUI& msg) override;

  // Also ends the seven-colour choice.
  void SetInitialColour(std::uint32_t argb);
  // Offers or withdraws the seven-colour choice; withdrawing also turns it off.
  void EnableMulticolour(bool enable);
  // Ignored while the choice is withdrawn.
  void SetMulticolour(bool on);

  std::uint32_t GetColour() const { return colour_; }  // 0xFFRRGGBB
  bool IsMulticolour() const { return multicolour_; }

 protected:
  std::string GetSkinFile() const override { return "XML/PalletDialog.xml"; }
  void InitWindow() override;

 private:
  void FillSwatches();
  void SwatchSelected(COptionUI& swatch);
  void ShowMulticolour(bool on);
  // The colour of the palette, the preview and the selected collected swatch.
  void SaveOptions();
  void TakeColour(std::uint32_t argb);
  void EditsChanged();
  void ShowInEdits(std::uint32_t argb);
  void ShowInPalette(std::uint32_t argb);

  AppFolders folders_;
  ColourOptions options_;
  std::uint32_t colour_ = 0xFFFFFFFF;
  bool multicolour_ = false;
};

// Lets the user pick a colour in a CColorSelectWnd owned by `owner`, scaled
// by `scale` percent. The colour on OK, nothing otherwise. `multicolour`, when
// given and allowed, brings the seven-colour choice in and takes it out on OK.
std::optional<std::uint32_t> PickColour(WindowImplBase& owner, std::uint32_t initial, int scale, bool allow_multicolour,
                                        bool* multicolour = nullptr);

}  // namespace brontal
