#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "devices/key_action_tables.h"

// Where the keys of a keyboard sit, as the spatial lighting effects see them.
// Every table is derived from the key pictures (KeyPictureLayout), so the
// effects and the on-screen picture agree on the board:
//   - the 23 x 6 grid: a key's row is the rank of its top edge among the
//     board's rows, its column the key unit under its centre; a full-size
//     board fills columns 0..21, a tenkeyless 0..17, a 75 % board 0..15;
//   - the 12 x 12 diagonal grid: the keys ordered along the top-left to
//     bottom-right diagonal (centre x + centre y) and cut into 12 runs of
//     equal length, so each diagonal row stays within its 12 cells;
//   - the sweep order: the grid read column by column, which also makes it
//     the model's key set;
//   - the show of mode 14: 20 rows of one key per grid row, nearest to a line
//     that crosses the board from left to right; 16 pairs walking from both
//     ends of the sweep order towards its middle; its ripple stage ends on the
//     last key of the sweep order, the bottom of the rightmost column;
// and, model-independent, from the full-size board, which holds every key of
// the smaller ones:
//   - the snake path: the grid row by row, turning at each end;
//   - 52 key groups: the keys whose centres lie within one key unit of 52
//     evenly spaced vertical lines (at most two keys per row, so at most 12);
//   - the 23 x 7 grid: the grid's columns, with the picture's height cut into
//     7 bands, so the half-key gap under the function row is an empty row;
//   - the order of lights: the grid read row by row.
// Cells and unused entries hold kNoKey. A product without a key picture has
// no geometry: the spatial effects show nothing on it, while the effects over
// all keys still run.
namespace brontal::lighting {

inline constexpr std::uint8_t kNoKey = 170;
inline constexpr std::size_t kGridColumns = 23;
inline constexpr std::size_t kGridRows = 6;
inline constexpr std::size_t kRainGridRows = 7;
inline constexpr std::size_t kDiagonalRows = 12;
inline constexpr std::size_t kDiagonalRowKeys = 12;
inline constexpr std::size_t kSweepLength = 126;
inline constexpr std::size_t kShowRows = 20;
inline constexpr std::size_t kShowRowKeys = 6;
inline constexpr std::size_t kShowPairs = 16;
inline constexpr std::size_t kKeyGroups = 52;
inline constexpr std::size_t kKeyGroupSize = 12;
inline constexpr std::size_t kKeyPathLength = 170;

// Cells holding a logical key below this are the ones the effects light.
constexpr bool IsKeyCell(std::uint8_t cell) { return cell < kLogicalKeyCount; }

// Indexed [column][row].
template <std::size_t Rows>
using KeyGrid = std::array<std::array<std::uint8_t, Rows>, kGridColumns>;
template <std::size_t Length>
using KeyList = std::array<std::uint8_t, Length>;

struct GridCell {
  std::size_t column = 0;
  std::size_t row = 0;
};

// The first cell of `grid` holding `key`, reading the columns from the left
// and each from the top; nothing when the grid lacks the key.
template <std::size_t Rows>
constexpr std::optional<GridCell> FindCell(const KeyGrid<Rows>& grid, std::uint8_t key) {
  for (std::size_t c = 0; c < kGridColumns; ++c) {
    for (std::size_t r = 0; r < Rows; ++r) {
      if (grid[c][r] == key) return GridCell{c, r};
    }
  }
  return std::nullopt;
}

struct ShowTables {
  std::array<KeyList<kShowRowKeys>, kShowRows> rows{};
  std::array<KeyList<2>, kShowPairs> pairs{};
  std::uint8_t end_key = kNoKey;     // the pairs stage ends when this key has faded
  std::uint8_t ripple_key = kNoKey;  // the key the ripple stage starts from
  // The ripple stage waits for the ring to light this key and for it to go
  // dark again, so it must be a key of the model, far from the ripple key:
  // waiting on a key the board lacks (logical key 124 is on none) would stop
  // the show for good.
  std::uint8_t ripple_end_key = kNoKey;
};

struct KeyboardGeometry {
  KeyGrid<kGridRows> grid{};
  std::array<KeyList<kDiagonalRowKeys>, kDiagonalRows> diagonal{};
  KeyList<kSweepLength> sweep{};
  ShowTables show;
};

// The geometry of a keyboard product, wired or receiver; nullptr when the
// product has no key picture.
const KeyboardGeometry* KeyboardGeometryOf(std::uint16_t product_id);

struct SharedKeyboardGeometry {
  KeyList<kKeyPathLength> snake{};
  std::size_t snake_length = 0;
  std::array<KeyList<kKeyGroupSize>, kKeyGroups> key_groups{};
  KeyGrid<kRainGridRows> rain_grid{};
  KeyList<kKeyPathLength> light_order{};
  std::size_t light_order_length = 0;
};

const SharedKeyboardGeometry& SharedGeometry();

}  // namespace brontal::lighting
