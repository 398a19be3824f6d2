#include "app/mouse_page_actions.h"

#include <charconv>
#include <string>

#include "app/main_window.h"
#include "devices/device_option_ui.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/windows/colour_select_wnd.h"

namespace brontal {
namespace {

constexpr std::string_view kPageName = "cursor_page";
constexpr int kStageCount = static_cast<int>(mouse::kStageCount);
constexpr int kReportRateCount = static_cast<int>(mouse::kReportRateCount);
constexpr std::string_view kReportRate = "polling_rate_option_";
constexpr std::string_view kEnable = "DPI_enable_check_";
constexpr std::string_view kSelect = "DPI_select_check_";
constexpr std::string_view kSlider = "DPI_slider_";
constexpr std::string_view kEdit = "DPI_edit_";
constexpr std::string_view kColour = "DPI_color_option_";
constexpr std::string_view kStageLayout = "DPI_layout_";
constexpr std::string_view kPageOption = "mouse_device_seting_option_";
constexpr std::string_view kSurface = "surface_correction_combo";

bool IsSelected(const CControlUI* control) {
  const auto* option = dynamic_cast<const COptionUI*>(control);
  return option && option->IsSelected();
}

int SliderValue(const CControlUI* control) {
  const auto* slider = dynamic_cast<const CSliderUI*>(control);
  return slider ? slider->GetValue() : 0;
}

// The edit's text as a DPI number: nothing typed counts as 0, as does text
// that is no number.
int TypedDpi(const std::string& text) {
  int dpi = 0;
  std::from_chars(text.data(), text.data() + text.size(), dpi);
  return dpi < 0 ? 0 : dpi;
}

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

}  // namespace

MousePageActions::MousePageActions(CMainWnd& window) : window_(window) {}

CCorvaneMouseDevice* MousePageActions::SelectedMouse() const {
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  return entry ? dynamic_cast<CCorvaneMouseDevice*>(entry->device()) : nullptr;
}

CControlUI* MousePageActions::Part(std::string_view name) const {
  CControlUI* page = window_.GetPaintManager().FindControl(kPageName);
  return page ? CPaintManagerUI::FindSubControlByName(page, name) : nullptr;
}

CControlUI* MousePageActions::Part(std::string_view prefix, int index) const {
  return Part(std::string(prefix) + std::to_string(index));
}

void MousePageActions::SelectOnly(std::string_view prefix, int count, int chosen) {
  for (int i = 0; i < count; ++i)
    if (auto* option = dynamic_cast<COptionUI*>(Part(prefix, i))) option->Selected(i == chosen, false);
}

void MousePageActions::ShowStage(const CCorvaneMouseDevice& mouse, int stage, int stage_value, int active) {
  if (auto* slider = dynamic_cast<CSliderUI*>(Part(kSlider, stage))) slider->SetValue(stage_value);
  if (CControlUI* edit = Part(kEdit, stage))
    edit->SetText(std::to_string(mouse::ShownDpi(mouse.dpi_scale(), stage_value)));
  // The active stage cannot be switched off.
  if (CControlUI* enable = Part(kEnable, stage)) enable->SetEnabled(stage != active);
  if (auto* select = dynamic_cast<COptionUI*>(Part(kSelect, stage))) select->Selected(stage == active, false);
}

void MousePageActions::ShowStageEnabled(int stage, bool enabled) {
  if (CControlUI* layout = Part(kStageLayout, stage)) layout->SetEnabled(enabled);
  if (auto* check = dynamic_cast<COptionUI*>(Part(kEnable, stage))) check->Selected(enabled, false);
  if (enabled) {
    for (int i = 0; i < kStageCount; ++i)
      if (CControlUI* check = Part(kEnable, i)) check->SetEnabled(true);
    return;
  }
  std::vector<CControlUI*> still_on;
  for (int i = 0; i < kStageCount; ++i)
    if (CControlUI* check = Part(kEnable, i); IsSelected(check)) still_on.push_back(check);
  if (still_on.size() == 1) still_on.front()->SetEnabled(false);
}

void MousePageActions::ShowSelectedDevice() {
  CCorvaneMouseDevice* mouse = SelectedMouse();
  if (!mouse) return;
  CMouseProfiledata& profile = mouse->profile();
  const mouse::DpiScale scale = mouse->dpi_scale();
  const std::vector<DpiStage> stages = profile.GetDpiStages();
  const int active = profile.GetActiveStage();
  auto stage_at = [&](int n) {
    return n < static_cast<int>(stages.size()) ? stages[static_cast<std::size_t>(n)] : DpiStage{};
  };
  // All stages switched on or off first: that frees every check, and the
  // active stage's must be locked again after it.
  for (int n = 0; n < kStageCount; ++n) ShowStageEnabled(n, stage_at(n).enabled != 0);
  for (int n = 0; n < kStageCount; ++n) {
    const DpiStage stage = stage_at(n);
    if (auto* slider = dynamic_cast<CSliderUI*>(Part(kSlider, n))) {
      slider->SetMinValue(0);
      slider->SetMaxValue(scale.largest);
    }
    ShowStage(*mouse, n, stage.dpi_x, active);
    if (CControlUI* swatch = Part(kColour, n)) swatch->SetBkColor(Opaque(stage.red, stage.green, stage.blue));
  }
  const MouseSystem system = profile.GetMouseSystem();
  SelectOnly(kReportRate, kReportRateCount, system.report_rate < kReportRateCount ? system.report_rate : 0);
  if (auto* check = dynamic_cast<COptionUI*>(Part("pointer_precision_check")))
    check->Selected(system.pointer_precision != 0, false);
  if (auto* check = dynamic_cast<COptionUI*>(Part("scrolls_page_check")))
    check->Selected(system.scroll_page != 0, false);
  const std::pair<std::string_view, std::uint16_t> sliders[] = {{"pointer_speed_slider", system.mouse_speed},
                                                                {"double_click_slider", system.double_click_time},
                                                                {"scroll_speed_slider", system.wheel_scroll_lines}};
  for (const auto& [name, value] : sliders)
    if (auto* slider = dynamic_cast<CSliderUI*>(Part(name))) slider->SetValue(value);
  if (auto* surfaces = dynamic_cast<CComboUI*>(Part(kSurface))) {
    surfaces->RemoveAll();
    int chosen = -1;
    for (const SurfaceCorrection& surface : profile.GetCorrections()) {
      if (surface.select != 0 && chosen < 0) chosen = surfaces->GetCount();
      surfaces->AddTextItem(surface.name);
    }
    surfaces->SelectItem(chosen, false);
  }
}

std::vector<DpiStage> MousePageActions::StagesWith(CCorvaneMouseDevice& mouse, int stage) {
  std::vector<DpiStage> stages = mouse.profile().GetDpiStages();
  // Never a write past the list: a short one grows to the stage named.
  if (stages.size() <= static_cast<std::size_t>(stage)) stages.resize(static_cast<std::size_t>(stage) + 1);
  return stages;
}

void MousePageActions::SaveAndWrite(CCorvaneMouseDevice& mouse, bool write) {
  if (!mouse.SaveProfile()) return;
  if (write) mouse.WriteSettings();
}

void MousePageActions::OnNotify(const RoutedNotify& route, TNotifyUI& msg) {
  CCorvaneMouseDevice* mouse = SelectedMouse();
  if (!mouse) return;
  const std::string& name = route.name;
  if (name == "cursor_Op_tab") return ShowSelectedDevice();
  if (name == kPageOption) {
    auto* pages = dynamic_cast<CTabLayoutUI*>(Part("mouse_device_seting_tab"));
    const int count = pages ? pages->GetCount() : 0;
    const int page = route.index >= 0 && route.index < count ? route.index : 0;
    if (pages) pages->SelectItem(page);
    SelectOnly(kPageOption, count, page);
    return;
  }
  if (name == kSurface) {
    const auto* surfaces = dynamic_cast<const CComboUI*>(msg.sender);
    if (!surfaces || surfaces->GetCurSel() < 0) return;
    mouse->profile().SelectCorrection(static_cast<std::size_t>(surfaces->GetCurSel()));
    return SaveAndWrite(*mouse, true);
  }
  if (name == kReportRate) {
    const int rate = route.index >= 0 && route.index < kReportRateCount ? route.index : 0;
    SelectOnly(kReportRate, kReportRateCount, rate);
    MouseSystem system = mouse->profile().GetMouseSystem();
    system.report_rate = static_cast<std::uint16_t>(rate);
    mouse->profile().SetMouseSystem(system);
    return SaveAndWrite(*mouse, true);
  }
  if (route.index >= 0 && route.index < kStageCount &&
      (name == kEnable || name == kSelect || name == kSlider || name == kEdit || name == kColour))
    return OnDpiControl(*mouse, route, msg);
  OnPointerControl(*mouse, route, msg);
}

void MousePageActions::OnDpiControl(CCorvaneMouseDevice& mouse, const RoutedNotify& route, TNotifyUI& msg) {
  const std::string& name = route.name;
  const int n = route.index;
  CMouseProfiledata& profile = mouse.profile();
  const int active = profile.GetActiveStage();
  if (name == kColour) return PickStageColour(mouse, n);
  if (name == kSlider && msg.type == notify::kMoveValueChanged)
    return ShowStage(mouse, n, SliderValue(msg.sender), active);
  // Before the mouse told its sensor's range (or when it could not), the
  // sliders know no values: the stored ones are kept.
  const bool scale_known = mouse.dpi_scale().largest != 0;
  if (!scale_known && (name == kSlider || name == kEdit)) return;
  std::vector<DpiStage> stages = StagesWith(mouse, n);
  DpiStage& stage = stages[static_cast<std::size_t>(n)];
  if (name == kEnable) {
    const bool enabled = IsSelected(msg.sender);
    ShowStageEnabled(n, enabled);
    stage.enabled = enabled ? 1 : 0;
  } else if (name == kSelect) {
    profile.SetActiveStage(static_cast<std::uint8_t>(n));
    SelectOnly(kSelect, kStageCount, n);
    // Every slider's value becomes its stage's, as the page shows them now.
    stages = StagesWith(mouse, kStageCount - 1);
    for (int i = 0; i < kStageCount; ++i) {
      DpiStage& each = stages[static_cast<std::size_t>(i)];
      if (scale_known) each.dpi_x = static_cast<std::uint16_t>(SliderValue(Part(kSlider, i)));
      ShowStage(mouse, i, each.dpi_x, n);
    }
  } else if (name == kSlider) {
    const int value = SliderValue(msg.sender);
    ShowStage(mouse, n, value, active);
    stage.dpi_x = static_cast<std::uint16_t>(value);
  } else {  // the edit lost the focus
    const std::uint16_t value = mouse::StageValueOf(mouse.dpi_scale(), TypedDpi(msg.sender->GetText()));
    ShowStage(mouse, n, value, active);
    stage.dpi_x = value;
  }
  profile.SetDpiStages(stages);
  SaveAndWrite(mouse, true);
}

void MousePageActions::PickStageColour(CCorvaneMouseDevice& mouse, int stage) {
  CControlUI* swatch = Part(kColour, stage);
  if (!swatch) return;
  const std::optional<std::uint32_t> chosen =
      PickColour(window_, swatch->GetBkColor(), window_.GetPaintManager().GetScale(), false, nullptr);
  // The mouse may have gone while the picker was open.
  if (!chosen || SelectedMouse() != &mouse) return;
  swatch->SetBkColor(0xFF000000u | *chosen);
  std::vector<DpiStage> stages = StagesWith(mouse, stage);
  DpiStage& changed = stages[static_cast<std::size_t>(stage)];
  changed.red = static_cast<std::uint8_t>(*chosen >> 16);
  changed.green = static_cast<std::uint8_t>(*chosen >> 8);
  changed.blue = static_cast<std::uint8_t>(*chosen);
  mouse.profile().SetDpiStages(stages);
  SaveAndWrite(mouse, true);
}

void MousePageActions::OnPointerControl(CCorvaneMouseDevice& mouse, const RoutedNotify& route, TNotifyUI& msg) {
  const std::string& name = route.name;
  MouseSystem system = mouse.profile().GetMouseSystem();
  if (name == "pointer_precision_check") {
    system.pointer_precision = IsSelected(msg.sender) ? 1 : 0;
  } else if (name == "scrolls_page_check") {
    system.scroll_page = IsSelected(msg.sender) ? 1 : 0;
    system.wheel_scroll_lines = static_cast<std::uint16_t>(SliderValue(Part("scroll_speed_slider")));
    // Both controls show what is stored now.
    if (auto* check = dynamic_cast<COptionUI*>(Part(name))) check->Selected(system.scroll_page != 0, false);
    if (auto* slider = dynamic_cast<CSliderUI*>(Part("scroll_speed_slider")))
      slider->SetValue(system.wheel_scroll_lines);
  } else if (name == "scroll_speed_slider") {
    // Lines per notch and a page per notch exclude each other.
    if (auto* check = dynamic_cast<COptionUI*>(Part("scrolls_page_check"))) check->Selected(false, false);
    system.wheel_scroll_lines = static_cast<std::uint16_t>(SliderValue(msg.sender));
    system.scroll_page = 0;
  } else if (name == "pointer_speed_slider") {
    system.mouse_speed = static_cast<std::uint16_t>(SliderValue(msg.sender));
  } else if (name == "double_click_slider") {
    system.double_click_time = static_cast<std::uint16_t>(SliderValue(msg.sender));
  } else {
    return;
  }
  mouse.profile().SetMouseSystem(system);
  SaveAndWrite(mouse, false);
}

}  // namespace brontal
