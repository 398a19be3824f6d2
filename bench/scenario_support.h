#pragma once

// What the scenario runners share: CPU times and private user folders.
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

#include "helpers/temporary_folder.h"

namespace brontal::bench {

// User and system CPU seconds of the whole process so far, every thread included.
inline double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The threads of this process now.
inline std::set<pid_t> ThreadIds() {
  std::set<pid_t> ids;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error))
    ids.insert(static_cast<pid_t>(std::stol(task.path().filename().string())));
  return ids;
}

// CPU seconds of these threads (the scheduler's own count, in nanoseconds).
inline double ThreadCpuSeconds(const std::set<pid_t>& threads) {
  double nanoseconds = 0;
  for (const pid_t id : threads) {
    std::ifstream file("/proc/self/task/" + std::to_string(id) + "/schedstat");
    double on_cpu = 0;
    if (file >> on_cpu) nanoseconds += on_cpu;
  }
  return nanoseconds / 1e9;
}

// The threads of this process that carry `name`.
inline std::set<pid_t> ThreadsNamed(std::string_view name) {
  std::set<pid_t> named;
  for (const pid_t id : ThreadIds()) {
    std::ifstream file("/proc/self/task/" + std::to_string(id) + "/comm");
    std::string comm;
    if (std::getline(file, comm) && comm == name) named.insert(id);
  }
  return named;
}

// Points the user's data, configuration, state and runtime folders into a
// fresh temporary folder for the object's life: the profiles a scenario makes
// never reach the real ones. Before any thread starts: setenv is not thread-safe.
class ScratchUserFolders {
 public:
  ScratchUserFolders() {
    if (!made()) return;
    for (const char* variable : kVariables) {
      const std::filesystem::path folder = root_.path() / variable;
      std::error_code error;
      std::filesystem::create_directory(folder, error);
      // The runtime folder must be the user's alone.
      std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
      ::setenv(variable, folder.c_str(), 1);
    }
  }

  bool made() const { return !root_.path().empty(); }

 private:
  static constexpr std::array<const char*, 4> kVariables = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME",
                                                            "XDG_RUNTIME_DIR"};
  test::TemporaryFolder root_{"brontal_bench"};
};

}  // namespace brontal::bench
