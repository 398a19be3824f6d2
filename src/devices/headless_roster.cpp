#include "devices/headless_roster.h"

#include "devices/device_controls.h"
#include "ui/toolkit/window_messages.h"

namespace brontal {

HeadlessRoster::HeadlessRoster(MessageLoop& loop, const std::filesystem::path& skin_folder)
    : toolkit_(loop),
      discovery_(
          slots_, loop,
          [this](const WindowMessage& m) {
            if (m.id == kMsgDeviceArrived) roster_.OnDeviceArrived(m.wparam);
            if (m.id == kMsgDeviceRemoved) roster_.OnDeviceRemoved(m.wparam);
          },
          0) {
  toolkit_.Resources().SetSkinFolder(skin_folder);
  RegisterDeviceControls(toolkit_.Factory());
}

bool HeadlessRoster::Create(std::string& error) {
  if (window_.Create(nullptr, "devices")) return true;
  error = window_.GetCreateError();
  return false;
}

}  // namespace brontal
