#include "input_capture/input_node_scan.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>

#include <algorithm>
#include <memory>

#include "input_capture/evdev_key_table.h"
#include "support/unique_fd.h"

namespace brontal {
namespace {

bool IsKeyboardOrMouse(const libevdev& device) {
  if (libevdev_has_event_code(&device, EV_KEY, BTN_LEFT)) return true;
  return std::ranges::any_of(kEvdevKeyCodes,
                             [&](std::uint16_t code) { return libevdev_has_event_code(&device, EV_KEY, code); });
}

}  // namespace

std::vector<std::filesystem::path> ReadableKeyboardsAndMice(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> nodes;
  std::error_code error;
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder, error)) {
    if (!entry.path().filename().string().starts_with("event")) continue;
    const UniqueFd fd(::open(entry.path().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    libevdev* device = nullptr;
    if (!fd || libevdev_new_from_fd(fd.get(), &device) != 0) continue;
    const std::unique_ptr<libevdev, decltype(&libevdev_free)> owned(device, libevdev_free);
    if (IsKeyboardOrMouse(*device)) nodes.push_back(entry.path());
  }
  std::ranges::sort(nodes);
  return nodes;
}

}  // namespace brontal
