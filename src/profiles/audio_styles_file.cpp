#include "profiles/audio_styles_file.h"

#include <algorithm>

#include "profiles/factory_copy.h"
#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/kept_aside.h"

namespace brontal {
namespace {

constexpr std::string_view kFileName = "AudioFile.json";
constexpr const char* kDevice = "Device";
constexpr const char* kAudioLightInfo = "AudioLightInfo";
constexpr const char* kSelected = "nAudioStyle";
constexpr char kComponents[] = {'R', 'G', 'B'};

std::string NameMember(std::size_t style) { return "nStyleName" + std::to_string(style + 1); }
std::string LevelMember(std::size_t level) {
  return std::string("nStyle") + kComponents[level % 3] + std::to_string(level / 3);
}

bool HasDevice(const Json::Value& document) { return Member(document, kDevice).isObject(); }

AudioStyles Decode(const Json::Value& document) {
  const Json::Value& info = Member(Member(document, kDevice), kAudioLightInfo);
  AudioStyles styles;
  styles.selected = ToField<std::uint8_t>(Member(info, kSelected));
  if (styles.selected >= kAudioStyleCount) styles.selected = 0;
  for (std::size_t i = 0; i < kAudioStyleCount; ++i) styles.names[i] = ToText(Member(info, NameMember(i).c_str()));
  for (std::size_t i = 0; i < styles.levels.size(); ++i)
    styles.levels[i] = std::min(ToField<std::uint8_t>(Member(info, LevelMember(i).c_str())), kHighestStyleLevel);
  return styles;
}

}  // namespace

std::string StyleNameOrDefault(std::string_view name, std::size_t style) {
  return std::string(name.empty() ? kDefaultStyleNames[style] : name);
}

AudioStyles LoadAudioStyles(const AppFolders& folders) {
  return Decode(ReadWithFactoryCopy(folders, kFileName, HasDevice));
}

bool SaveAudioStyles(const AudioStyles& styles, const AppFolders& folders) {
  const std::filesystem::path path = folders.ApplicationFile(kFileName);
  Json::Value document = ReadJsonDocument(path);
  if (!KeepAsideIfUnreadable(path, document)) return false;
  Json::Value& info = MemberForWrite(MemberForWrite(document, kDevice), kAudioLightInfo);
  info[kSelected] = styles.selected;
  for (std::size_t i = 0; i < kAudioStyleCount; ++i) info[NameMember(i)] = styles.names[i];
  for (std::size_t i = 0; i < styles.levels.size(); ++i) info[LevelMember(i)] = styles.levels[i];
  return WriteJsonDocument(path, document);
}

AudioStyles ResetAudioStyles(const AppFolders& folders) {
  const Json::Value factory = RestoreFactoryCopy(folders, kFileName, HasDevice);
  return Decode(HasDevice(factory) ? factory : ReadJsonDocument(folders.application / kFileName));
}

}  // namespace brontal
