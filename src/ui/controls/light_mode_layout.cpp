#include "ui/controls/light_mode_layout.h"

#include <cstdint>
#include <initializer_list>
#include <span>

namespace brontal {
namespace {

using Texts = LightModeLayout::DirectionTexts;

constexpr Texts kRightLeft{"light_set_right_to_left_text", "light_set_left_to_right_text"};
constexpr Texts kClockwise{"light_set_clockwise_text", "light_set_anticlockwise_text"};
constexpr Texts kDownUp{"light_set_down_to_up_text", "light_set_up_to_down_text"};
constexpr Texts kUpDown{"light_set_up_to_down_text", "light_set_down_to_up_text"};
constexpr Texts kOutIn{"light_set_outside_to_inside_text", "light_set_inside_to_outside_text"};

// Bit m stands for mode m.
using ModeSet = std::uint64_t;
constexpr int kModeBits = 64;

constexpr ModeSet Modes(std::initializer_list<int> modes) {
  ModeSet set = 0;
  for (const int mode : modes) set |= ModeSet{1} << mode;
  return set;
}

constexpr ModeSet ModeRange(int first, int last) {
  ModeSet set = 0;
  for (int mode = first; mode <= last; ++mode) set |= ModeSet{1} << mode;
  return set;
}

// What a row changes beyond its six groups.
enum Extra : unsigned {
  kNoExtra = 0,
  kSpeedHidden = 1u << 0,
  kSpecialList = 1u << 1,
  kColourAreaOff = 1u << 2,
  kCustom = 1u << 3,
  kAudio = 1u << 4,
};

struct Row {
  ModeSet modes;  // 0: every mode no earlier row lists
  bool seven_colour, colour, palette, direction, brightness, speed;
  unsigned extras = kNoExtra;
  std::optional<Texts> texts = std::nullopt;
};

constexpr Row kEveryOtherMode{0, 0, 0, 0, 0, 0, 0};

// Columns: seven-colour, colour, palette, direction, brightness, speed.
constexpr Row kKeyboardRows[] = {
    {Modes({1, 2}), 1, 1, 1, 1, 1, 1},
    {Modes({3, 24}), 1, 1, 1, 1, 1, 1, kNoExtra, kClockwise},
    {Modes({4, 11, 26}), 0, 0, 0, 0, 1, 1, kColourAreaOff},
    {Modes({5, 23}), 1, 1, 1, 0, 1, 1},
    {Modes({6, 16}), 1, 1, 1, 0, 1, 0},
    {ModeRange(7, 10) | ModeRange(13, 15) | Modes({22, 25}), 1, 1, 1, 0, 1, 1},
    {Modes({12}), 0, 0, 0, 1, 1, 1, kNoExtra, kDownUp},
    {Modes({17}), 0, 0, 0, 0, 1, 1, kSpeedHidden | kSpecialList | kColourAreaOff},
    {Modes({18}), 0, 0, 0, 1, 1, 0, kColourAreaOff, kOutIn},
    {Modes({20}), 0, 1, 1, 0, 1, 0, kSpeedHidden | kCustom},
    {Modes({21}), 1, 1, 1, 1, 1, 1, kNoExtra, kUpDown},
    {Modes({27}), 0, 0, 0, 0, 1, 1},
    {Modes({28}), 0, 0, 0, 0, 0, 0},
    {Modes({29}), 1, 1, 1, 1, 1, 0, kSpeedHidden | kAudio},
    {Modes({30}), 0, 0, 0, 0, 1, 0, kColourAreaOff},
    kEveryOtherMode,
};

constexpr Row kMouseRows[] = {
    {Modes({0, 5}), 1, 1, 1, 1, 1, 1},
    {Modes({1, 7, 8}), 0, 0, 0, 0, 1, 1},
    {Modes({2, 4, 6}), 1, 1, 1, 0, 1, 1},
    {Modes({3}), 0, 1, 1, 0, 1, 0},
    {Modes({11}), 1, 1, 1, 1, 1, 0, kSpeedHidden | kAudio},
    kEveryOtherMode,
};

// Mouse pads, kind 4 and headsets.
constexpr Row kPadRows[] = {
    {Modes({0}), 1, 1, 1, 1, 1, 1},
    {Modes({1}), 0, 0, 0, 0, 1, 1},
    {Modes({2, 4}), 1, 1, 1, 0, 1, 1},
    {Modes({3}), 0, 1, 1, 0, 1, 0},
    kEveryOtherMode,
};

// The direction column is not used.
constexpr Row kKindFiveRows[] = {
    {Modes({0, 2, 3}), 1, 1, 1, 0, 1, 1},
    {Modes({1}), 0, 1, 1, 0, 1, 0},
    {Modes({4}), 0, 0, 0, 0, 1, 1},
    kEveryOtherMode,
};

struct KindRules {
  std::span<const Row> rows;
  LightModeLayout common;  // before the row; what it leaves unset the kind leaves alone
  bool follows_direction;
};

constexpr KindRules kKeyboard{kKeyboardRows,
                              {.speed_shown = true,
                               .special_list_shown = false,
                               .colour_area_enabled = true,
                               .custom_shown = false,
                               .audio_shown = false,
                               .texts = kRightLeft},
                              true};
constexpr KindRules kMouse{kMouseRows, {.speed_shown = true, .audio_shown = false, .texts = kDownUp}, true};
constexpr KindRules kPad{kPadRows, {}, true};
constexpr KindRules kKindFive{kKindFiveRows, {}, false};

const KindRules* RulesOf(int kind) {
  switch (kind) {
    case 1: return &kKeyboard;
    case 2: return &kMouse;
    case 3:
    case 4:
    case 7: return &kPad;
    case 5: return &kKindFive;
    default: return nullptr;
  }
}

const Row& RowOf(const KindRules& rules, int mode) {
  const bool listable = mode >= 0 && mode < kModeBits;
  for (const Row& row : rules.rows) {
    if (row.modes == 0 || (listable && (row.modes >> mode & 1))) return row;
  }
  return kEveryOtherMode;
}

}  // namespace

std::optional<LightModeLayout> LightModeLayoutFor(int kind, int mode) {
  const KindRules* rules = RulesOf(kind);
  if (!rules) return std::nullopt;
  const Row& row = RowOf(*rules, mode);
  LightModeLayout layout = rules->common;
  layout.seven_colour = row.seven_colour;
  layout.colour = row.colour;
  layout.palette = row.palette;
  layout.brightness = row.brightness;
  layout.speed = row.speed;
  if (rules->follows_direction) layout.direction = row.direction;
  if (row.extras & kSpeedHidden) layout.speed_shown = false;
  if (row.extras & kSpecialList) layout.special_list_shown = true;
  if (row.extras & kColourAreaOff) layout.colour_area_enabled = false;
  if (row.extras & kCustom) layout.custom_shown = true;
  if (row.extras & kAudio) layout.audio_shown = true;
  if (row.texts) layout.texts = row.texts;
  return layout;
}

LightModeLayout RestingLightModeLayout() {
  return {.seven_colour = true,
          .colour = true,
          .palette = true,
          .brightness = true,
          .speed = true,
          .direction = true,
          .speed_shown = true,
          .special_list_shown = false,
          .colour_area_enabled = true,
          .custom_shown = false,
          .audio_shown = false,
          .texts = kRightLeft};
}

}  // namespace brontal
