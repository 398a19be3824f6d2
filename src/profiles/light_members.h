#pragma once

#include <json/json.h>

#include <vector>

#include "profiles/profile_records.h"

// The lighting members of a device entry: "LightInfo", "AudioLightInfo" and
// "LightList".
namespace brontal {

LightSetting DecodeLight(const Json::Value& light_info);
Json::Value EncodeLight(const LightSetting& light);  // the working bytes are not stored

AudioLightSetting DecodeAudioLight(const Json::Value& audio_light_info);
Json::Value EncodeAudioLight(const AudioLightSetting& audio_light);

// One record per element; an element that is not an object gives an all-zero
// record with present = 0.
std::vector<LedEffect> DecodeLightList(const Json::Value& light_list);

}  // namespace brontal
