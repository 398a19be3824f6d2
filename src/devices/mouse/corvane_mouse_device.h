#pragma once

#include "devices/corvane_usb_device.h"

namespace brontal {

// The mouse, on its cable or through its receiver.
class CCorvaneMouseDevice : public CCorvaneUSBDevice {
 public:
  explicit CCorvaneMouseDevice(MessageLoop& loop) : CCorvaneUSBDevice(loop, DeviceFamily::kMouse) {}
  // The workers call this family's operations: they stop before it goes.
  ~CCorvaneMouseDevice() override { StopThreads(); }

  // Through the receiver the device may be out of reach; on the cable it is there.
  bool IsLinkAlive() override { return channel().QueryLink(); }

  std::string_view GetClass() const override { return "CorvaneMouseDevice"; }

 protected:
  std::string_view LightingThreadExitTrace() const override { return "MS灯光线程设定退出"; }
};

}  // namespace brontal
