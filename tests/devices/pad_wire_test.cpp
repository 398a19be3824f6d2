#include "devices/mousepad/pad_wire.h"

#include <gtest/gtest.h>

#include <vector>

namespace brontal::pad {
namespace {

const std::vector<int> kCodes = {7, 1, 2, 3, 4, 5};

TEST(PadLightRecord, IsKeptDecodedAndSentEncoded) {
  LightRecord raw{};
  const std::vector<std::uint8_t> head = {0, 3, 4, 1, 0xEE, 1, 0x10, 0x20, 0x30, 0x99};
  std::copy(head.begin(), head.end(), raw.begin());
  DecodeRecord(raw, kCodes);
  EXPECT_EQ(raw[1], 3);  // code 3 is entry 3
  EXPECT_EQ(raw[3], 3);  // speed 4 - 1

  LightSetting light{.select_item = 0, .light = 2, .speed = 1, .fx = 1, .multi_color = 0, .red = 1, .green = 2,
                     .blue = 3};
  TakeLight(raw, light);
  const LightRecord sent = EncodeRecord(raw, kCodes);
  const std::vector<std::uint8_t> expected = {0, 7, 2, 3, 0xEE, 0, 1, 2, 3, 0x99};
  EXPECT_EQ(std::vector<std::uint8_t>(sent.begin(), sent.begin() + 10), expected);
  // The kept record keeps the mode index: a second write sends the same bytes.
  TakeLight(raw, light);
  EXPECT_EQ(EncodeRecord(raw, kCodes), sent);
  // An index past the list goes as it is; a speed past 4 never wraps.
  light.select_item = 9;
  light.speed = 7;
  TakeLight(raw, light);
  EXPECT_EQ(EncodeRecord(raw, kCodes)[1], 9);
  EXPECT_EQ(EncodeRecord(raw, kCodes)[3], 0);
}

}  // namespace
}  // namespace brontal::pad
