#include "devices/lighting/keyboard_geometry.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "devices/key_action_tables.h"
#include "devices/lighting/light_test_support.h"

namespace brontal::lighting {
namespace {

using test::ModelKeys;

struct ModelCase {
  std::uint16_t product_id;
  std::uint16_t receiver_id;
  std::uint8_t end_key;
  std::uint8_t ripple_key;
  std::uint8_t ripple_end_key;  // the bottom of the rightmost column
};

const ModelCase kModels[] = {
    {test::kFullSize, 0x50EC, 72, 52, 118},
    {test::kTenkeyless, 0x5103, 49, 49, 115},
    {test::kCompact, 0x5104, 49, 49, 115},
};

// How often each key appears among `keys`, kNoKey left out.
template <typename Keys>
void Count(const Keys& keys, std::map<std::size_t, int>& counts) {
  for (const std::uint8_t key : keys) {
    if (key != kNoKey) ++counts[key];
  }
}

void ExpectEachOnce(const std::map<std::size_t, int>& counts, const std::set<std::size_t>& keys) {
  for (const std::size_t key : keys) EXPECT_EQ(counts.count(key) ? counts.at(key) : 0, 1) << "key " << key;
  for (const auto& [key, count] : counts) EXPECT_TRUE(keys.contains(key)) << "key " << key << " is not on the board";
}

TEST(KeyboardGeometryTest, EveryModelKeyHasOneCellAndTheTablesNameNoOtherKey) {
  for (const ModelCase& c : kModels) {
    SCOPED_TRACE(testing::Message() << std::hex << c.product_id);
    const KeyboardGeometry* geometry = KeyboardGeometryOf(c.product_id);
    ASSERT_NE(geometry, nullptr);
    const std::set<std::size_t> keys = ModelKeys(c.product_id);

    std::map<std::size_t, int> in_grid;
    for (const auto& column : geometry->grid) Count(column, in_grid);
    ExpectEachOnce(in_grid, keys);

    std::map<std::size_t, int> in_diagonal;
    for (const auto& row : geometry->diagonal) Count(row, in_diagonal);
    ExpectEachOnce(in_diagonal, keys);

    std::map<std::size_t, int> in_sweep;
    Count(geometry->sweep, in_sweep);
    ExpectEachOnce(in_sweep, keys);
    // The model's keys first, then nothing.
    for (std::size_t i = keys.size(); i < kSweepLength; ++i) EXPECT_EQ(geometry->sweep[i], kNoKey) << i;

    for (const auto& row : geometry->show.rows) {
      for (const std::uint8_t key : row) EXPECT_TRUE(keys.contains(key)) << int{key};
    }
    for (const auto& pair : geometry->show.pairs) {
      for (const std::uint8_t key : pair) EXPECT_TRUE(keys.contains(key)) << int{key};
    }
    EXPECT_EQ(geometry->show.end_key, c.end_key);
    EXPECT_EQ(geometry->show.ripple_key, c.ripple_key);
    EXPECT_EQ(geometry->show.ripple_end_key, c.ripple_end_key);
    EXPECT_TRUE(keys.contains(geometry->show.end_key));
    EXPECT_TRUE(keys.contains(geometry->show.ripple_key));

    EXPECT_EQ(KeyboardGeometryOf(c.receiver_id), geometry) << "the receiver shares the board";
  }
}

struct CellCase {
  std::uint16_t product_id;
  std::uint8_t key;
  std::size_t column;
  std::size_t row;
};

TEST(KeyboardGeometryTest, KeysSitInTheCellsOfTheirPlaceOnTheBoard) {
  const CellCase cases[] = {
      {test::kFullSize, 0, 0, 0},                                    // Esc
      {test::kFullSize, 4, 5, 0},                                    // F4, after the gap
      {test::kFullSize, 43, 1, 2},                                   // Q, under 1
      {test::kFullSize, 108, 6, 5},                                  // Space
      {test::kFullSize, 115, 17, 5},                                 // Right
      {test::kFullSize, 118, 21, 4},                                 // the pad's Enter
      {test::kTenkeyless, 115, 17, 5}, {test::kCompact, 4, 4, 0},    // F4, no gap
      {test::kCompact, 115, 15, 5},    {test::kCompact, 56, 15, 0},  // Delete ends the function row
  };
  for (const CellCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.product_id << std::dec << " key " << int{c.key});
    EXPECT_EQ(KeyboardGeometryOf(c.product_id)->grid[c.column][c.row], c.key);
  }
}

TEST(KeyboardGeometryTest, ShowRowsCrossTheBoardFromLeftToRight) {
  for (const ModelCase& c : kModels) {
    SCOPED_TRACE(testing::Message() << std::hex << c.product_id);
    const KeyboardGeometry& geometry = *KeyboardGeometryOf(c.product_id);
    std::map<std::uint8_t, std::size_t> column_of;
    for (std::size_t col = 0; col < kGridColumns; ++col) {
      for (const std::uint8_t key : geometry.grid[col]) column_of[key] = col;
    }
    // Row 0 starts at Esc's column, each row lies no further left in any grid row.
    EXPECT_EQ(geometry.show.rows[0][0], 0);
    for (std::size_t n = 1; n < kShowRows; ++n) {
      for (std::size_t r = 0; r < kShowRowKeys; ++r) {
        EXPECT_GE(column_of[geometry.show.rows[n][r]], column_of[geometry.show.rows[n - 1][r]]) << n << " " << r;
      }
    }
    // The pairs start at both ends.
    EXPECT_EQ(geometry.show.pairs[0][0], geometry.sweep[0]);
    EXPECT_EQ(geometry.show.pairs[0][1], geometry.sweep[ModelKeys(c.product_id).size() - 1]);
  }
}

TEST(KeyboardGeometryTest, UnknownProductHasNoGeometry) {
  EXPECT_EQ(KeyboardGeometryOf(0x1234), nullptr);
  EXPECT_EQ(KeyboardGeometryOf(0), nullptr);
}

TEST(KeyboardGeometryTest, SharedTablesCoverEveryKeyOfTheFullSizeBoard) {
  const SharedKeyboardGeometry& shared = SharedGeometry();
  const std::set<std::size_t> keys = ModelKeys(test::kFullSize);
  // Every smaller board's keys are on the full-size one.
  for (const std::uint16_t product : {test::kTenkeyless, test::kCompact}) {
    for (const std::size_t key : ModelKeys(product)) EXPECT_TRUE(keys.contains(key)) << key;
  }

  std::map<std::size_t, int> in_snake;
  Count(shared.snake, in_snake);
  ExpectEachOnce(in_snake, keys);
  EXPECT_EQ(shared.snake_length, keys.size());

  std::map<std::size_t, int> in_order;
  Count(shared.light_order, in_order);
  ExpectEachOnce(in_order, keys);
  EXPECT_EQ(shared.light_order_length, keys.size());

  std::map<std::size_t, int> in_rain_grid;
  for (const auto& column : shared.rain_grid) Count(column, in_rain_grid);
  ExpectEachOnce(in_rain_grid, keys);

  std::set<std::size_t> grouped;
  for (const auto& group : shared.key_groups) {
    std::set<std::uint8_t> in_group;
    for (const std::uint8_t key : group) {
      if (key == kNoKey) continue;
      EXPECT_TRUE(keys.contains(key)) << int{key};
      EXPECT_TRUE(in_group.insert(key).second) << "twice in a group: " << int{key};
      grouped.insert(key);
    }
  }
  EXPECT_EQ(grouped, keys);
}

TEST(KeyboardGeometryTest, SnakeTurnsAtEachEndOfARow) {
  const KeyboardGeometry& full = *KeyboardGeometryOf(test::kFullSize);
  std::map<std::uint8_t, std::pair<std::size_t, std::size_t>> cell_of;
  for (std::size_t c = 0; c < kGridColumns; ++c) {
    for (std::size_t r = 0; r < kGridRows; ++r) cell_of[full.grid[c][r]] = {c, r};
  }
  const SharedKeyboardGeometry& shared = SharedGeometry();
  for (std::size_t i = 1; i < shared.snake_length; ++i) {
    SCOPED_TRACE(i);
    const auto [c0, r0] = cell_of[shared.snake[i - 1]];
    const auto [c1, r1] = cell_of[shared.snake[i]];
    if (r1 == r0) {
      // Rightwards on even rows, leftwards on odd ones.
      EXPECT_EQ(c1 > c0, r0 % 2 == 0);
    } else {
      EXPECT_EQ(r1, r0 + 1);
    }
  }
}

}  // namespace
}  // namespace brontal::lighting
