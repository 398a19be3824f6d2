#include "devices/lighting/music_modes.h"

#include <array>
#include <utility>

#include "devices/lighting/beat_detection.h"
#include "devices/lighting/light_primitives.h"
#include "devices/lighting/wave_field_modes.h"

namespace brontal::lighting {
namespace {

using Grid = KeyGrid<kGridRows>;

enum AudioMode : std::uint8_t {
  kColumnBars = 0,
  kMiddleOut = 1,
  kLoudnessDiagonals = 3,
  kHeldBars = 4,
  kRowsFromLeft = 5,
  kAlternateRows = 6,
};

constexpr auto kWheel = static_cast<std::uint8_t>(kWheelSize);
constexpr int kColumns = static_cast<int>(kGridColumns);
constexpr int kRows = static_cast<int>(kGridRows);
constexpr int kLastColumn = kColumns - 1;
// A cell that is not lit shows the foreground down to this level, then the
// background.
constexpr std::uint8_t kForegroundLevel = 10;

// The full-size board, whose grid some visualisations use on every model.
const Grid& FullSizeGrid() {
  static const Grid& grid = KeyboardGeometryOf(0x50EB)->grid;
  return grid;
}

std::uint8_t KeyAt(const Grid& grid, int column, int row) {
  return grid[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

// An extent (0..600) as a count of cells over `span`, from 1/6 of the span
// for a full band up to 7/6 for silence.
std::int64_t Reach(std::int64_t extent, std::int64_t span) { return (extent + 100) * span / kSilentExtent; }

// The colour index of the `position`-th column or row, `step` wheel steps
// apart, the first one step from `phase`.
std::size_t Spread(std::uint8_t phase, std::size_t step, int position) {
  return (phase + step * static_cast<std::size_t>(position + 1)) % kWheelSize;
}

// A run of bands whose sum, divided by 3, drives one row.
struct BandGroup {
  std::size_t first;
  std::size_t count;
};

std::int64_t GroupValue(const SpectrumBands& bands, BandGroup group) {
  std::int64_t sum = 0;
  for (std::size_t b = group.first; b < group.first + group.count; ++b) sum += bands[b];
  return sum / 3;
}

// How the music's cells look: lit ones in the foreground at full level, the
// others in the foreground at their level until they have nearly gone, then
// in the background.
class MusicCanvas {
 public:
  MusicCanvas(AnimationState& state, const LightSetting& look)
      : state_(state), look_(look), audio_(state.settings.audio) {}

  // The wheel at `colour_index` with the seven-colour flag, else the set
  // foreground colour.
  Rgb Foreground(std::size_t colour_index) const {
    return audio_.seven_color != 0 ? WheelColour(colour_index) : Rgb{audio_.fg_red, audio_.fg_green, audio_.fg_blue};
  }
  // The cell has no key, or its key's level is below `level`.
  bool Settled(const Grid& grid, int column, int row, std::uint8_t level) const {
    const std::uint8_t key = KeyAt(grid, column, row);
    return !IsKeyCell(key) || state_.levels[key] < level;
  }
  bool ShowsForeground(std::uint8_t key) const { return state_.levels[key] >= kForegroundLevel; }

  void Light(std::uint8_t key, Rgb foreground) {
    state_.levels[key] = kLitLevel;
    state_.Paint(key, foreground, LevelAlpha(look_, kLitLevel));
  }
  void FadeKey(std::uint8_t key) { state_.levels[key] = Fade(state_.levels[key], kMusicMode); }
  // A cell not lit in this step.
  void Show(std::uint8_t key, Rgb foreground) {
    if (ShowsForeground(key)) {
      state_.Paint(key, foreground, LevelAlpha(look_, state_.levels[key]));
    } else {
      state_.Paint(key, {audio_.bk_red, audio_.bk_green, audio_.bk_blue}, Brightness(look_));
    }
  }
  // `fades`: whether the cell fades in this step.
  void ShowUnlit(std::uint8_t key, bool fades, Rgb foreground) {
    if (fades) FadeKey(key);
    Show(key, foreground);
  }

 private:
  AnimationState& state_;
  const LightSetting& look_;
  const AudioLightSetting& audio_;
};

// A bar per column from the bottom up; a bar drains from its top, each key
// fading only once the one above it has.
void ShowColumnBars(AnimationState& state, MusicCanvas& canvas, const SpectrumBands& bands) {
  if (state.geometry == nullptr) return;
  const Grid& grid = state.geometry->grid;
  for (int l = 0; l < kColumns; ++l) {
    // The unfolded extent: after the clamp no band is past a full bar.
    const std::int64_t first_lit = Reach(Extent(bands[static_cast<std::size_t>(l)]), kRows);
    const Rgb foreground = canvas.Foreground(Spread(state.phase, 10, l));
    for (int r = 0; r < kRows; ++r) {
      const std::uint8_t key = KeyAt(grid, l, r);
      if (!IsKeyCell(key)) continue;
      if (r >= first_lit) {
        canvas.Light(key, foreground);
      } else {
        canvas.ShowUnlit(key, r == 0 || canvas.Settled(grid, l, r - 1, kForegroundLevel), foreground);
      }
    }
  }
}

// Each row lights from its middle outwards: leftwards from column 8 by a
// band that wanders over the spectrum, rightwards from column 9 by a band of
// its own.
void ShowMiddleOut(AnimationState& state, const LightSetting& look, MusicCanvas& canvas, const SpectrumBands& bands) {
  constexpr int kRightHalf = 9;
  constexpr std::int64_t kHalfSpan = 12;
  constexpr std::int64_t kRightLimit = 21;
  state.second_phase = StepPhase(look.fx, static_cast<std::uint8_t>(kSpectrumBands), state.second_phase, 1);
  if (state.geometry == nullptr) return;
  const Grid& grid = state.geometry->grid;
  for (int r = 0; r < kRows; ++r) {
    const std::size_t left_band = (state.second_phase + 3 * static_cast<std::size_t>(r + 1)) % kSpectrumBands;
    const std::size_t right_band = 2 * static_cast<std::size_t>(r) + 1;
    const std::int64_t left_start = Reach(FoldedExtent(bands[left_band]), kHalfSpan);
    const std::int64_t right_end = kRightLimit - Reach(FoldedExtent(bands[right_band]), kHalfSpan);
    for (int l = 0; l < kColumns; ++l) {
      const std::uint8_t key = KeyAt(grid, l, r);
      if (!IsKeyCell(key)) continue;
      const Rgb foreground = canvas.Foreground(Spread(state.phase, 7, l));
      const bool lit = l < kRightHalf ? l >= left_start : l <= right_end;
      if (lit) {
        canvas.Light(key, foreground);
        continue;
      }
      // Each half drains from its outer end towards the middle.
      bool fades = true;
      if (l >= 1 && l < kRightHalf) fades = canvas.Settled(grid, l - 1, r, kForegroundLevel);
      if (l >= kRightHalf && l <= kLastColumn - 2) fades = canvas.Settled(grid, l + 1, r, kForegroundLevel);
      canvas.ShowUnlit(key, fades, foreground);
    }
  }
}

// The beat detection seeds the wave field as the spectra come in; the rings
// show here, and every light runs through the wheel on its own.
void ShowBeatRipples(AnimationState& state, MusicCanvas& canvas) {
  std::array<bool, kMaxLights> shown{};
  ShowWaveField(state, [&](std::uint8_t key) { shown[key] = true; });
  state.wave.Ripple();
  for (const std::uint8_t key : state.Lights()) {
    state.colour_indexes[key] = StepPhase(1, kWheel, state.colour_indexes[key], 9);
    const Rgb foreground = canvas.Foreground(state.colour_indexes[key]);
    if (shown[key]) {
      canvas.Light(key, foreground);
    } else {
      canvas.ShowUnlit(key, true, foreground);
    }
  }
}

// The louder the music, the more diagonal rows light from the top left and
// the faster their rainbow moves; the rest keep their colours and fade.
void ShowLoudnessDiagonals(AnimationState& state, const LightSetting& look, MusicCanvas& canvas,
                           const SpectrumBands& bands) {
  constexpr std::int64_t kLoudnessSpan = 20;
  std::int64_t sum = 0;
  for (const std::int32_t band : bands) sum += FoldedExtent(band);
  const std::int64_t quietness = sum / static_cast<std::int64_t>(kSpectrumBands) * kLoudnessSpan / kSilentExtent;
  state.phase = StepPhase(look.fx, kWheel, state.phase, static_cast<std::uint8_t>(quietness));
  std::array<bool, kMaxLights> lit{};
  if (state.geometry != nullptr) {
    for (std::size_t p = 0; p < kDiagonalRows && static_cast<std::int64_t>(p) < kLoudnessSpan - quietness; ++p) {
      const Rgb colour = WheelColour(Spread(state.phase, 9, static_cast<int>(p)));
      for (const std::uint8_t key : state.geometry->diagonal[p]) {
        if (!IsKeyCell(key) || !state.IsLight(key)) continue;
        lit[key] = true;
        canvas.Light(key, colour);
      }
    }
  }
  for (const std::uint8_t key : state.Lights()) {
    if (lit[key]) continue;
    state.levels[key] = Fade(state.levels[key], 0);
    state.Paint(key, UnpackColour(state.colours[key]), LevelAlpha(look, state.levels[key]));
  }
}

// Column bars on the full-size grid in each key's own colour. A bar lights
// at once but shows from the next step, and its column takes no new bar
// until the bottom key has faded; it drains from the top.
void ShowHeldBars(AnimationState& state, MusicCanvas& canvas, const SpectrumBands& bands) {
  constexpr std::uint8_t kDrainedLevel = 5;
  const Grid& grid = FullSizeGrid();
  for (int l = 0; l < kColumns; ++l) {
    const std::uint8_t bottom = KeyAt(grid, l, kRows - 1);
    if (!IsKeyCell(bottom)) continue;
    const bool takes_bar = state.levels[bottom] < kForegroundLevel;
    // The band offset only moves in the middle-out rows.
    const std::size_t band = (state.second_phase + static_cast<std::size_t>(l) + 1) % kSpectrumBands;
    const std::int64_t first_lit = Reach(Extent(bands[band]), kRows);
    for (int r = 0; r < kRows; ++r) {
      const std::uint8_t key = KeyAt(grid, l, r);
      if (!IsKeyCell(key)) continue;
      const Rgb foreground = canvas.Foreground(state.colour_indexes[key]);
      if (takes_bar && r >= first_lit) {
        canvas.Show(key, foreground);
        state.levels[key] = kLitLevel;
      } else {
        canvas.ShowUnlit(key, r == 0 || canvas.Settled(grid, l, r - 1, kDrainedLevel), foreground);
      }
    }
  }
}

// Rows lit from the left, the bottom row by the lowest bands; each drains
// from its right end.
void ShowRowsFromLeft(AnimationState& state, MusicCanvas& canvas, const SpectrumBands& bands) {
  constexpr std::array<BandGroup, kGridRows> kGroupsFromBottom = {{{0, 2}, {2, 3}, {5, 3}, {8, 4}, {12, 5}, {17, 7}}};
  constexpr std::int64_t kSpan = 23;
  const Grid& grid = FullSizeGrid();
  for (int r = 0; r < kRows; ++r) {
    const BandGroup group = kGroupsFromBottom[static_cast<std::size_t>(kRows - 1 - r)];
    const std::int64_t last_lit = kSpan - Reach(FoldedExtent(GroupValue(bands, group)), kSpan);
    for (int l = 0; l < kColumns; ++l) {
      const std::uint8_t key = KeyAt(grid, l, r);
      if (!IsKeyCell(key)) continue;
      const Rgb foreground = canvas.Foreground(Spread(state.phase, 3, l));
      if (l <= last_lit) {
        canvas.Light(key, foreground);
      } else {
        const bool fades = l > kLastColumn - 2 || canvas.Settled(grid, l + 1, r, kForegroundLevel);
        canvas.ShowUnlit(key, fades, foreground);
      }
    }
  }
}

// Even rows lit from the right, odd rows from the left, each by its group of
// bands; each row drains from its far end. The colour moves on with every
// cell that shows the foreground.
void ShowAlternateRows(AnimationState& state, MusicCanvas& canvas, const SpectrumBands& bands) {
  constexpr std::array<BandGroup, kGridRows> kGroups = {{{0, 2}, {2, 2}, {4, 3}, {7, 4}, {11, 5}, {16, 5}}};
  constexpr std::int64_t kSpan = 23;
  const Grid& grid = FullSizeGrid();
  for (int r = 0; r < kRows; ++r) {
    const std::int64_t gap =
        FoldedExtent(GroupValue(bands, kGroups[static_cast<std::size_t>(r)])) * kSpan / kSilentExtent;
    const bool from_right = r % 2 == 0;
    std::size_t colour = state.phase;
    for (int l = 0; l < kColumns; ++l) {
      const std::uint8_t key = KeyAt(grid, l, r);
      if (!IsKeyCell(key)) continue;
      // A row from the left reaches column kSpan - gap: one past the grid
      // when the group is full, so only the grid's own columns are visited;
      // and column 0 even in silence, which is odd but kept: the rows from
      // the left are one column longer than those from the right.
      const bool lit = from_right ? l >= gap : l <= kSpan - gap;
      const Rgb foreground = canvas.Foreground(colour);
      if (lit) {
        canvas.Light(key, foreground);
      } else {
        const bool fades = from_right ? l < 2 || canvas.Settled(grid, l - 1, r, kForegroundLevel)
                                      : l > kLastColumn - 2 || canvas.Settled(grid, l + 1, r, kForegroundLevel);
        canvas.ShowUnlit(key, fades, foreground);
      }
      if (canvas.ShowsForeground(key)) colour = (colour + 2) % kWheelSize;
    }
  }
}

}  // namespace

void StepMusic(AnimationState& state, const LightSetting& look) {
  MusicCanvas canvas(state, look);
  const std::uint8_t audio_mode = state.settings.audio.audio_mode;
  if (audio_mode == kBeatAudioMode) {
    ShowBeatRipples(state, canvas);
    return;
  }
  const SpectrumBands bands = std::exchange(state.spectrum, {});
  if (audio_mode == kLoudnessDiagonals) {
    ShowLoudnessDiagonals(state, look, canvas, bands);
    return;
  }
  state.phase = StepPhase(look.fx, kWheel, state.phase, 1);
  switch (audio_mode) {
    case kColumnBars: ShowColumnBars(state, canvas, bands); break;
    case kMiddleOut: ShowMiddleOut(state, look, canvas, bands); break;
    case kHeldBars: ShowHeldBars(state, canvas, bands); break;
    case kRowsFromLeft: ShowRowsFromLeft(state, canvas, bands); break;
    case kAlternateRows: ShowAlternateRows(state, canvas, bands); break;
    default: break;
  }
}

}  // namespace brontal::lighting
