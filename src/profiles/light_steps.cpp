#include "profiles/light_steps.h"

#include <string>

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

// The Guid comes from a file anyone may edit: a separator or ".." would reach
// files outside the folder, and a NUL would cut the name short of ".light".
// An empty one is an effect the config does not have.
bool IsPlainStem(std::string_view guid) {
  constexpr std::string_view kUnsafe("/\\\0", 3);
  return !guid.empty() && guid.find_first_of(kUnsafe) == std::string_view::npos &&
         guid.find("..") == std::string_view::npos;
}

}  // namespace

std::vector<LightStep> ReadLightSteps(const std::filesystem::path& folder, std::string_view guid) {
  if (!IsPlainStem(guid)) return {};
  const Json::Value steps = ReadJsonDocument(folder / (std::string(guid) + ".light"));
  return DecodeElements<LightStep>(Member(steps, kStepList), kStepBytes, kStepWords);
}

}  // namespace brontal
