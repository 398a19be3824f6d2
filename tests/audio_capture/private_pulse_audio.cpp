#include "audio_capture/private_pulse_audio.h"

#include <signal.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace brontal::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kScript = R"(
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=test_speakers
set-default-sink test_speakers
)";

bool Installed(const char* program) {
  return e2e::RunCommand({"sh", "-c", std::string("command -v ") + program}, {}, std::chrono::seconds(5)) == 0;
}

}  // namespace

PrivatePulseAudio::PrivatePulseAudio() {
  if (!Installed("pulseaudio") || !Installed("pactl") || !Installed("paplay")) {
    problem_ = "PulseAudio's server and tools are not installed";
    return;
  }
  const fs::path runtime = folder_.path() / "runtime";
  fs::create_directory(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  const fs::path script = folder_.path() / "server.pa";
  std::ofstream(script) << kScript;
  client_ = {{"PULSE_SERVER", "unix:" + (runtime / "native").string()}};
  environment_ = std::make_unique<ScopedEnvironment>(client_);
  // The server's home, state and runtime folders are all the test's.
  const e2e::Environment server = {{"HOME", folder_.path().string()},
                                   {"XDG_CONFIG_HOME", (folder_.path() / "config").string()},
                                   {"XDG_RUNTIME_DIR", folder_.path().string()},
                                   {"PULSE_RUNTIME_PATH", runtime.string()},
                                   {"PULSE_STATE_PATH", (folder_.path() / "state").string()},
                                   {"PULSE_SERVER", ""},
                                   {"DBUS_SESSION_BUS_ADDRESS", "disabled:"}};
  daemon_ = std::make_unique<e2e::ChildProcess>(
      std::vector<std::string>{"pulseaudio", "-n", "-F", script.string(), "--daemonize=no", "--exit-idle-time=-1",
                               "--disable-shm=yes", "--log-target=stderr"},
      server, folder_.path() / "server.log");
  if (!e2e::WaitUntil([&] { return fs::exists(runtime / "native") && fs::exists(runtime / "pid"); },
                      std::chrono::seconds(10))) {
    std::ifstream log(folder_.path() / "server.log");
    problem_ = "the PulseAudio server does not start here: " +
               std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
  }
}

PrivatePulseAudio::~PrivatePulseAudio() { Resume(); }

std::unique_ptr<e2e::ChildProcess> PrivatePulseAudio::Play(const fs::path& wav) const {
  return std::make_unique<e2e::ChildProcess>(std::vector<std::string>{"paplay", wav.string()}, client_,
                                             folder_.path() / "paplay.log");
}

std::optional<int> PrivatePulseAudio::RecordingCount() const {
  std::string listing;
  if (e2e::RunCommand({"pactl", "list", "short", "source-outputs"}, client_, std::chrono::seconds(5), &listing) != 0)
    return std::nullopt;
  std::istringstream lines(listing);
  int count = 0;
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) ++count;
  return count;
}

namespace {

void SignalServer(const fs::path& pid_file, int signal) {
  pid_t pid = 0;
  if (std::ifstream(pid_file) >> pid && pid > 0) ::kill(pid, signal);
}

}  // namespace

void PrivatePulseAudio::Freeze() { SignalServer(folder_.path() / "runtime" / "pid", SIGSTOP); }
void PrivatePulseAudio::Resume() { SignalServer(folder_.path() / "runtime" / "pid", SIGCONT); }

void PrivatePulseAudio::End() {
  Resume();
  SignalServer(folder_.path() / "runtime" / "pid", SIGTERM);
  if (daemon_) daemon_->WaitExit(std::chrono::seconds(5));
}

}  // namespace brontal::test
