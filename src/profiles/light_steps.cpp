#include "profiles/light_steps.h"

#include <string>

#include "profiles/file_stem.h"
#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/record_fields.h"

namespace brontal {
namespace {

constexpr const char* kStepList = "LEDEffectList";

using S = LightStep;
constexpr FieldRules<S, std::uint8_t, 8> kStepBytes = {{
    {"LEDREGMode", &S::mode},
    {"LEDBrightness", &S::brightness},
    {"LEDSpeed", &S::speed},
    {"LEDDirection", &S::direction},
    {"LEDMultiColor", &S::multi_color},
    {"red", &S::red},
    {"green", &S::green},
    {"blue", &S::blue},
}};
constexpr FieldRules<S, std::int32_t, 2> kStepWords = {{
    {"Time", &S::time},
    {"Cyle", &S::cycle},
}};

}  // namespace

std::vector<LightStep> ReadLightSteps(const std::filesystem::path& folder, std::string_view guid) {
  if (!IsPlainFileStem(guid)) return {};
  const Json::Value steps = ReadJsonDocument(folder / (std::string(guid) + ".light"));
  return DecodeElements<LightStep>(Member(steps, kStepList), kStepBytes, kStepWords);
}

}  // namespace brontal
