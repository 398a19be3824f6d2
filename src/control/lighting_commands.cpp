#include "control/lighting_commands.h"

#include <json/json.h>

#include <cstdio>
#include <sstream>

#include "control/setting_words.h"
#include "devices/corvane_usb_device.h"

namespace brontal::lighting_commands {

bool Check(const DeviceCommandLine& line, std::string& error) { return setting_words::CheckNoArguments(line, error); }

void Run(CCorvaneUSBDevice& device, const DeviceCommandLine& line, std::function<void(DeviceReply)> done) {
  const std::vector<LightMode> modes = device.LightModes();
  Json::Value rows(Json::arrayValue);
  std::ostringstream out;
  out << "index  code  host  name\n";
  for (std::size_t i = 0; i < modes.size(); ++i) {
    const bool host = device.HostDrivesMode(static_cast<int>(i));
    Json::Value row;
    row["index"] = static_cast<Json::UInt>(i);
    row["name"] = modes[i].name;
    row["code"] = modes[i].value;
    row["host_driven"] = host;
    row["visible"] = modes[i].visible;
    rows.append(row);
    char text[48];
    std::snprintf(text, sizeof text, "%5zu  %4d  %-4s  ", i, modes[i].value, host ? "yes" : "no");
    out << text << modes[i].name << (modes[i].visible ? "" : " (hidden)") << '\n';
  }
  if (!line.args.Has("--json")) return done({0, out.str(), ""});
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "  ";
  done({0, Json::writeString(writer, rows) + "\n", ""});
}

}  // namespace brontal::lighting_commands
