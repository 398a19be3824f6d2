#include "devices/lighting/keyboard_geometry.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "devices/keyboard/keyboard_picture.h"

namespace brontal::lighting {
namespace {

constexpr int kFullSizeVariant = 0;

// The show's ending and ripple keys: L and P on the full-size board, U on
// the smaller ones, near the middle of each.
constexpr std::uint8_t kKeyU = 49, kKeyP = 52, kKeyL = 72;

struct PlacedKey {
  std::uint8_t key;
  int centre_x;
  int centre_y;
  std::size_t row;  // among the board's rows of keys
};

template <std::size_t Length>
KeyList<Length> EmptyList() {
  KeyList<Length> list;
  list.fill(kNoKey);
  return list;
}

template <std::size_t Rows>
KeyGrid<Rows> EmptyGrid() {
  KeyGrid<Rows> grid;
  for (auto& column : grid) column.fill(kNoKey);
  return grid;
}

std::size_t ColumnOf(const PlacedKey& key) {
  return std::min<std::size_t>(static_cast<std::size_t>(key.centre_x / kKeyUnit), kGridColumns - 1);
}

std::vector<PlacedKey> PlacedKeys(int variant) {
  const std::span<const KeyPlace> layout = KeyPictureLayout(variant);
  std::vector<int> tops;
  for (const KeyPlace& place : layout) tops.push_back(place.rect.top);
  std::ranges::sort(tops);
  tops.erase(std::unique(tops.begin(), tops.end()), tops.end());

  std::vector<PlacedKey> keys;
  for (const KeyPlace& place : layout) {
    const auto row = static_cast<std::size_t>(std::ranges::lower_bound(tops, place.rect.top) - tops.begin());
    keys.push_back({static_cast<std::uint8_t>(place.logical_key), (place.rect.left + place.rect.right) / 2,
                    (place.rect.top + place.rect.bottom) / 2, row});
  }
  return keys;
}

KeyGrid<kGridRows> BuildGrid(const std::vector<PlacedKey>& keys) {
  KeyGrid<kGridRows> grid = EmptyGrid<kGridRows>();
  for (const PlacedKey& key : keys) {
    if (key.row < kGridRows) grid[ColumnOf(key)][key.row] = key.key;
  }
  return grid;
}

std::array<KeyList<kDiagonalRowKeys>, kDiagonalRows> BuildDiagonal(std::vector<PlacedKey> keys) {
  std::ranges::sort(keys, [](const PlacedKey& a, const PlacedKey& b) {
    const int da = a.centre_x + a.centre_y;
    const int db = b.centre_x + b.centre_y;
    return da != db ? da < db : a.centre_y < b.centre_y;
  });
  std::array<KeyList<kDiagonalRowKeys>, kDiagonalRows> diagonal;
  diagonal.fill(EmptyList<kDiagonalRowKeys>());
  const std::size_t run = (keys.size() + kDiagonalRows - 1) / kDiagonalRows;
  for (std::size_t i = 0; i < keys.size() && i < kDiagonalRows * kDiagonalRowKeys; ++i) {
    diagonal[i / run][i % run] = keys[i].key;
  }
  return diagonal;
}

KeyList<kSweepLength> ReadByColumns(const KeyGrid<kGridRows>& grid) {
  KeyList<kSweepLength> sweep = EmptyList<kSweepLength>();
  std::size_t n = 0;
  for (const auto& column : grid) {
    for (const std::uint8_t key : column) {
      if (key != kNoKey && n < sweep.size()) sweep[n++] = key;
    }
  }
  return sweep;
}

// The key of `row` whose column is nearest to `column`, the left one on a tie.
std::uint8_t NearestInRow(const KeyGrid<kGridRows>& grid, std::size_t row, std::size_t column) {
  for (std::size_t distance = 0; distance < kGridColumns; ++distance) {
    if (distance <= column && grid[column - distance][row] != kNoKey) return grid[column - distance][row];
    if (column + distance < kGridColumns && grid[column + distance][row] != kNoKey) {
      return grid[column + distance][row];
    }
  }
  return kNoKey;
}

ShowTables BuildShow(int variant, const KeyGrid<kGridRows>& grid, const KeyList<kSweepLength>& sweep) {
  ShowTables show;
  std::size_t last_column = 0;
  for (std::size_t c = 0; c < kGridColumns; ++c) {
    if (std::ranges::any_of(grid[c], [](std::uint8_t key) { return key != kNoKey; })) last_column = c;
  }
  for (std::size_t n = 0; n < kShowRows; ++n) {
    const std::size_t column = n * last_column / (kShowRows - 1);
    for (std::size_t r = 0; r < kShowRowKeys; ++r) show.rows[n][r] = NearestInRow(grid, r, column);
  }
  const auto keys = static_cast<std::size_t>(std::ranges::find(sweep, kNoKey) - sweep.begin());
  for (std::size_t i = 0; i < kShowPairs && keys > 0; ++i) {
    const std::size_t from_end = i * (keys / 2) / kShowPairs;
    show.pairs[i] = {sweep[from_end], sweep[keys - 1 - from_end]};
  }
  show.end_key = variant == kFullSizeVariant ? kKeyL : kKeyU;
  show.ripple_key = variant == kFullSizeVariant ? kKeyP : kKeyU;
  if (keys > 0) show.ripple_end_key = sweep[keys - 1];
  return show;
}

KeyboardGeometry BuildGeometry(int variant) {
  const std::vector<PlacedKey> keys = PlacedKeys(variant);
  KeyboardGeometry geometry;
  geometry.grid = BuildGrid(keys);
  geometry.diagonal = BuildDiagonal(keys);
  geometry.sweep = ReadByColumns(geometry.grid);
  geometry.show = BuildShow(variant, geometry.grid, geometry.sweep);
  return geometry;
}

template <typename Visit>
void VisitRows(const KeyGrid<kGridRows>& grid, bool turning, Visit visit) {
  for (std::size_t r = 0; r < kGridRows; ++r) {
    const bool backwards = turning && r % 2 == 1;
    for (std::size_t i = 0; i < kGridColumns; ++i) {
      const std::uint8_t key = grid[backwards ? kGridColumns - 1 - i : i][r];
      if (key != kNoKey) visit(key);
    }
  }
}

SharedKeyboardGeometry BuildShared() {
  const std::vector<PlacedKey> keys = PlacedKeys(kFullSizeVariant);
  const KeyGrid<kGridRows> grid = BuildGrid(keys);
  SharedKeyboardGeometry shared;

  shared.snake = EmptyList<kKeyPathLength>();
  VisitRows(grid, true, [&](std::uint8_t key) { shared.snake[shared.snake_length++] = key; });
  shared.light_order = EmptyList<kKeyPathLength>();
  VisitRows(grid, false, [&](std::uint8_t key) { shared.light_order[shared.light_order_length++] = key; });

  const int width = KeyPictureSize(kFullSizeVariant).cx;
  for (std::size_t g = 0; g < kKeyGroups; ++g) {
    shared.key_groups[g] = EmptyList<kKeyGroupSize>();
    const auto line = static_cast<int>((2 * g + 1) * static_cast<std::size_t>(width) / (2 * kKeyGroups));
    std::size_t n = 0;
    for (std::size_t r = 0; r < kGridRows; ++r) {
      for (const PlacedKey& key : keys) {
        if (key.row == r && key.centre_x >= line - kKeyUnit && key.centre_x < line + kKeyUnit && n < kKeyGroupSize) {
          shared.key_groups[g][n++] = key.key;
        }
      }
    }
  }

  const int height = KeyPictureSize(kFullSizeVariant).cy;
  shared.rain_grid = EmptyGrid<kRainGridRows>();
  for (const PlacedKey& key : keys) {
    const auto band = static_cast<std::size_t>(key.centre_y) * kRainGridRows / static_cast<std::size_t>(height);
    shared.rain_grid[ColumnOf(key)][std::min(band, kRainGridRows - 1)] = key.key;
  }
  return shared;
}

}  // namespace

const KeyboardGeometry* KeyboardGeometryOf(std::uint16_t product_id) {
  static const std::array<KeyboardGeometry, kKeyPictureVariantCount> geometries = [] {
    std::array<KeyboardGeometry, kKeyPictureVariantCount> all;
    for (int v = 0; v < kKeyPictureVariantCount; ++v) all[static_cast<std::size_t>(v)] = BuildGeometry(v);
    return all;
  }();
  const std::optional<int> variant = KeyPictureVariantOf(product_id);
  return variant ? &geometries[static_cast<std::size_t>(*variant)] : nullptr;
}

const SharedKeyboardGeometry& SharedGeometry() {
  static const SharedKeyboardGeometry shared = BuildShared();
  return shared;
}

}  // namespace brontal::lighting
