#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brontal::test {

// A sound card kept in a text file, one mixer element a line:
//   <name>|<min>|<max>|<min dB>:<max dB> or -|<value> <value> ...
// The test ALSA plugin serves it; the tests write it.
struct CardElement {
  std::string name;  // "Mic Capture Volume"; "... Switch" is a boolean
  long min = 0;
  long max = 0;
  std::optional<std::pair<int, int>> db;  // in 0.01 dB
  std::vector<long> values;               // one a channel

  bool is_switch() const { return name.ends_with(" Switch"); }
};

// Nothing when the file is not there.
std::optional<std::vector<CardElement>> LoadCard(const std::string& path);
// Replaces the file whole, so that readers never see half of it.
void SaveCard(const std::string& path, const std::vector<CardElement>& elements);

}  // namespace brontal::test
