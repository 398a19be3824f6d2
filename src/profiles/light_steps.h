#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "profiles/profile_records.h"

// A custom lighting effect's step file: Guid + ".light", a document whose
// "LEDEffectList" holds the steps.
namespace brontal {

// The steps of the effect whose step file lies in folder. Empty when the
// Guid is not a plain file stem, or the file is missing, not a document or
// without steps; an element that is not an object gives an all-zero step.
std::vector<LightStep> ReadLightSteps(const std::filesystem::path& folder, std::string_view guid);

}  // namespace brontal
