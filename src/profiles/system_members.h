#pragma once

#include <json/json.h>

#include "profiles/profile_records.h"

// The system settings of a device entry: the keyboard's and the mouse's
// "SystemStages" (same member name, different content), the mouse's
// "ReportStages" and the headset's "SystemSetStages".
namespace brontal {

KeyboardSystem DecodeKeyboardSystem(const Json::Value& system_stages);
Json::Value EncodeKeyboardSystem(const KeyboardSystem& system);

MouseSystem DecodeMouseSystem(const Json::Value& system_stages, const Json::Value& report_stages);
Json::Value EncodeMouseSystemStages(const MouseSystem& system);
Json::Value EncodeMouseReportStages(const MouseSystem& system);

HeadsetSystem DecodeHeadsetSystem(const Json::Value& system_set_stages);
Json::Value EncodeHeadsetSystem(const HeadsetSystem& system);

}  // namespace brontal
