#include "profiles/system_members.h"

#include "profiles/record_fields.h"

namespace brontal {
namespace {

using K = KeyboardSystem;
constexpr FieldRules<K, std::uint16_t, 7> kKeyboardRules = {{
    {"Repeat", &K::repeat},
    {"RepeatDelay", &K::repeat_delay},
    {"Key6Flag", &K::key6_flag},
    {"PollingRate", &K::polling_rate},
    {"WFlag", &K::w_flag},
    {"WinFlag", &K::win_flag},
    {"OSMode", &K::os_mode},
}};

using M = MouseSystem;
constexpr FieldRules<M, std::uint16_t, 5> kMouseRules = {{
    {"DoubleClickTime", &M::double_click_time},
    {"MouseSpeed", &M::mouse_speed},
    {"PointerPrecision", &M::pointer_precision},
    {"ScorllPage", &M::scroll_page},
    {"WheelScorlllinse", &M::wheel_scroll_lines},
}};
constexpr FieldRules<M, std::uint16_t, 1> kReportRules = {{{"StageActive", &M::report_rate}}};

using H = HeadsetSystem;
constexpr FieldRules<H, std::int32_t, 8> kHeadsetRules = {{
    {"MagicEnable", &H::magic_enable},
    {"MagicType", &H::magic_type},
    {"EqType", &H::eq_type},
    {"CustomEqSeletIndex", &H::custom_eq_select},
    {"MicInSelect", &H::mic_in_select},
    {"MicInValue", &H::mic_in_value},
    {"MicMoniterSelect", &H::mic_monitor_select},
    {"MicMoniterValue", &H::mic_monitor_value},
}};

}  // namespace

KeyboardSystem DecodeKeyboardSystem(const Json::Value& system_stages) {
  return DecodeFields<KeyboardSystem>(system_stages, kKeyboardRules);
}
Json::Value EncodeKeyboardSystem(const KeyboardSystem& system) { return EncodeFields(system, kKeyboardRules); }

MouseSystem DecodeMouseSystem(const Json::Value& system_stages, const Json::Value& report_stages) {
  MouseSystem system = DecodeFields<MouseSystem>(system_stages, kMouseRules);
  DecodeInto(system, report_stages, kReportRules);
  return system;
}
Json::Value EncodeMouseSystemStages(const MouseSystem& system) { return EncodeFields(system, kMouseRules); }
Json::Value EncodeMouseReportStages(const MouseSystem& system) { return EncodeFields(system, kReportRules); }

HeadsetSystem DecodeHeadsetSystem(const Json::Value& system_set_stages) {
  return DecodeFields<HeadsetSystem>(system_set_stages, kHeadsetRules);
}
Json::Value EncodeHeadsetSystem(const HeadsetSystem& system) { return EncodeFields(system, kHeadsetRules); }

}  // namespace brontal
