#pragma once

#include <gtest/gtest.h>
#include <json/json.h>

#include <map>
#include <string>

#include "private_pipewire.h"
#include "profiles/profile_records.h"

namespace brontal::audio {

inline const EqBands kGains = {6, 4, 2, 0, -1, -2, 0, 3, 5, -12};
inline const EqBands kOtherGains = {-3, 0, 0, 1, 2, 3, 4, 5, 6, 7};

// The filter's controls ("eq_band_1:Gain" → 6) as the node reports them.
std::map<std::string, double> FilterControls(const Json::Value& node);

// Tests of the equaliser against a PipeWire daemon of their own, skipped
// where none starts.
class EqualiserOnDaemonTest : public ::testing::Test {
 protected:
  static constexpr int kHeadsetCard = test::PrivatePipeWire::kHeadsetCard;
  static constexpr const char* kHeadsetSink = test::PrivatePipeWire::kHeadsetSink;
  static constexpr const char* kSpeakersSink = test::PrivatePipeWire::kSpeakersSink;

  explicit EqualiserOnDaemonTest(bool session_defaults = true) : daemon_(session_defaults) {}
  void SetUp() override {
    if (!daemon_.running()) GTEST_SKIP() << daemon_.problem();
  }

  // The equaliser's sink for a card once it shows with these gains; null
  // when it does not within a few seconds.
  Json::Value SinkWithGains(const EqBands& gains, int card = kHeadsetCard);
  // Whether the equaliser's sink and output for a card are gone, or go within
  // a few seconds.
  bool EqualiserGone(int card = kHeadsetCard);

  test::PrivatePipeWire daemon_;
};

}  // namespace brontal::audio
