#pragma once

#include "devices/corvane_usb_device.h"

namespace brontal {

// The USB headset.
class CCorvaneZU6533Device : public CCorvaneUSBDevice {
 public:
  explicit CCorvaneZU6533Device(MessageLoop& loop) : CCorvaneUSBDevice(loop, DeviceFamily::kHeadset) {}
  // The workers call this family's operations: they stop before it goes.
  ~CCorvaneZU6533Device() override { StopThreads(); }

  std::string_view GetClass() const override { return "CorvaneZU6533Device"; }

 protected:
  std::chrono::milliseconds SyncDelay() const override { return std::chrono::milliseconds(500); }
};

}  // namespace brontal
