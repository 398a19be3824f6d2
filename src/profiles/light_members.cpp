#include "profiles/light_members.h"

#include "profiles/json_fields.h"
#include "profiles/record_fields.h"

namespace brontal {
namespace {

using L = LightSetting;
constexpr FieldRules<L, std::uint8_t, 11> kLightRules = {{
    {"SelectItem", &L::select_item},
    {"Light", &L::light},
    {"Speed", &L::speed},
    {"Fx", &L::fx},
    {"MultiColor", &L::multi_color, true},
    {"Red", &L::red},
    {"Green", &L::green},
    {"Blue", &L::blue},
    {"ZZCCLedMode", &L::zzcc_led_mode},
    {"CustomGroup", &L::custom_group},
    {"OldLedmode", &L::old_led_mode},
}};

using A = AudioLightSetting;
constexpr FieldRules<A, std::uint8_t, 9> kAudioLightRules = {{
    {"AudioMode", &A::audio_mode},
    {"BkColorR", &A::bk_red},
    {"BkColorG", &A::bk_green},
    {"BkColorB", &A::bk_blue},
    {"FgColorR", &A::fg_red},
    {"FgColorG", &A::fg_green},
    {"FgColorB", &A::fg_blue},
    {"7ColorFlags", &A::seven_color, true},
    {"ColorTypeFlags", &A::color_type, true},
}};

using E = LedEffect;
constexpr FieldRules<E, std::uint8_t, 8> kLedEffectRules = {{
    {"LEDREGMode", &E::mode},
    {"LEDBrightness", &E::brightness},
    {"LEDSpeed", &E::speed},
    {"LEDDirection", &E::direction, true},
    {"LEDMultiColor", &E::multi_color, true},
    {"red", &E::red},
    {"green", &E::green},
    {"blue", &E::blue},
}};

}  // namespace

LightSetting DecodeLight(const Json::Value& light_info) { return DecodeFields<LightSetting>(light_info, kLightRules); }
Json::Value EncodeLight(const LightSetting& light) { return EncodeFields(light, kLightRules); }

AudioLightSetting DecodeAudioLight(const Json::Value& audio_light_info) {
  return DecodeFields<AudioLightSetting>(audio_light_info, kAudioLightRules);
}
Json::Value EncodeAudioLight(const AudioLightSetting& audio_light) {
  return EncodeFields(audio_light, kAudioLightRules);
}

std::vector<LedEffect> DecodeLightList(const Json::Value& light_list) {
  std::vector<LedEffect> effects;
  for (std::size_t i = 0; i < ElementCount(light_list); ++i) {
    const Json::Value& element = Element(light_list, i);
    LedEffect effect;
    if (element.isObject()) {
      effect = DecodeFields<LedEffect>(element, kLedEffectRules);
      effect.present = 1;
    }
    effects.push_back(effect);
  }
  return effects;
}

}  // namespace brontal
