#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "profiles/data_folders.h"

// The styles of audio-reactive lighting, "AudioFile.json" in the application
// folder with a factory copy in the default-data folder: "Device" ->
// "AudioLightInfo" holds "nAudioStyle", "nStyleName1".."nStyleName4" and the
// levels "nStyleR0", "nStyleG0", "nStyleB0" .. "nStyleB3".
namespace brontal {

inline constexpr std::size_t kAudioStyleCount = 4;
inline constexpr std::uint8_t kHighestStyleLevel = 9;
// The name a style takes when its name is left empty ("group one" .. "group four").
inline constexpr std::array<std::string_view, kAudioStyleCount> kDefaultStyleNames = {"第一组", "第二组", "第三组",
                                                                                      "第四组"};

struct AudioStyles {
  std::uint8_t selected = 0;  // "nAudioStyle", 0..3
  std::array<std::string, kAudioStyleCount> names;
  // Colour levels 0..9 in the order R0, G0, B0, R1, .. B3.
  std::array<std::uint8_t, 3 * kAudioStyleCount> levels{};
  bool operator==(const AudioStyles&) const = default;
};

// `name`, or the default name of style `style` when it is empty.
std::string StyleNameOrDefault(std::string_view name, std::size_t style);

// The user's styles; a file without a "Device" object (missing, empty,
// corrupt) is first replaced by the factory copy. Missing members give 0 and
// empty names; a selected style beyond the four reads as the first, a level
// beyond 9 as 9.
AudioStyles LoadAudioStyles(const AppFolders& folders = AppFolders::Installed());
// Rewrites every member of "AudioLightInfo"; the file's other members stay.
bool SaveAudioStyles(const AudioStyles& styles, const AppFolders& folders = AppFolders::Installed());
// The factory copy replaces the user's file; returns the styles now in force
// (the user's own when there is no usable factory copy).
AudioStyles ResetAudioStyles(const AppFolders& folders = AppFolders::Installed());

}  // namespace brontal
