#include "devices/lighting/key_reactions.h"

#include <algorithm>
#include <array>
#include <optional>

#include "devices/lighting/light_primitives.h"

namespace brontal::lighting {
namespace {

constexpr std::uint8_t kFadeReactionMode = 7;
constexpr std::uint8_t kRowStreakMode = 9;
constexpr std::uint8_t kSplashMode = 25;
constexpr std::uint8_t kFull = 255;
constexpr std::uint8_t kRising = 1, kFalling = 2;

// The splash's neighbourhood of a key, and how much a press raises and a
// release lowers each of its cells: the closest cells jump most and settle
// least.
struct SplashCell {
  int columns;
  int rows;
  std::uint8_t raise;
  std::uint8_t lower;
};
constexpr std::array<SplashCell, 12> kSplash = {{
    {0, -1, 150, 15},
    {0, 1, 150, 15},
    {0, -2, 90, 90},
    {0, 2, 90, 90},
    {-1, 0, 150, 15},
    {1, 0, 150, 15},
    {-1, -1, 90, 90},
    {-1, 1, 90, 90},
    {1, -1, 90, 90},
    {1, 1, 90, 90},
    {-2, 0, 60, 90},
    {2, 0, 60, 90},
}};

using Grid = KeyGrid<kGridRows>;

// The key of the cell `columns` and `rows` away from `cell`; nothing off the
// grid or on a cell without a key.
std::optional<std::uint8_t> KeyNear(const Grid& grid, GridCell cell, int columns, int rows) {
  const auto column = static_cast<int>(cell.column) + columns;
  const auto row = static_cast<int>(cell.row) + rows;
  if (column < 0 || column >= static_cast<int>(kGridColumns) || row < 0 || row >= static_cast<int>(kGridRows)) {
    return std::nullopt;
  }
  const std::uint8_t key = grid[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
  return IsKeyCell(key) ? std::optional(key) : std::nullopt;
}

void FlareKey(AnimationState& state, std::uint8_t key, KeyEdge edge) {
  state.reactions[key] = edge == KeyEdge::kPress ? kRising : kFalling;
  state.levels[key] = kFull;
  state.colour_indexes[key] = state.RandomColourIndex();
}

// A key held down other than `released` sits on the cell at (`columns`,
// `rows`) from `cell`, or on a cell of that cell's own neighbourhood.
bool Covered(const AnimationState& state, const Grid& grid, GridCell cell, int columns, int rows,
             std::uint8_t released) {
  auto held_other = [&](int more_columns, int more_rows) {
    const std::optional<std::uint8_t> key = KeyNear(grid, cell, columns + more_columns, rows + more_rows);
    return key && *key != released && state.held[*key] != 0;
  };
  return held_other(0, 0) ||
         std::ranges::any_of(kSplash, [&](const SplashCell& near) { return held_other(near.columns, near.rows); });
}

void Splash(AnimationState& state, std::uint8_t key, KeyEdge edge) {
  if (state.geometry == nullptr) return;
  const Grid& grid = state.geometry->grid;
  const std::optional<GridCell> cell = FindCell(grid, key);
  if (!cell) return;
  if (edge == KeyEdge::kPress) {
    state.reactions[key] = kRising;
    state.held[key] = 1;
    state.levels[key] = kFull;
    for (const SplashCell& near : kSplash) {
      if (const std::optional<std::uint8_t> neighbour = KeyNear(grid, *cell, near.columns, near.rows)) {
        state.levels[*neighbour] =
            static_cast<std::uint8_t>(std::min<int>(kFull, state.levels[*neighbour] + near.raise));
        state.reactions[*neighbour] = kRising;
      }
    }
    return;
  }
  // Only what no other held key still covers settles.
  for (const SplashCell& near : kSplash) {
    const std::optional<std::uint8_t> neighbour = KeyNear(grid, *cell, near.columns, near.rows);
    if (!neighbour || Covered(state, grid, *cell, near.columns, near.rows, key)) continue;
    state.levels[*neighbour] = static_cast<std::uint8_t>(std::max<int>(0, state.levels[*neighbour] - near.lower));
    state.reactions[*neighbour] = kFalling;
  }
  if (!Covered(state, grid, *cell, 0, 0, key)) state.reactions[key] = kFalling;
  state.held[key] = 0;
}

}  // namespace

void ReactToKey(AnimationState& state, std::uint8_t key, KeyEdge edge) {
  if (!IsKeyCell(key)) return;
  switch (state.mode()) {
    case kFadeReactionMode: FlareKey(state, key, edge); break;
    case kSplashMode: Splash(state, key, edge); break;
    case kRippleMode:
    case kRowStreakMode:
      if (edge == KeyEdge::kPress && state.geometry != nullptr) state.wave.Seed(state.geometry->grid, key);
      break;
    default: break;
  }
}

void StepKeyLevels(AnimationState& state, const LightSetting& look) {
  for (const std::uint8_t key : state.Lights()) {
    std::uint8_t& level = state.levels[key];
    if (state.reactions[key] == kRising) level = level >= 240 ? kFull : static_cast<std::uint8_t>(level + 15);
    if (state.reactions[key] == kFalling) level = level <= 5 ? 0 : static_cast<std::uint8_t>(level - 5);
  }
  ShowLevels(state, look);
}

}  // namespace brontal::lighting
