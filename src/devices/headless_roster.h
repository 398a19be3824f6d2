#pragma once

#include <filesystem>
#include <string>

#include "devices/device_roster.h"
#include "devices/discovery_thread.h"
#include "devices/slot_list.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window.h"

namespace brontal {

// The devices of a program without the main window (brontalctl, benchmarks):
// the skin's device strip, never shown, as the home of a roster that
// discovery feeds on the loop's thread.
class HeadlessRoster {
 public:
  // `skin_folder`: the program's skin, whose device strip and device layouts are used.
  HeadlessRoster(MessageLoop& loop, const std::filesystem::path& skin_folder);
  ~HeadlessRoster() { discovery_.Stop(); }
  HeadlessRoster(const HeadlessRoster&) = delete;
  HeadlessRoster& operator=(const HeadlessRoster&) = delete;

  // False, with the reason, when the strip cannot be built.
  bool Create(std::string& error);
  void Start() { discovery_.Start(); }

  DeviceRoster& roster() { return roster_; }
  DiscoveryThread& discovery() { return discovery_; }

 private:
  class StripWindow : public WindowImplBase {
   public:
    using WindowImplBase::WindowImplBase;
    std::string_view GetWindowClassName() const override { return "BrontalDevices"; }

   protected:
    std::string GetSkinFile() const override { return "XML/DeviceStrip.xml"; }
  };

  Toolkit toolkit_;
  StripWindow window_{toolkit_};
  SlotList slots_;
  DeviceRoster roster_{window_, slots_};
  DiscoveryThread discovery_;
};

}  // namespace brontal
