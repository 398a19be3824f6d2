#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "e2e/child_process.h"
#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"

namespace brontal::test {

// A PulseAudio server of the test's own while the object lives: its own
// folders, a null sink as the default output, no other module. This process's
// clients reach it through PULSE_SERVER; other programs get the same from
// ClientEnvironment().
class PrivatePulseAudio {
 public:
  PrivatePulseAudio();
  ~PrivatePulseAudio();
  PrivatePulseAudio(const PrivatePulseAudio&) = delete;
  PrivatePulseAudio& operator=(const PrivatePulseAudio&) = delete;

  bool running() const { return problem_.empty(); }
  const std::string& problem() const { return problem_; }
  const e2e::Environment& ClientEnvironment() const { return client_; }

  // Plays the WAV file on the default output (paplay) while the object lives.
  std::unique_ptr<e2e::ChildProcess> Play(const std::filesystem::path& wav) const;
  // The recording streams on the server (pactl); nothing when it does not say.
  std::optional<int> RecordingCount() const;

  // The server stops answering (SIGSTOP) until Resume.
  void Freeze();
  void Resume();
  // The server ends.
  void End();

 private:
  TemporaryFolder folder_{"brontal_pulse"};
  e2e::Environment client_;
  std::unique_ptr<ScopedEnvironment> environment_;
  std::unique_ptr<e2e::ChildProcess> daemon_;
  std::string problem_;
};

}  // namespace brontal::test
