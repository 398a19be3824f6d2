#include "ui/controls/device_key_button_ui.h"

#include "ui/toolkit/attribute_values.h"

namespace brontal {
namespace {

constexpr std::string_view kDoubleClickNotify = "dbclick";

}  // namespace

void CDeviceKeyButtonUI::SetFlag(bool& flag, bool value) {
  if (flag == value) return;
  flag = value;
  Invalidate();
}

void CDeviceKeyButtonUI::SetLightShown(bool shown) { SetFlag(light_shown_, shown); }
void CDeviceKeyButtonUI::SetKeySetHidden(bool hidden) { SetFlag(key_set_hidden_, hidden); }
void CDeviceKeyButtonUI::SetKeyUnsetHidden(bool hidden) { SetFlag(key_unset_hidden_, hidden); }
void CDeviceKeyButtonUI::SetSelected(bool selected) { SetFlag(selected_, selected); }

std::vector<CDeviceKeyButtonUI::ImageLayer> CDeviceKeyButtonUI::GetImageLayers() const {
  std::vector<ImageLayer> layers;
  if (light_shown_) layers.push_back({GetLightImage(), true});
  if (!key_unset_hidden_) layers.push_back({GetKeyUnsetImage(), false});
  if (!key_set_hidden_) layers.push_back({GetKeySetImage(), false});
  return layers;
}

bool CDeviceKeyButtonUI::SetAttribute(std::string_view name, std::string_view value) {
  // Older layouts still carry it; it must be a colour but changes nothing.
  if (name == "gmnametextcolor") return ParseColorAttribute(value).has_value();
  return CButtonUI::SetAttribute(name, value);
}

void CDeviceKeyButtonUI::DoEvent(TEventUI& event) {
  CButtonUI::DoEvent(event);
  if (event.type == UiEventType::kDblClick && IsReachable() && GetPos().Contains(event.mouse)) {
    SendNotify(kDoubleClickNotify);
  }
}

}  // namespace brontal
