#pragma once

#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "sdk_server/sdk_server.h"

namespace brontal {

class CCorvaneUSBDevice;
class DeviceRoster;

namespace sdk {

// Our attached devices as SDK controllers, on the UI thread. Every keyboard,
// mouse, mouse pad and headset lists its model's lighting modes; keyboards
// and the headset also "Direct", which shows the client's colours through
// the frames the host already sends them (the device's animation stands
// still meanwhile, as in synchronised lighting). Mice and pads only switch
// their on-device modes. Modes and colours go through the devices' own
// lighting record path, the one the lighting page uses.
class DeviceControllers final : public ControllerHost {
 public:
  static constexpr const char* kDirectModeName = "Direct";

  explicit DeviceControllers(const DeviceRoster& roster) : roster_(roster) {}

  std::size_t ControllerCount() const override { return Attached().size(); }
  std::optional<Controller> Describe(std::size_t index) const override;
  void Apply(std::size_t index, const ControllerRequest& request) override;

  // The attached devices in controller order.
  std::vector<CCorvaneUSBDevice*> Attached() const;
  // Before a device goes away, or when the user takes its lighting back.
  void Forget(CCorvaneUSBDevice& device);
  bool InDirect(const CCorvaneUSBDevice& device) const { return direct_.contains(&device); }

  // Told when a device enters Direct: whatever else paints it lets go.
  std::function<void(CCorvaneUSBDevice&)> on_direct;

 private:
  void EnterDirect(CCorvaneUSBDevice& device);
  void SetLeds(CCorvaneUSBDevice& device, std::size_t first, const std::vector<Rgb>& colours);
  void ApplyMode(CCorvaneUSBDevice& device, const SetMode& mode);

  const DeviceRoster& roster_;
  std::set<const CCorvaneUSBDevice*> direct_;
};

}  // namespace sdk
}  // namespace brontal
