// One save of the keyboard's profile as a slider move causes it: load the
// profile file, decode every record the keyboard uses, change the lighting
// and save. The factory keyboard profile (126 keys on two layers) is the
// document.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "profiles/data_folders.h"
#include "profiles/family_profile_data.h"

namespace brontal {
namespace {

void BM_KeyboardProfileRoundTrip(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "brontal_profile_bench_XXXXXX").string();
  const std::filesystem::path folder = ::mkdtemp(pattern.data());
  const std::filesystem::path path = folder / "profile.Json";
  std::filesystem::copy_file(DefaultProfilePath("keyboard"), path);

  CKeyboardProfiledata profile;
  profile.SetDefaultProfilePath(DefaultProfilePath("keyboard"));
  profile.SetProfilePath(path);
  std::size_t keys = 0;
  for (auto _ : state) {
    profile.Load(profile.ProfilePath());
    LightSetting light = profile.GetLight();
    benchmark::DoNotOptimize(profile.GetAudioLight());
    benchmark::DoNotOptimize(profile.GetLightList());
    keys += profile.GetKeyList().size() + profile.GetKeyFnList().size();
    benchmark::DoNotOptimize(profile.GetKeyboardSystem());
    benchmark::DoNotOptimize(profile.GetCustomColors(profile.GetCustomGroup(), 126));
    light.light = static_cast<std::uint8_t>((light.light + 1) % 5);
    profile.SetLight(light);
    if (!profile.Save()) state.SkipWithError("the profile could not be saved");
  }
  state.counters["keys_per_round_trip"] = static_cast<double>(keys) / static_cast<double>(state.iterations());
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_KeyboardProfileRoundTrip)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brontal
