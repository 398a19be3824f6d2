#pragma once

#include <json/json.h>

#include <span>
#include <vector>

#include "profiles/profile_records.h"

// The mouse sensor's members: the DPI stages of "DPIStages"."StageDPIs" and
// the surface corrections of "CorrectInfo".
namespace brontal {

std::vector<DpiStage> DecodeDpiStages(const Json::Value& stage_dpis);
// Replaces elements 0..n-1 and keeps any longer tail.
void WriteDpiStages(Json::Value& stage_dpis, std::span<const DpiStage> stages);

std::vector<SurfaceCorrection> DecodeCorrections(const Json::Value& correct_info);
// The surface at `index` becomes the chosen one, the others not; an index
// past the list leaves none chosen.
void SelectCorrection(Json::Value& correct_info, std::size_t index);

}  // namespace brontal
