#include "control/pad_commands.h"

#include <json/json.h>

#include <cstdio>

#include "control/light_setting_words.h"
#include "control/setting_words.h"
#include "devices/mousepad/corvane_mouse_pad_device.h"

namespace brontal::pad_commands {
namespace {

using Done = std::function<void(DeviceReply)>;
using setting_words::Pair;

// The record carries no direction.
bool PadLightName(std::string_view name) { return light_setting_words::IsLightName(name) && name != "direction"; }

void Show(CCorvaneMousePadDevice& pad, const DeviceCommandLine& line, Done done) {
  const InterfaceRow& id = pad.identity();
  Json::Value v;
  v["vendor_id"] = id.vendor_id;
  v["product_id"] = id.product_id;
  v["record_index"] = pad.record()[0];
  Json::Value& s = v["settings"];
  light_setting_words::Show(pad.live_light(), pad.LightModes(), s);
  s.removeMember("direction");
  if (line.args.Has("--json")) return done({0, setting_words::Written(v), ""});
  char ids[16];
  std::snprintf(ids, sizeof ids, "%04x:%04x", id.vendor_id, id.product_id);
  done({0,
        std::string("mouse pad ") + ids + "  record index " + std::to_string(pad.record()[0]) + "\n" +
            light_setting_words::SettingLines(s),
        ""});
}

void Set(CCorvaneMousePadDevice& pad, const DeviceCommandLine& line, Done done) {
  LightSetting light = pad.profile().GetLight();
  for (const std::string& word : line.args.positional) {
    const Pair pair = *setting_words::SplitPair(word);
    if (!light_setting_words::Apply(pair.name, pair.value, pad.LightModes(), light))
      return done({2, "", "brontalctl: set: this mouse pad has no " + pair.name + " '" + pair.value + "'\n"});
  }
  // The page's sequence: stored, saved, the live lighting reloaded, the record written whole.
  const bool stored = pad.ApplyLightRecord(light, [line, done](bool ok) {
    done(ok ? DeviceReply{0, "", ""}
            : setting_words::Failure(line, "the mouse pad did not take the settings (saved in the profile)"));
  });
  if (!stored)
    done(setting_words::Failure(
        line, "the profile could not be saved (" + pad.profile().ProfilePath().string() + "); nothing was sent"));
}

}  // namespace

bool Check(const DeviceCommandLine& line, std::string& error) {
  if (line.info->name == "show") return true;
  if (line.info->name != "set") {
    error = "a mouse pad has no keys or macros: it takes show, set, lighting, profile and defaults";
    return false;
  }
  return setting_words::CheckPairs(line, error, [](const Pair& pair, std::string& why) {
    if (PadLightName(pair.name)) return true;
    why = "the mouse pad has no setting '" + pair.name + "' (mode, brightness, speed, multicolor, color)";
    return false;
  });
}

void Run(CCorvaneMousePadDevice& pad, const DeviceCommandLine& line, std::function<void(DeviceReply)> done) {
  if (line.info->name == "show") return Show(pad, line, std::move(done));
  Set(pad, line, std::move(done));
}

}  // namespace brontal::pad_commands
