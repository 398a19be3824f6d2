#include "app/app_messages.h"

#include <optional>
#include <span>
#include <string>

#include "ui/toolkit/registered_messages.h"

namespace brontal {
namespace {

std::array<std::span<const std::string_view>, 4> HookGroups() {
  return {kKeyboardHookNames, kMouseHookNames, kPointerNames, kGameEventNames};
}

}  // namespace

AppMessages AppMessages::Register() {
  HookMessages();
  return {RegisterWindowMessage(kApplicationName),        RegisterWindowMessage(kForwardToSettingsName),
          RegisterWindowMessage(kHostLightingAnnounceName), RegisterWindowMessage(kHostLightingRequestName),
          RegisterWindowMessage(kDeviceReportRequestName), RegisterWindowMessage(kAudioCaptureCommandName)};
}

std::string_view AppMessages::HookNameOf(std::uint32_t message) {
  const std::optional<std::string> name = WindowMessageName(message);
  if (!name) return {};
  for (const auto& group : HookGroups())
    for (std::string_view known : group)
      if (known == *name) return known;
  return {};
}

std::vector<std::uint32_t> AppMessages::HookMessages() {
  std::vector<std::uint32_t> numbers;
  for (const auto& group : HookGroups())
    for (std::string_view name : group) numbers.push_back(RegisterWindowMessage(name));
  return numbers;
}

}  // namespace brontal
