#pragma once

#include <string>
#include <vector>

namespace brontal {

// A brontalctl device command as one program hands it to another: the
// command's words (command name first, files made absolute) and what came of it.
struct DeviceRequest {
  std::vector<std::string> args;
  // The device bus the asking program would use (HidBus::Identity): a program
  // on another bus must not answer for it.
  std::string bus;
};

struct DeviceReply {
  int status = 0;  // the exit status
  std::string out;
  std::string err;
};

std::string EncodeDeviceRequest(const DeviceRequest& request);
// False for anything but a well-formed request.
bool DecodeDeviceRequest(const std::string& text, DeviceRequest& request);
std::string EncodeDeviceReply(const DeviceReply& reply);
bool DecodeDeviceReply(const std::string& text, DeviceReply& reply);

}  // namespace brontal
