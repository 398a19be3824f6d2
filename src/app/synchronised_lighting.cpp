#include "app/synchronised_lighting.h"

#include <algorithm>

#include "devices/corvane_usb_device.h"
#include "devices/lighting/animation_state.h"
#include "support/debug_log.h"

namespace brontal {

void SynchronisedLighting::Start() {
  if (!thread_.running()) thread_.Start([this](std::stop_token stop) { Run(stop); });
}

void SynchronisedLighting::Stop() { thread_.Stop(); }

void SynchronisedLighting::Join(std::vector<CCorvaneUSBDevice*> devices, const lighting::SyncLook& look) {
  std::lock_guard lock(mutex_);
  devices_ = std::move(devices);
  look_ = look;
}

void SynchronisedLighting::Leave(const CCorvaneUSBDevice& device) {
  std::lock_guard lock(mutex_);
  std::erase(devices_, &device);
}

void SynchronisedLighting::LeaveAll() {
  std::lock_guard lock(mutex_);
  devices_.clear();
}

SynchronisedLighting::Status SynchronisedLighting::CurrentStatus() const {
  std::lock_guard lock(mutex_);
  Status status{look_, {}};
  for (CCorvaneUSBDevice* device : devices_)
    if (device->channel().polling_paused()) status.painted.push_back(device);
  return status;
}

bool SynchronisedLighting::AnyPainted() const {
  return std::any_of(devices_.begin(), devices_.end(),
                     [](CCorvaneUSBDevice* device) { return device->channel().polling_paused(); });
}

void SynchronisedLighting::Paint(const lighting::SyncColour& colour) {
  // The devices keep their lights as 0xAARRGGBB, the level in the alpha byte.
  const std::uint32_t word = lighting::PackColour(colour.colour, colour.level);
  for (CCorvaneUSBDevice* device : devices_) {
    if (!device->channel().polling_paused()) continue;
    for (int position = 0; position < device->position_count(); ++position) device->SetPositionColour(position, word);
  }
}

void SynchronisedLighting::Run(std::stop_token stop) {
  using Clock = std::chrono::steady_clock;
  const auto unit = std::chrono::duration_cast<Clock::duration>(lighting::kAnimationUnit);
  const Clock::time_point origin = Clock::now();
  Clock::time_point deadline = origin + unit;
  lighting::SyncEffect effect;  // the thread's own: its phases and counter
  for (;;) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (!WorkerThread::Sleep(stop, std::max(wait, std::chrono::milliseconds{0}))) break;
    const Clock::time_point now = Clock::now();
    if (now < deadline) continue;
    std::lock_guard lock(mutex_);
    if (!AnyPainted()) {
      deadline = now + kIdlePause;
      continue;
    }
    if (const std::optional<lighting::SyncColour> colour =
            effect.Tick(look_, std::chrono::duration_cast<std::chrono::milliseconds>(now - origin)))
      Paint(*colour);
    // A late wake-up does not bunch the units that follow it.
    deadline += unit;
    if (deadline <= now) deadline = now + unit;
  }
  Trace("同步灯光线程设定退出");
}

}  // namespace brontal
