#include "app/music_wnd.h"

#include <algorithm>
#include <array>

#include "support/debug_log.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/slider.h"

namespace brontal {
namespace {

constexpr std::string_view kTab = "audio_select_tab";
constexpr std::string_view kNameEdit = "audio_edit_name";
// Red, green, blue.
constexpr std::array<std::string_view, 3> kSliders = {"audio_r_slider", "audio_g_slider", "audio_b_slider"};
constexpr std::string_view kMissingControl = "GetAudioLightInfo control is NULL";

std::string Numbered(std::string_view prefix, std::size_t style) {
  return std::string(prefix) + std::to_string(style + 1);
}

// 2 for "audio_select_tab3" with the prefix "audio_select_tab"; nothing for any other name.
std::optional<std::size_t> StyleOf(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + 1 || !name.starts_with(prefix)) return std::nullopt;
  const char digit = name.back();
  if (digit < '1' || digit > static_cast<char>('0' + kAudioStyleCount)) return std::nullopt;
  return static_cast<std::size_t>(digit - '1');
}

}  // namespace

CMusicWnd::CMusicWnd(Toolkit& toolkit, AudioStyles styles) : WindowImplBase(toolkit), styles_(std::move(styles)) {}

void CMusicWnd::InitWindow() {
  CPaintManagerUI& manager = GetPaintManager();
  for (std::string_view name : kSliders) {
    if (auto* slider = dynamic_cast<CSliderUI*>(manager.FindControl(name))) {
      slider->SetMinValue(0);
      slider->SetMaxValue(kHighestStyleLevel);
    }
  }
  for (std::size_t style = 0; style < kAudioStyleCount; ++style)
    if (CControlUI* edit = manager.FindControl(Numbered(kNameEdit, style))) edit->SetText(styles_.names[style]);
  if (!ShowSelectedStyle()) Trace(kMissingControl);
}

bool CMusicWnd::ShowSelectedStyle() {
  CPaintManagerUI& manager = GetPaintManager();
  std::array<COptionUI*, kAudioStyleCount> tabs{};
  std::array<CSliderUI*, kSliders.size()> sliders{};
  for (std::size_t style = 0; style < tabs.size(); ++style)
    tabs[style] = dynamic_cast<COptionUI*>(manager.FindControl(Numbered(kTab, style)));
  for (std::size_t colour = 0; colour < sliders.size(); ++colour)
    sliders[colour] = dynamic_cast<CSliderUI*>(manager.FindControl(kSliders[colour]));
  if (std::ranges::count(tabs, nullptr) > 0 || std::ranges::count(sliders, nullptr) > 0) return false;
  tabs[styles_.selected]->Selected(true, false);
  for (std::size_t colour = 0; colour < sliders.size(); ++colour)
    sliders[colour]->SetValue(styles_.levels[3u * styles_.selected + colour]);
  return true;
}

void CMusicWnd::TakeName(std::size_t style) {
  CControlUI* edit = GetPaintManager().FindControl(Numbered(kNameEdit, style));
  if (!edit) return;
  styles_.names[style] = StyleNameOrDefault(edit->GetText(), style);
  edit->SetText(styles_.names[style]);
}

void CMusicWnd::Notify(TNotifyUI& msg) {
  if (!msg.sender) return;
  const std::string& name = msg.sender->GetName();
  if (msg.type == notify::kClick && name == "closebtn") {
    Close(kCancelled);
  } else if (msg.type == notify::kClick && name == "okbtn") {
    // A name still being typed counts as left.
    for (std::size_t style = 0; style < kAudioStyleCount; ++style) TakeName(style);
    Close(kAccepted);
  } else if (msg.type == notify::kSelectChanged) {
    const auto* tab = dynamic_cast<const COptionUI*>(msg.sender);
    const std::optional<std::size_t> style = StyleOf(name, kTab);
    if (!tab || !tab->IsSelected() || !style) return;
    styles_.selected = static_cast<std::uint8_t>(*style);
    if (!ShowSelectedStyle()) Trace(kMissingControl);
  } else if (msg.type == notify::kValueChanged || msg.type == notify::kMoveValueChanged) {
    const auto* slider = dynamic_cast<const CSliderUI*>(msg.sender);
    const auto colour = std::ranges::find(kSliders, name);
    if (!slider || colour == kSliders.end()) return;
    styles_.levels[3u * styles_.selected + static_cast<std::size_t>(colour - kSliders.begin())] =
        static_cast<std::uint8_t>(std::clamp<int>(slider->GetValue(), 0, kHighestStyleLevel));
  } else if (msg.type == notify::kKillFocus) {
    if (const std::optional<std::size_t> style = StyleOf(name, kNameEdit)) TakeName(*style);
  }
}

std::optional<AudioStyles> EditAudioStyles(WindowImplBase& owner, const AudioStyles& styles, int scale) {
  CMusicWnd music(owner.GetToolkit(), styles);
  if (!music.Create(&owner, "MusicWnd")) {
    Trace("music window: " + music.GetCreateError());
    return std::nullopt;
  }
  if (!music.GetPaintManager().SetScale(scale)) Trace("music window: no scale " + std::to_string(scale));
  music.CenterWindow();
  if (music.ShowModal() != CMusicWnd::kAccepted) return std::nullopt;
  return music.styles();
}

}  // namespace brontal
