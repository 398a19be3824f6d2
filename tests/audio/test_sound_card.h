#pragma once

#include <string>
#include <vector>

#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"
#include "text_file_card.h"

namespace brontal::test {

// A sound card with real ALSA mixer controls and no hardware: the text file
// control plugin built beside the tests, under an ALSA configuration of the
// test's own (ALSA_CONFIG_PATH, while the object lives).
class TestSoundCard {
 public:
  explicit TestSoundCard(const std::vector<CardElement>& elements);

  // The card's ALSA control name.
  static constexpr const char* kName = "test_headset";

  // An element's raw values as another program sees them.
  std::vector<long> Values(const std::string& element) const;
  // Changes an element as another program (or the headset's own buttons) would.
  void SetValues(const std::string& element, const std::vector<long>& values);
  void Unplug();

 private:
  TemporaryFolder folder_;
  ScopedEnvironment environment_;
};

}  // namespace brontal::test
