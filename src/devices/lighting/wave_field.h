#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "devices/lighting/keyboard_geometry.h"

namespace brontal::lighting {

// Four bitmaps of one byte per grid column (bit r for grid row r) that carry
// rings and streaks across a keyboard, with the step counter of the rising
// rings and the stage of the scripted show. Each bitmap moves towards its own
// corner: A to lower columns and rows, B to higher columns and lower rows, C
// to higher columns and rows, D to lower columns and higher rows. Bits 6 and 7
// lie below the grid: they travel like the others and are never shown, so a
// ring can start just under the bottom row.
struct WaveField {
  static constexpr std::size_t kBitmaps = 4;
  static constexpr std::size_t kA = 0, kB = 1, kC = 2, kD = 3;
  std::array<std::array<std::uint8_t, kGridColumns>, kBitmaps> bitmaps{};
  std::uint8_t step = 0;
  std::uint8_t stage = 0;

  void SetInAll(std::size_t column, std::uint8_t bit) {
    for (auto& bitmap : bitmaps) bitmap[column] |= bit;
  }
  // The four bitmaps' bits of `column` together.
  std::uint8_t Column(std::size_t column) const {
    return bitmaps[kA][column] | bitmaps[kB][column] | bitmaps[kC][column] | bitmaps[kD][column];
  }
  bool Holds(std::size_t column, std::size_t row) const { return (Column(column) >> row & 1) != 0; }

  // Sets the (first) cell of `key` in all four bitmaps; a key the grid lacks
  // sets nothing.
  void Seed(const KeyGrid<kGridRows>& grid, std::uint8_t key);
  // Every bitmap moves one cell both ways towards its corner, so a seeded
  // cell becomes a diamond whose radius grows by one each time.
  void Ripple();
  // A and C go; B moves one column right and D one column left, so a seeded
  // cell sends a light each way along its row.
  void Streak();
};

}  // namespace brontal::lighting
