#include "profiles/sensor_members.h"

#include "profiles/json_fields.h"
#include "profiles/record_fields.h"

namespace brontal {
namespace {

using D = DpiStage;
constexpr FieldRules<D, std::uint8_t, 5> kStageBytes = {{
    {"StageActive", &D::enabled},
    {"StageXY", &D::separate_xy},
    {"StageColorR", &D::red},
    {"StageColorG", &D::green},
    {"StageColorB", &D::blue},
}};
constexpr FieldRules<D, std::uint16_t, 2> kStageWords = {{
    {"StageDPIX", &D::dpi_x},
    {"StageDPIY", &D::dpi_y},
}};

using S = SurfaceCorrection;
constexpr FieldRules<S, std::uint8_t, 3> kCorrectionBytes = {{
    {"CorrectPixThresh", &S::pix_thresh},
    {"CorrectMinSq", &S::min_sq},
    {"CorrectSelect", &S::select},
}};
constexpr FieldRules<S, std::string, 1> kCorrectionName = {{{"CorrectName", &S::name}}};

}  // namespace

std::vector<DpiStage> DecodeDpiStages(const Json::Value& stage_dpis) {
  return DecodeElements<DpiStage>(stage_dpis, kStageBytes, kStageWords);
}

void WriteDpiStages(Json::Value& stage_dpis, std::span<const DpiStage> stages) {
  for (std::size_t i = 0; i < stages.size(); ++i)
    ElementForWrite(stage_dpis, i) = EncodeFields(stages[i], kStageBytes, kStageWords);
}

std::vector<SurfaceCorrection> DecodeCorrections(const Json::Value& correct_info) {
  return DecodeElements<SurfaceCorrection>(correct_info, kCorrectionBytes, kCorrectionName);
}

void SelectCorrection(Json::Value& correct_info, std::size_t index) {
  std::vector<SurfaceCorrection> corrections = DecodeCorrections(correct_info);
  for (std::size_t i = 0; i < corrections.size(); ++i) {
    corrections[i].select = i == index ? 1 : 0;
    ElementForWrite(correct_info, i) = EncodeFields(corrections[i], kCorrectionBytes, kCorrectionName);
  }
}

}  // namespace brontal
