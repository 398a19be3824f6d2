#pragma once

#include "devices/corvane_usb_device.h"

namespace brontal {

// The mouse pad with lights.
class CCorvaneMousePadDevice : public CCorvaneUSBDevice {
 public:
  explicit CCorvaneMousePadDevice(MessageLoop& loop) : CCorvaneUSBDevice(loop, DeviceFamily::kMousePad) {}
  // The workers call this family's operations: they stop before it goes.
  ~CCorvaneMousePadDevice() override { StopThreads(); }

  std::string_view GetClass() const override { return "CorvaneMousePadDevice"; }

 protected:
  std::chrono::milliseconds SyncDelay() const override { return std::chrono::milliseconds(500); }
};

}  // namespace brontal
