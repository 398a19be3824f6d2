#include "control/defaults_command.h"

#include "control/setting_words.h"
#include "devices/corvane_usb_device.h"

namespace brontal::defaults_command {

bool Check(const DeviceCommandLine& line, std::string& error) { return setting_words::CheckNoArguments(line, error); }

void Run(CCorvaneUSBDevice& device, const DeviceCommandLine& line, std::function<void(DeviceReply)> done) {
  device.RestoreDefaults([device_word = line.device, done = std::move(done)](bool ok) {
    done(ok ? DeviceReply{0, "", ""}
            : DeviceReply{1, "",
                          "brontalctl: defaults: the " + device_word +
                              " did not take all of the defaults, or its profile could not be saved\n"});
  });
}

}  // namespace brontal::defaults_command
