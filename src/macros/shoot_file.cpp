#include "macros/shoot_file.h"

#include <algorithm>

#include "macros/macro_file.h"
#include "macros/shoot_image.h"
#include "profiles/file_contents.h"
#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/kept_aside.h"
#include "support/safe_file.h"

namespace brontal {
namespace {

constexpr const char* kEvents = "Events";
constexpr const char* kDelay = "Delay";
constexpr std::uint8_t kLeftButton = 0x01;
constexpr std::uint16_t kClickDelay = 10;
constexpr std::uint16_t kPullDelay = 5;
constexpr std::size_t kHorizontalPull = 2;  // events of a shot that carry its pull
constexpr std::size_t kVerticalPull = 3;

Json::Value ShootEventJson(const MacroEvent& event) {
  Json::Value value = MacroEventToJson(event);
  value[kDelay] = event.delay;
  return value;
}

std::string WhyNotAPattern(const Json::Value& document) {
  const Json::Value& events = Member(document, kEvents);
  if (!events.isArray()) return "is not a shoot file: it has no list of \"Events\"";
  for (Json::ArrayIndex i = 0; i < events.size(); ++i)
    if (!IsWellFormedMacroEvent(events[i])) return "is not a shoot file: event " + std::to_string(i) + " is not valid";
  return {};
}

// Text unchanged, as a copy should be.
bool CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::string contents, problem;
  return ReadFileContents(from, contents, problem) && ReplaceFileContents(to, contents);
}

}  // namespace

std::string ShootFileName(std::size_t gun) { return "ShootData_" + std::to_string(gun) + ".Shoot"; }

std::array<MacroEvent, kShotEvents> ShotEvents(const Shot& shot) {
  using namespace macro_event_type;
  return {{{kMouseButton, kLeftButton, true, kClickDelay},
           {kMouseButton, kLeftButton, false, 0},
           {kHorizontalMove, shot.x, shot.left, kPullDelay},
           {kVerticalMove, shot.y, shot.up, shot.pause},
           {kHorizontalMove, 0, shot.left, 0},
           {kVerticalMove, 0, shot.up, 0}}};
}

void ShootFiles::SetUp() const {
  for (std::size_t gun = 0; gun < kGunCount; ++gun) {
    const std::filesystem::path file = Path(gun);
    if (!ReadJsonDocument(file).isNull() || !KeepAsideIfUnreadable(file, Json::Value())) continue;
    CopyFile(factory_folder_ / ShootFileName(gun), file);
  }
}

Shot ShootFiles::ReadShot(std::size_t gun, std::size_t shot) const {
  const Json::Value document = ReadJsonDocument(Path(gun));
  const Json::Value& events = Member(document, kEvents);
  const MacroEvent horizontal = MacroEventFromJson(Element(events, kShotEvents * shot + kHorizontalPull));
  const MacroEvent vertical = MacroEventFromJson(Element(events, kShotEvents * shot + kVerticalPull));
  return {.x = horizontal.button,
          .left = horizontal.down,
          .y = vertical.button,
          .up = vertical.down,
          .pause = vertical.delay};
}

bool ShootFiles::StoreShot(std::size_t gun, std::size_t shot, const Shot& value) const {
  if (shot >= kShotCount) return false;
  const std::filesystem::path file = Path(gun);
  Json::Value document = ReadJsonDocument(file);
  if (!KeepAsideIfUnreadable(file, document)) return false;
  Json::Value& events = MemberForWrite(document, kEvents);
  if (!events.isArray()) events = Json::Value(Json::arrayValue);
  // Each missing event takes its place in a shot of zero, so the mouse never
  // plays a null and a shorter pattern keeps its shots whole.
  const auto zero = ShotEvents({});
  const std::size_t end = kShotEvents * (shot + 1);
  for (std::size_t at = events.size(); at < end; ++at) events.append(ShootEventJson(zero[at % kShotEvents]));
  const auto stored = ShotEvents(value);
  for (std::size_t i = 0; i < kShotEvents; ++i)
    events[static_cast<Json::ArrayIndex>(kShotEvents * shot + i)] = ShootEventJson(stored[i]);
  return WriteJsonDocument(file, document);
}

bool ShootFiles::Reset(std::size_t gun) const { return CopyFile(factory_folder_ / ShootFileName(gun), Path(gun)); }

ShootImport ShootFiles::Import(std::size_t gun, const std::filesystem::path& source, std::size_t memory_bytes) const {
  std::string contents, problem;
  if (!ReadRegularFile(source, kLargestShootImport, contents, problem)) return {.problem = problem};
  Json::Value document = ParseJsonDocument(contents);
  if (problem = WhyNotAPattern(document); !problem.empty()) return {.problem = problem};
  const std::size_t largest = LargestShootPattern(memory_bytes);
  Json::Value& events = document[kEvents];
  const std::size_t count = events.size();
  if (count > 0 && largest == 0) return {.problem = "does not fit: the mouse's memory holds no pattern"};
  if (count <= largest) {
    if (!ReplaceFileContents(Path(gun), contents)) return {.problem = "could not be copied into " + folder_.string()};
    return {.imported = true, .left_out = 0, .problem = {}};
  }
  events.resize(static_cast<Json::ArrayIndex>(largest));
  if (!WriteJsonDocument(Path(gun), document)) return {.problem = "could not be copied into " + folder_.string()};
  return {.imported = true, .left_out = count - largest, .problem = {}};
}

bool ShootFiles::Export(std::size_t gun, const std::filesystem::path& target) const {
  return CopyFile(Path(gun), target);
}

ShootPatterns ShootFiles::Patterns() const {
  ShootPatterns patterns;
  for (std::size_t gun = 0; gun < kGunCount; ++gun) patterns[gun] = MacroEventsOf(ReadJsonDocument(Path(gun)));
  return patterns;
}

}  // namespace brontal
