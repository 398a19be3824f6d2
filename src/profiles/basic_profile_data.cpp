#include "profiles/basic_profile_data.h"

#include "profiles/custom_colour_members.h"
#include "profiles/eq_members.h"
#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/key_list_members.h"
#include "profiles/light_members.h"
#include "profiles/light_names.h"
#include "profiles/light_steps.h"
#include "profiles/profile_document.h"
#include "profiles/sensor_members.h"
#include "profiles/system_members.h"

namespace brontal {
namespace {

constexpr const char* kLightInfo = "LightInfo";
constexpr const char* kAudioLightInfo = "AudioLightInfo";
constexpr const char* kLightList = "LightList";
constexpr const char* kKeyList = "KeyList";
constexpr const char* kKeyFnList = "KeyFnList";
constexpr const char* kSystemStages = "SystemStages";
constexpr const char* kCustomLightMode = "CustomLightMode";
constexpr const char* kReportStages = "ReportStages";
constexpr const char* kDpiStages = "DPIStages";
constexpr const char* kStageActive = "StageActive";
constexpr const char* kStageDpis = "StageDPIs";
constexpr const char* kCorrectInfo = "CorrectInfo";
constexpr const char* kSystemSetStages = "SystemSetStages";
constexpr const char* kEqCurves = "EQHzValueInfo";
constexpr const char* kCustomEqCurves = "CustomEQHzValueInfo";
constexpr const char* kCustomEqNames = "CustomEQNameInfo";

}  // namespace

bool CBasicProfiledata::Save() { return SaveInto(document_, profile_path_); }

bool CBasicProfiledata::SaveInto(const Json::Value& entry, const std::filesystem::path& path) {
  return MergeDeviceEntry(path, entry_index_, entry);
}

bool CBasicProfiledata::SaveSecondary(const std::filesystem::path& path) { return SaveInto(secondary_document_, path); }

bool CBasicProfiledata::WriteDocument(const Json::Value& document, const std::filesystem::path& path) {
  return WriteJsonDocument(path, document);
}

void CBasicProfiledata::SetProfilePath(std::filesystem::path path) {
  if (!path.empty()) profile_path_ = std::move(path);
}

void CBasicProfiledata::SetDefaultProfilePath(std::filesystem::path path) {
  if (!path.empty()) default_profile_path_ = std::move(path);
}

const Json::Value& CBasicProfiledata::Load(const std::filesystem::path& path) {
  document_ = LoadDeviceEntry(path, default_profile_path_, entry_index_);
  return document_;
}

const Json::Value& CBasicProfiledata::LoadSecondary(const std::filesystem::path& path) {
  secondary_document_ = LoadDeviceEntry(path, default_profile_path_, entry_index_);
  return secondary_document_;
}

LightSetting CBasicProfiledata::GetLight() const { return DecodeLight(Member(document_, kLightInfo)); }

void CBasicProfiledata::SetLight(const LightSetting& light) {
  MemberForWrite(document_, kLightInfo) = EncodeLight(light);
}

AudioLightSetting CBasicProfiledata::GetAudioLight() const {
  return DecodeAudioLight(Member(document_, kAudioLightInfo));
}

void CBasicProfiledata::SetAudioLight(const AudioLightSetting& audio_light) {
  MemberForWrite(document_, kAudioLightInfo) = EncodeAudioLight(audio_light);
}

std::vector<LedEffect> CBasicProfiledata::GetLightList() const {
  return DecodeLightList(Member(document_, kLightList));
}

const Json::Value& CBasicProfiledata::LoadLightConfig() {
  light_config_ = ReadJsonDocument(light_config_path_);
  return light_config_;
}

std::vector<LightStep> CBasicProfiledata::GetCustomEffectSteps() {
  if (light_config_.isNull()) return custom_effect_steps_;
  const std::string guid = CustomEffectGuid(light_config_, entry_index_, GetLight().select_item);
  // Beside the light config rather than in the working folder, which depends
  // on how the program was started.
  custom_effect_steps_ = ReadLightSteps(light_config_path_.parent_path(), guid);
  return custom_effect_steps_;
}

std::vector<KeyAssignment> CBasicProfiledata::GetStoredKeyList() const {
  return DecodeKeyList(Member(document_, kKeyList));
}

std::vector<KeyAssignment> CBasicProfiledata::GetKeyList() const {
  std::vector<KeyAssignment> keys = DecodeKeyList(Member(document_, kKeyList));
  key_tables_.ApplyToKeyList(keys);
  return keys;
}

void CBasicProfiledata::SetKeyList(std::span<const KeyAssignment> keys) {
  WriteAssignments(MemberForWrite(document_, kKeyList), keys);
}

std::vector<KeyAssignment> CBasicProfiledata::GetKeyFnList() const {
  std::vector<KeyAssignment> keys = DecodeKeyList(Member(document_, kKeyFnList));
  key_tables_.ApplyToFnList(keys);
  return keys;
}

void CBasicProfiledata::SetKeyFnList(std::span<const KeyAssignment> keys) {
  WriteAssignments(MemberForWrite(document_, kKeyFnList), keys);
}

std::vector<KeyAssignment> CBasicProfiledata::GetSecondaryKeyList() const {
  return DecodeKeyList(Member(secondary_document_, kKeyList));
}

KeyboardSystem CBasicProfiledata::GetKeyboardSystem() const {
  return DecodeKeyboardSystem(Member(document_, kSystemStages));
}

void CBasicProfiledata::SetKeyboardSystem(const KeyboardSystem& system) {
  MemberForWrite(document_, kSystemStages) = EncodeKeyboardSystem(system);
}

std::vector<CustomColour> CBasicProfiledata::GetCustomColors(std::uint8_t group, std::size_t count) {
  return TakeCustomColours(MemberForWrite(document_, kCustomLightMode), group, count);
}

void CBasicProfiledata::SetCustomColors(std::uint8_t group, std::span<const CustomColour> colours) {
  PutCustomColours(MemberForWrite(document_, kCustomLightMode), group, colours);
}

std::uint8_t CBasicProfiledata::GetCustomGroup() const {
  return DecodeCustomGroup(Member(document_, kCustomLightMode));
}

void CBasicProfiledata::SetCustomGroup(std::uint8_t group) {
  PutCustomGroup(MemberForWrite(document_, kCustomLightMode), group);
}

MouseSystem CBasicProfiledata::GetMouseSystem() const {
  return DecodeMouseSystem(Member(document_, kSystemStages), Member(document_, kReportStages));
}

void CBasicProfiledata::SetMouseSystem(const MouseSystem& system) {
  MemberForWrite(document_, kSystemStages) = EncodeMouseSystemStages(system);
  MemberForWrite(document_, kReportStages) = EncodeMouseReportStages(system);
}

std::vector<DpiStage> CBasicProfiledata::GetDpiStages() {
  const Json::Value& dpi = Member(document_, kDpiStages);
  if (!dpi.isObject()) return dpi_stages_;
  active_stage_ = ToField<std::uint8_t>(Member(dpi, kStageActive));
  const std::vector<DpiStage> stored = DecodeDpiStages(Member(dpi, kStageDpis));
  if (stored.size() > dpi_stages_.size()) dpi_stages_.resize(stored.size());
  std::copy(stored.begin(), stored.end(), dpi_stages_.begin());
  return dpi_stages_;
}

void CBasicProfiledata::SetDpiStages(std::span<const DpiStage> stages) {
  WriteDpiStages(MemberForWrite(MemberForWrite(document_, kDpiStages), kStageDpis), stages);
  dpi_stages_.assign(stages.begin(), stages.end());
}

std::uint8_t CBasicProfiledata::GetActiveStage() {
  const Json::Value& stored = Member(Member(document_, kDpiStages), kStageActive);
  if (!stored.isNull()) active_stage_ = ToField<std::uint8_t>(stored);
  return active_stage_;
}

void CBasicProfiledata::SetActiveStage(std::uint8_t stage) {
  MemberForWrite(MemberForWrite(document_, kDpiStages), kStageActive) = stage;
  active_stage_ = stage;
}

std::vector<SurfaceCorrection> CBasicProfiledata::GetCorrections() const {
  return DecodeCorrections(Member(document_, kCorrectInfo));
}

void CBasicProfiledata::SelectCorrection(std::size_t index) {
  brontal::SelectCorrection(MemberForWrite(document_, kCorrectInfo), index);
}

HeadsetSystem CBasicProfiledata::GetHeadsetSystem() const {
  return DecodeHeadsetSystem(Member(document_, kSystemSetStages));
}

void CBasicProfiledata::SetHeadsetSystem(const HeadsetSystem& system) {
  MemberForWrite(document_, kSystemSetStages) = EncodeHeadsetSystem(system);
}

std::optional<EqBands> CBasicProfiledata::GetEqBands(int preset) {
  const std::optional<std::size_t> element = EqPresetElement(preset);
  if (!element) return std::nullopt;
  return TakeEqBands(MemberForWrite(document_, kEqCurves), *element);
}

void CBasicProfiledata::SetEqBands(int preset, const EqBands& bands) {
  if (const std::optional<std::size_t> element = EqPresetElement(preset))
    PutEqBands(MemberForWrite(document_, kEqCurves), *element, bands);
}

EqBands CBasicProfiledata::GetCustomEqBands(std::size_t slot) {
  // The slot comes from the profile's own "CustomEqSeletIndex"; a wild one
  // must not grow the document without bound.
  if (slot >= kMaxCustomEqCurves) return {};
  return TakeEqBands(MemberForWrite(document_, kCustomEqCurves), slot);
}

void CBasicProfiledata::SetCustomEqBands(std::size_t slot, const EqBands& bands) {
  if (slot < kMaxCustomEqCurves) PutEqBands(MemberForWrite(document_, kCustomEqCurves), slot, bands);
}

void CBasicProfiledata::RemoveCustomEqBands(std::size_t slot) {
  Json::Value& curves = MemberForWrite(document_, kCustomEqCurves);
  if (curves.isArray() && slot < curves.size()) curves.removeIndex(static_cast<Json::ArrayIndex>(slot), nullptr);
}

std::vector<std::string> CBasicProfiledata::GetCustomEqNames() const {
  return DecodeEqNames(Member(document_, kCustomEqNames));
}

void CBasicProfiledata::SetCustomEqNames(std::span<const std::string> names) {
  MemberForWrite(document_, kCustomEqNames) = EncodeEqNames(names);
}

}  // namespace brontal
