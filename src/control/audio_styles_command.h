#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "control/control_socket.h"
#include "control/device_request.h"
#include "profiles/audio_styles_file.h"
#include "profiles/data_folders.h"

// "brontalctl audio styles": the four colour styles of the audio-reactive
// lighting, one record for the whole application ("AudioFile.json"). While
// brontal-driver runs it takes the request, so that the styles it keeps and
// the colour it sends the capture program follow at once; otherwise brontalctl
// changes the file itself.
namespace brontal::audio_styles_command {

inline constexpr std::string_view kCommand = "audio";
inline constexpr std::string_view kSubcommand = "styles";
inline constexpr std::string_view kUsage = "audio styles [NAME=VALUE...] [--json]";
inline constexpr std::string_view kSummary =
    "the four colour styles of the music lighting, shown, or set with style=0..3 (the selected one, whose colour "
    "the keyboards' sound colour mode takes; a green of 0 goes out as 1), name1..name4=TEXT (empty: the default "
    "name) and r1, g1, b1 .. r4, g4, b4=0..9; application-wide (AudioFile.json), taken by brontal-driver when it "
    "runs, which then sends the new colour";

// One NAME=VALUE of the command line.
struct Change {
  enum class Field { kSelected, kName, kRed, kGreen, kBlue };
  Field field = Field::kSelected;
  std::size_t style = 0;    // every field but kSelected
  std::uint8_t number = 0;  // kSelected and the levels
  std::string text;         // kName
};

struct Line {
  std::vector<Change> changes;  // none: show
  bool json = false;
};

// Parses the words after "audio styles" without touching anything: false,
// with the reason, for a usage error.
bool Parse(std::span<const std::string> words, Line& line, std::string& error);

// `styles` with the changes made, in their order; an empty name takes the
// default name of its style.
AudioStyles Changed(AudioStyles styles, const std::vector<Change>& changes);
// The styles as "show" prints them: NAME = VALUE lines of the names "set"
// takes, or JSON.
std::string Describe(const AudioStyles& styles, bool json);

// The request of these words (those after "audio styles") for brontal-driver.
DeviceRequest RequestOf(std::span<const std::string_view> words);
bool IsRequest(const DeviceRequest& request);

// Carries a request out where the styles in force are `current`: a change is
// handed to `apply`, which makes the styles take effect and says whether they
// were saved. brontal-driver and brontalctl share it.
DeviceReply Answer(const DeviceRequest& request, const AudioStyles& current,
                   const std::function<bool(const AudioStyles&)>& apply);

// brontalctl's side, with the words after "audio styles": brontal-driver
// carries the request out when it runs, else it is done on the files. Returns
// the exit status.
int Run(std::span<const std::string_view> words, std::ostream& out, std::ostream& err,
        const AppFolders& folders = AppFolders::Installed(),
        const std::filesystem::path& control_socket = DeviceControlSocketPath());

}  // namespace brontal::audio_styles_command
