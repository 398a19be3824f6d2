#pragma once

#include "devices/corvane_usb_device.h"

namespace brontal {

// A keyboard, on its cable or through its receiver.
class CCorvaneKeyboardDevice : public CCorvaneUSBDevice {
 public:
  explicit CCorvaneKeyboardDevice(MessageLoop& loop) : CCorvaneUSBDevice(loop, DeviceFamily::kKeyboard) {}
  // The workers call this family's operations: they stop before it goes.
  ~CCorvaneKeyboardDevice() override { StopThreads(); }

  // Through the receiver the device may be out of reach; on the cable it is there.
  bool IsLinkAlive() override { return channel().QueryLink(); }

  std::string_view GetClass() const override { return "CorvaneKeyboardDevice"; }

 protected:
  std::string_view EventThreadExitTrace() const override { return "MS 设备同步线程设定退出"; }
};

}  // namespace brontal
