// brontalctl lighting preview: the host animation of a keyboard model, run on
// a virtual clock without any device.
#include <json/json.h>

#include <chrono>
#include <cstdio>
#include <ostream>
#include <string>

#include "cli/brontalctl.h"
#include "cli/commands.h"
#include "control/command_line.h"
#include "control/device_commands.h"
#include "control/light_mode_names.h"
#include "devices/interface_table.h"
#include "devices/key_action_tables.h"
#include "devices/lighting/light_engine.h"
#include "profiles/data_folders.h"
#include "profiles/json_document.h"
#include "profiles/light_members.h"

namespace brontal {
namespace {

constexpr std::string_view kUsage =
    "lighting preview PRODUCT --mode M [--brightness B] [--speed S] [--direction D] [--multicolor 0|1] "
    "[--color RRGGBB] --steps K [--json]";
constexpr OptionSpec kOptions[] = {{"--mode", true},      {"--brightness", true}, {"--speed", true},
                                   {"--direction", true}, {"--multicolor", true}, {"--color", true},
                                   {"--steps", true},     {"--json", false}};
constexpr long kMostSteps = 100000;
constexpr std::size_t kKeyboardLightSlot = 0;

bool IsKeyboard(DeviceType type) { return type == DeviceType::kKeyboardWired || type == DeviceType::kKeyboardReceiver; }

// "keyboard" is the first keyboard model of the product table.
std::optional<std::uint16_t> KeyboardProduct(std::string_view word) {
  const std::optional<ProductIds> ids = ParseProductIds(word);
  if (word != "keyboard" && !ids) return std::nullopt;
  for (const InterfaceRow& row : kInterfaceTable) {
    if (!IsRealProduct(row) || !IsKeyboard(row.type)) continue;
    if (!ids || (row.vendor_id == ids->vendor && row.product_id == ids->product)) return row.product_id;
  }
  return std::nullopt;
}

// What a fresh keyboard shows: the factory profile's lighting.
LightSetting FactoryLight() {
  const Json::Value document = ReadJsonDocument(DefaultDataFolder() / "keyboard.Json");
  if (!document.isObject() || !document["Device"].isArray() || !document["Device"][0u].isObject()) return {};
  return DecodeLight(document["Device"][0u]["LightInfo"]);
}

struct Field {
  std::string_view option;
  long low, high;
  std::uint8_t LightSetting::*member;
};
constexpr Field kFields[] = {{"--brightness", 0, 4, &LightSetting::light},
                             {"--speed", 0, 4, &LightSetting::speed},
                             {"--direction", 0, 255, &LightSetting::fx},
                             {"--multicolor", 0, 1, &LightSetting::multi_color}};

void PrintStep(std::ostream& out, long step, std::span<const std::uint32_t> colours, bool json) {
  if (json) {
    std::string line = "{\"step\": " + std::to_string(step) + ", \"colors\": [";
    for (std::size_t key = 0; key < kLogicalKeyCount; ++key) {
      const std::uint32_t c = key < colours.size() ? colours[key] : 0;
      char entry[32];
      std::snprintf(entry, sizeof entry, "%s[%u, %u, %u, %u]", key ? ", " : "", (c >> 16) & 0xFF, (c >> 8) & 0xFF,
                    c & 0xFF, c >> 24);
      line += entry;
    }
    out << line << "]}\n";
    return;
  }
  out << "step " << step << ':';
  for (std::size_t key = 0; key < kLogicalKeyCount; ++key) {
    const std::uint32_t c = key < colours.size() ? colours[key] : 0;
    char entry[16];
    std::snprintf(entry, sizeof entry, " %06x/%u", c & 0xFFFFFF, c >> 24);
    out << entry;
  }
  out << '\n';
}

}  // namespace

int LightingPreviewCommand(CommandArgs args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  std::string error;
  auto usage = [&](const std::string& why) {
    err << "brontalctl: lighting preview: " << why << " (" << kUsage << ")\n";
    return kExitUsage;
  };
  if (!ParseArgs(args, kOptions, parsed, error)) return usage(error);
  if (parsed.help) {
    out << "Usage: brontalctl " << kUsage
        << "\n\nRuns the host animation of a keyboard model (PRODUCT is VID:PID or 'keyboard') without any\n"
           "device and prints the colour of every logical key 0..125 after each step: RRGGBB/alpha, or\n"
           "with --json one line per step {\"step\": k, \"colors\": [[R, G, B, A], ...]}. Keys the model\n"
           "lacks show 0. Values not given are the factory profile's.\n";
    return kExitOk;
  }
  if (parsed.positional.empty()) return usage("which keyboard? (VID:PID or keyboard)");
  if (parsed.positional.size() > 1) return usage("unexpected argument '" + parsed.positional[1] + "'");
  const std::optional<std::uint16_t> product = KeyboardProduct(parsed.positional.front());
  if (!product) return usage("'" + parsed.positional.front() + "' is not a keyboard product");
  LightSetting light = FactoryLight();
  const std::optional<std::string> mode_word = parsed.Value("--mode");
  if (!mode_word) return usage("--mode is missing");
  const std::vector<LightMode> modes = FactoryLightModes(kKeyboardLightSlot);
  const std::optional<long> mode = ParseLightMode(*mode_word, modes);
  if (!mode || static_cast<std::size_t>(*mode) >= modes.size())
    return usage("--mode takes a mode index 0.." + std::to_string(modes.size() - 1) + " or a mode's name, not '" +
                 *mode_word + "'");
  light.select_item = static_cast<std::uint8_t>(*mode);
  for (const Field& field : kFields) {
    const std::optional<std::string> value = parsed.Value(field.option);
    if (!value) continue;
    const std::optional<long> number = ParseNumber(*value, field.low, field.high);
    if (!number)
      return usage(std::string(field.option) + " takes " + std::to_string(field.low) + ".." +
                   std::to_string(field.high) + ", not '" + *value + "'");
    light.*field.member = static_cast<std::uint8_t>(*number);
  }
  if (const std::optional<std::string> colour = parsed.Value("--color")) {
    std::string_view digits = *colour;
    if (digits.starts_with('#')) digits.remove_prefix(1);
    const std::optional<long> rgb = digits.size() == 6 ? ParseNumber(digits, 0, 0xFFFFFF, 16) : std::nullopt;
    if (!rgb) return usage("--color takes RRGGBB, not '" + *colour + "'");
    light.red = static_cast<std::uint8_t>(*rgb >> 16);
    light.green = static_cast<std::uint8_t>(*rgb >> 8);
    light.blue = static_cast<std::uint8_t>(*rgb);
  }
  const std::optional<std::string> steps_word = parsed.Value("--steps");
  if (!steps_word) return usage("--steps is missing");
  const std::optional<long> steps = ParseNumber(*steps_word, 1, kMostSteps);
  if (!steps) return usage("--steps takes 1.." + std::to_string(kMostSteps) + ", not '" + *steps_word + "'");

  // A fixed seed: the same command prints the same colours.
  lighting::LightEngine engine(lighting::Family::kKeyboard, *product, kLogicalKeyCount, 1);
  lighting::EngineSettings settings;
  settings.light = light;
  engine.Configure(std::move(settings), true);
  const bool json = parsed.Has("--json");
  std::chrono::microseconds clock{0};
  for (long step = 1; step <= *steps;) {
    clock += lighting::kAnimationUnit;
    if (!engine.Tick(std::chrono::duration_cast<std::chrono::milliseconds>(clock))) continue;
    PrintStep(out, step++, engine.colours(), json);
  }
  return kExitOk;
}

}  // namespace brontal
