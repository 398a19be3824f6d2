#include "ui/windows/colour_select_wnd.h"

#include <algorithm>
#include <charconv>

#include "support/debug_log.h"
#include "ui/controls/color_palette_ui.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/option.h"

namespace brontal {
namespace {

constexpr std::string_view kFixedPrefix = "color_option_";
constexpr std::string_view kCollectedPrefix = "collect_color_option_";
constexpr std::string_view kFilled = "1";
constexpr std::uint32_t kEmptySwatch = 0xFFFFFFFF;
constexpr std::string_view kMulticolourImage = "common/base1.png";
constexpr std::string_view kEdits[] = {"color_edit_r", "color_edit_g", "color_edit_b"};

std::string SwatchName(std::string_view prefix, std::size_t index) {
  return std::string(prefix) + std::to_string(index);
}

// The index a swatch name carries after `prefix`, when it names one.
std::optional<std::size_t> SwatchIndex(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) return std::nullopt;
  name.remove_prefix(prefix.size());
  std::size_t index = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), index);
  if (error != std::errc() || end != name.data() + name.size() || index >= kSwatchCount) return std::nullopt;
  return index;
}

// A byte typed as decimal text: out-of-range values are clamped rather than
// spilling into the neighbouring channel; text without a number counts as 0.
struct TypedByte {
  std::uint32_t value;
  bool clamped;
};
TypedByte ParseTypedByte(std::string_view text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range)
    value = text.starts_with('-') ? -1 : 256;
  else if (error != std::errc())
    return {0, false};
  const long long byte = std::clamp(value, 0LL, 255LL);
  return {static_cast<std::uint32_t>(byte), byte != value};
}

}  // namespace

CColorSelectWnd::CColorSelectWnd(Toolkit& toolkit, AppFolders folders)
    : WindowImplBase(toolkit), folders_(std::move(folders)) {}

void CColorSelectWnd::InitWindow() {
  options_ = LoadColourOptions(folders_);
  FillSwatches();
}

void CColorSelectWnd::FillSwatches() {
  CPaintManagerUI& controls = GetPaintManager();
  for (std::size_t i = 0; i < kSwatchCount; ++i) {
    auto* fixed = dynamic_cast<COptionUI*>(controls.FindControl(SwatchName(kFixedPrefix, i)));
    if (fixed && options_.fixed[i]) fixed->SetBkColor(*options_.fixed[i]);
    if (fixed && options_.fixed_selected == static_cast<int>(i)) fixed->Selected(true, false);

    auto* collected = dynamic_cast<COptionUI*>(controls.FindControl(SwatchName(kCollectedPrefix, i)));
    if (!collected) continue;
    const CollectedSwatch& stored = options_.collected[i];
    const bool filled = stored.filled && stored.colour;
    collected->SetBkColor(filled ? *stored.colour : kEmptySwatch);
    collected->SetUserData(filled ? std::string(kFilled) : std::string());
    if (options_.collected_selected == static_cast<int>(i)) collected->Selected(true, false);
  }
}

void CColorSelectWnd::Notify(TNotifyUI& msg) {
  if (!msg.sender) return;
  const std::string& name = msg.sender->GetName();
  if (msg.type == notify::kClick && name == "okbtn") {
    Close(GetPaintManager().FindControl("Pallet") ? kChosen : kNoPalette);
  } else if (msg.type == notify::kClick && name == "closebtn") {
    Close(kCancelled);
  } else if (msg.type == notify::kSelectChanged) {
    if (auto* option = dynamic_cast<COptionUI*>(msg.sender)) SwatchSelected(*option);
  } else if (msg.type == CColorPaletteUI::kColourChangedNotify && name == "Pallet") {
    const std::uint32_t picked = static_cast<CColorPaletteUI*>(msg.sender)->GetSelectedColour();
    TakeColour(picked);
    ShowInEdits(picked);
  } else if (msg.type == notify::kTextChanged && std::ranges::find(kEdits, name) != std::end(kEdits)) {
    EditsChanged();
  }
}

void CColorSelectWnd::SwatchSelected(COptionUI& swatch) {
  const std::string& name = swatch.GetName();
  if (name == "7color") {
    ShowMulticolour(swatch.IsSelected());
    return;
  }
  if (!swatch.IsSelected()) return;
  if (const auto index = SwatchIndex(name, kFixedPrefix)) {
    options_.fixed_selected = static_cast<int>(*index);
    SaveOptions();
    const std::uint32_t colour = swatch.GetBkColor() | 0xFF000000;
    ShowInPalette(colour);
    TakeColour(colour);
    ShowInEdits(colour);
  } else if (const auto collected = SwatchIndex(name, kCollectedPrefix); collected && swatch.GetUserData() == kFilled) {
    options_.collected_selected = static_cast<int>(*collected);
    SaveOptions();
    colour_ = swatch.GetBkColor() | 0xFF000000;
    if (CControlUI* preview = GetPaintManager().FindControl("color_show_btn")) preview->SetBkColor(colour_);
    ShowMulticolour(false);
    ShowInPalette(colour_);
    ShowInEdits(colour_);
  }
  // An empty collected swatch only waits to be filled by the next colour.
}

void CColorSelectWnd::SaveOptions() {
  if (!SaveColourOptions(options_, folders_)) Trace("colour picker: the colour file could not be written");
}

void CColorSelectWnd::TakeColour(std::uint32_t argb) {
  colour_ = argb;
  CPaintManagerUI& controls = GetPaintManager();
  for (std::size_t i = 0; i < kSwatchCount; ++i) {
    auto* swatch = dynamic_cast<COptionUI*>(controls.FindControl(SwatchName(kCollectedPrefix, i)));
    if (!swatch || !swatch->IsSelected()) continue;
    swatch->SetBkColor(argb);
    swatch->SetUserData(std::string(kFilled));
    options_.collected[i] = {argb, true};
    options_.collected_selected = static_cast<int>(i);
    SaveOptions();
  }
  if (CControlUI* preview = controls.FindControl("color_show_btn")) preview->SetBkColor(argb);
  ShowMulticolour(false);
}

void CColorSelectWnd::EditsChanged() {
  std::uint32_t colour = 0xFF;  // the alpha byte, shifted up with the channels
  for (const std::string_view name : kEdits) {
    CControlUI* edit = GetPaintManager().FindControl(name);
    const TypedByte byte = ParseTypedByte(edit ? edit->GetText() : std::string());
    if (edit && byte.clamped) edit->SetText(std::to_string(byte.value));
    colour = colour << 8 | byte.value;
  }
  ShowInPalette(colour);
  TakeColour(colour);
}

void CColorSelectWnd::SetInitialColour(std::uint32_t argb) {
  colour_ = argb | 0xFF000000;
  if (CControlUI* preview = GetPaintManager().FindControl("color_show_btn")) preview->SetBkColor(colour_);
  ShowMulticolour(false);
  ShowInPalette(colour_);
  ShowInEdits(colour_);
}

void CColorSelectWnd::EnableMulticolour(bool enable) {
  CPaintManagerUI& controls = GetPaintManager();
  if (CControlUI* option = controls.FindControl("7color")) option->SetEnabled(enable);
  if (CControlUI* row = controls.FindControl("7color_layout")) row->SetVisible(enable);
  if (!enable) ShowMulticolour(false);
}

void CColorSelectWnd::SetMulticolour(bool on) {
  const CControlUI* option = GetPaintManager().FindControl("7color");
  if (option && option->IsEnabled()) ShowMulticolour(on);
}

void CColorSelectWnd::ShowMulticolour(bool on) {
  multicolour_ = on;
  CPaintManagerUI& controls = GetPaintManager();
  if (auto* option = dynamic_cast<COptionUI*>(controls.FindControl("7color"))) option->Selected(on, false);
  if (CControlUI* preview = controls.FindControl("color_show_btn"))
    preview->SetBkImage(on ? std::string(kMulticolourImage) : std::string());
}

void CColorSelectWnd::ShowInEdits(std::uint32_t argb) {
  for (int i = 0; i < 3; ++i) {
    if (CControlUI* edit = GetPaintManager().FindControl(kEdits[i]))
      edit->SetText(std::to_string(argb >> (16 - 8 * i) & 0xFF));
  }
}

void CColorSelectWnd::ShowInPalette(std::uint32_t argb) {
  if (auto* palette = dynamic_cast<CColorPaletteUI*>(GetPaintManager().FindControl("Pallet")))
    palette->SetSelectedColour(argb);
}

std::optional<std::uint32_t> PickColour(WindowImplBase& owner, std::uint32_t initial, int scale, bool allow_multicolour,
                                        bool* multicolour) {
  CColorSelectWnd picker(owner.GetToolkit());
  if (!picker.Create(&owner, "PalletDialog")) {
    Trace("colour picker: " + picker.GetCreateError());
    return std::nullopt;
  }
  if (!picker.GetPaintManager().SetScale(scale)) Trace("SET_WND DPI SET ERROR");
  picker.SetInitialColour(initial);
  picker.EnableMulticolour(allow_multicolour);
  if (multicolour) picker.SetMulticolour(*multicolour);
  picker.CenterWindow();
  if (picker.ShowModal() != CColorSelectWnd::kChosen) return std::nullopt;
  if (multicolour && allow_multicolour) *multicolour = picker.IsMulticolour();
  return picker.GetColour();
}

}  // namespace brontal
