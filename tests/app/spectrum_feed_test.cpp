#include "app/spectrum_feed.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace brontal {
namespace {

using audio_link::Spectrum;

// Frame k's every value is k * 100 + its position modulo 5 (the fifth value of
// each band, ignored, is far off): a band of frame k after frame j changes by
// (k - j) * 100, whatever the position.
Spectrum Ramp(int k) {
  Spectrum frame{};
  for (std::size_t i = 0; i < frame.size(); ++i)
    frame[i] = k * 100 + static_cast<int>(i % 5) + (i % 5 == 4 ? 900000 : 0);
  return frame;
}

TEST(SpectrumFeed, BandsAreTheMeanChangeOfTheirFirstFourValues) {
  SpectrumFeed feed;
  Spectrum first{};
  for (std::size_t band = 0; band < SpectrumFeed::kKeyboardBands; ++band) {
    // Changes of 10, 20, 30, 41 from the silence before: a mean of 25.25.
    first[5 * band] = 10;
    first[5 * band + 1] = -20;
    first[5 * band + 2] = 30;
    first[5 * band + 3] = 41 + static_cast<int>(band);
    first[5 * band + 4] = 1000;  // not part of any band
  }
  for (std::size_t i = 125; i < first.size(); ++i) first[i] = 5000;  // beyond the bands
  feed.Take(first, 1, 0);
  feed.Take(first, 1, 0);  // no change at all
  Spectrum third = first;
  third[5 * 7 + 2] -= 400;  // band 7 moves by 100 on average
  const SpectrumHandOver hand_over = feed.Take(third, 1, 0);
  ASSERT_TRUE(hand_over.keyboard);
  std::vector<std::int32_t> expected(audio_link::kSpectrumValues, 0);
  expected[7] = 100;
  EXPECT_EQ(std::vector<std::int32_t>(hand_over.keyboard->begin(), hand_over.keyboard->end()), expected);

  SpectrumFeed fresh;
  fresh.Take(Spectrum{}, 0, 0);
  fresh.Take(Spectrum{}, 0, 0);
  const SpectrumHandOver from_silence = fresh.Take(first, 1, 0);
  ASSERT_TRUE(from_silence.keyboard);
  for (std::size_t band = 0; band < SpectrumFeed::kKeyboardBands; ++band)
    EXPECT_EQ((*from_silence.keyboard)[band], (101 + static_cast<int>(band)) / 4) << band;
}

// Which frames (1-based) reach a keyboard, for the keyboards present at each.
TEST(SpectrumFeed, AtMostOneFrameInThreeAndTheFirstAfterAKeyboardAppearsAtOnce) {
  struct Case {
    const char* name;
    std::vector<std::size_t> keyboards;  // per frame
    std::vector<int> handed;
  };
  const Case cases[] = {
      {"one keyboard throughout", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {3, 6, 9}},
      {"two keyboards", {2, 2, 2, 2, 2, 2, 2, 2, 2, 2}, {3, 6, 9}},
      {"a keyboard after five frames", {0, 0, 0, 0, 0, 1, 1, 1, 1, 1}, {6, 9}},
      {"gone and back", {1, 1, 1, 0, 0, 0, 0, 1, 1, 1}, {3, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SpectrumFeed feed;
    std::vector<int> handed;
    for (std::size_t frame = 0; frame < c.keyboards.size(); ++frame)
      if (feed.Take(Ramp(static_cast<int>(frame)), c.keyboards[frame], 0).keyboard)
        handed.push_back(static_cast<int>(frame) + 1);
    EXPECT_EQ(handed, c.handed);
  }
}

TEST(SpectrumFeed, MiceGetTenBandsFromTheSecondOnAndCountOnTheirOwn) {
  SpectrumFeed feed;
  std::vector<int> keyboard_frames, mouse_frames;
  SpectrumHandOver last;
  for (int frame = 1; frame <= 6; ++frame) {
    // The mouse comes at frame 2, the keyboard is there throughout.
    SpectrumHandOver hand_over = feed.Take(Ramp(frame * frame), 1, frame >= 2 ? 1 : 0);
    if (hand_over.keyboard) keyboard_frames.push_back(frame);
    if (hand_over.mouse) {
      mouse_frames.push_back(frame);
      last = hand_over;
    }
  }
  EXPECT_EQ(keyboard_frames, (std::vector<int>{3, 6}));
  EXPECT_EQ(mouse_frames, (std::vector<int>{3, 6}));
  ASSERT_TRUE(last.mouse && last.keyboard);
  // 499 values: nine band levels, then zeros up to the frame's own end.
  EXPECT_EQ(last.mouse->size(), audio_link::kSpectrumValues - 1);
  std::vector<std::int32_t> expected(audio_link::kSpectrumValues - 1, 0);
  for (std::size_t band = 1; band < SpectrumFeed::kMouseBands; ++band) expected[band - 1] = (36 - 25) * 100;
  EXPECT_EQ(std::vector<std::int32_t>(last.mouse->begin(), last.mouse->end()), expected);
  EXPECT_EQ((*last.keyboard)[SpectrumFeed::kMouseBands], (36 - 25) * 100);  // the keyboard's bands go further
}

TEST(SpectrumFeed, LevelsStayWithinTheBandRangeWhateverTheValues) {
  constexpr std::int32_t kLow = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kHigh = std::numeric_limits<std::int32_t>::max();
  struct Case {
    const char* name;
    std::int32_t before, after, level;
  };
  const Case cases[] = {
      {"from the lowest to the highest", kLow, kHigh, SpectrumFeed::kHighestLevel},
      {"from the highest to the lowest", kHigh, kLow, SpectrumFeed::kHighestLevel},
      {"just above the range", 0, 2001, SpectrumFeed::kHighestLevel},
      {"at the top of the range", -1000, 1000, 2000},
      {"inside the range", 5, -1994, 1999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SpectrumFeed feed;
    Spectrum before, after;
    before.fill(c.before);
    after.fill(c.after);
    feed.Take(before, 1, 1);
    feed.Take(before, 1, 1);
    const SpectrumHandOver hand_over = feed.Take(after, 1, 1);
    ASSERT_TRUE(hand_over.keyboard && hand_over.mouse);
    EXPECT_EQ((*hand_over.keyboard)[0], c.level);
    EXPECT_EQ((*hand_over.keyboard)[24], c.level);
    EXPECT_EQ((*hand_over.mouse)[8], c.level);
  }
}

}  // namespace
}  // namespace brontal
