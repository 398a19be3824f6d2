#include "control/layer_command.h"

#include "control/macro_download_words.h"
#include "devices/keyboard/corvane_keyboard_device.h"

namespace brontal::layer_command {
namespace {

constexpr long kLastLayer = 3;

}  // namespace

bool Check(const DeviceCommandLine& line, std::string& error) {
  const std::vector<std::string>& words = line.args.positional;
  if (words.size() != 1) {
    error = "which layer? (layer keyboard N, N an on-board layer 0-3)";
    return false;
  }
  if (!ParseNumber(words[0], 0, kLastLayer)) {
    error = "'" + words[0] + "' is not an on-board layer 0-3";
    return false;
  }
  return true;
}

void Run(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, std::function<void(DeviceReply)> done) {
  const auto layer = static_cast<int>(*ParseNumber(line.args.positional[0], 0, kLastLayer));
  keyboard.SwitchLayer(layer, [done = std::move(done)](const CCorvaneKeyboardDevice::LayerSwitch& result) {
    const std::string prefix = "brontalctl: layer: ";
    if (result.refused) {
      done({1, "",
            prefix + "no profile stands at position " + std::to_string(result.layer + 1) +
                " of the profile list (was it deleted?); the layer was not switched\n"});
      return;
    }
    if (const std::optional<std::string> problem = MacroDownloadProblem(result.keys.macros, "keyboard")) {
      done({1, "", prefix + *problem + "; the layer's key table was not written\n"});
      return;
    }
    done(result.keys.ok() ? DeviceReply{0, "", ""}
                          : DeviceReply{1, "", prefix + "the keyboard did not take the layer's key table\n"});
  });
}

}  // namespace brontal::layer_command
