#pragma once

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "profiles/profile_key_tables.h"
#include "profiles/profile_records.h"

namespace brontal {

// The loaded profile of one device: its device entry as a document, decoded
// into fixed records on request and written back by the setters. Setters
// change the document only; Save puts it into the profile file.
//
// A device sets the default profile path (DefaultProfilePath of its model) and
// the light config path (ModelLightConfigPath) when it is created, sets the
// profile path whenever the current profile changes, and then calls
// Load(ProfilePath()). Every family has every accessor; a family simply never
// calls those that do not concern it.
class CBasicProfiledata {
 public:
  CBasicProfiledata() = default;
  virtual ~CBasicProfiledata() = default;
  CBasicProfiledata(const CBasicProfiledata&) = delete;
  CBasicProfiledata& operator=(const CBasicProfiledata&) = delete;

  // The profile operations; false when the file could not be written, in
  // which case the file keeps its old content.
  //
  // Writes the current entry into the current profile file.
  virtual bool Save();
  // Writes entry into the profile file at path; its other members stay.
  virtual bool SaveInto(const Json::Value& entry, const std::filesystem::path& path);
  // Writes the secondary entry into the profile file at path.
  virtual bool SaveSecondary(const std::filesystem::path& path);
  // Writes document to path as it is.
  virtual bool WriteDocument(const Json::Value& document, const std::filesystem::path& path);

  // An empty path is ignored.
  void SetProfilePath(std::filesystem::path path);
  const std::filesystem::path& ProfilePath() const { return profile_path_; }
  void SetDefaultProfilePath(std::filesystem::path path);
  void SetLightConfigPath(std::filesystem::path path) { light_config_path_ = std::move(path); }
  const std::filesystem::path& LightConfigPath() const { return light_config_path_; }
  void SetDeviceEntryIndex(std::size_t index) { entry_index_ = index; }

  // Takes the device entry of the profile file at path as the current (or the
  // secondary) entry. A file without one is made from the default profile
  // first, so a missing or corrupt profile is replaced on first use.
  const Json::Value& Load(const std::filesystem::path& path);
  const Json::Value& LoadSecondary(const std::filesystem::path& path);
  const Json::Value& Document() const { return document_; }

  // Members that are missing decode as zero unless noted.
  LightSetting GetLight() const;
  void SetLight(const LightSetting& light);
  AudioLightSetting GetAudioLight() const;
  void SetAudioLight(const AudioLightSetting& audio_light);
  std::vector<LedEffect> GetLightList() const;

  // Reads the device's custom lighting effects from LightConfigPath(); null
  // when the file is missing or corrupt.
  const Json::Value& LoadLightConfig();
  // The steps of custom effect "SelectItem" of the loaded light config's list
  // at the device-entry index, kept as the last list. Without a loaded config
  // the last list is returned; a missing step file gives an empty one.
  std::vector<LightStep> GetCustomEffectSteps();

  // The key list of the file, overridden by what the keyboard read back from
  // itself (KeyTables). SetKeyList writes the assignments and keeps the defaults.
  std::vector<KeyAssignment> GetKeyList() const;
  // "KeyList" as the file holds it, before the device's tables lie over it.
  std::vector<KeyAssignment> GetStoredKeyList() const;
  void SetKeyList(std::span<const KeyAssignment> keys);
  std::vector<KeyAssignment> GetKeyFnList() const;
  void SetKeyFnList(std::span<const KeyAssignment> keys);
  // The secondary entry's key list as the file has it.
  std::vector<KeyAssignment> GetSecondaryKeyList() const;
  ProfileKeyTables& KeyTables() { return key_tables_; }

  KeyboardSystem GetKeyboardSystem() const;
  void SetKeyboardSystem(const KeyboardSystem& system);

  // The first count colours of a per-key colour group; colours the profile
  // lacks are written as zeros.
  std::vector<CustomColour> GetCustomColors(std::uint8_t group, std::size_t count);
  void SetCustomColors(std::uint8_t group, std::span<const CustomColour> colours);
  std::uint8_t GetCustomGroup() const;
  void SetCustomGroup(std::uint8_t group);

  MouseSystem GetMouseSystem() const;
  void SetMouseSystem(const MouseSystem& system);
  // The file's stages laid over those returned last: the list never shrinks,
  // and without "DPIStages" it is returned unchanged. SetDpiStages keeps any
  // stored stages past the ones given.
  std::vector<DpiStage> GetDpiStages();
  void SetDpiStages(std::span<const DpiStage> stages);
  // The stored active stage, or the last one when the profile has none.
  std::uint8_t GetActiveStage();
  void SetActiveStage(std::uint8_t stage);
  std::vector<SurfaceCorrection> GetCorrections() const;
  void SelectCorrection(std::size_t index);

  HeadsetSystem GetHeadsetSystem() const;
  void SetHeadsetSystem(const HeadsetSystem& system);
  // Presets 1..12 have their own curves and any other number but 13 reads
  // preset 1; the custom preset 13 has none (nullopt, nothing written). Bands
  // the profile lacks are written as 0.
  std::optional<EqBands> GetEqBands(int preset);
  void SetEqBands(int preset, const EqBands& bands);
  // A custom curve by slot; a slot past the largest number of curves reads as
  // zeros and is never stored.
  EqBands GetCustomEqBands(std::size_t slot);
  void SetCustomEqBands(std::size_t slot, const EqBands& bands);
  // The curve at `slot` taken out; the later ones move down (names apart).
  void RemoveCustomEqBands(std::size_t slot);
  std::vector<std::string> GetCustomEqNames() const;
  void SetCustomEqNames(std::span<const std::string> names);

 private:
  std::filesystem::path profile_path_;
  std::filesystem::path default_profile_path_;
  std::filesystem::path light_config_path_;
  std::size_t entry_index_ = 0;
  Json::Value document_;
  Json::Value secondary_document_;
  Json::Value light_config_;
  std::vector<LightStep> custom_effect_steps_;
  ProfileKeyTables key_tables_;
  std::vector<DpiStage> dpi_stages_;
  std::uint8_t active_stage_ = 0;
};

}  // namespace brontal
