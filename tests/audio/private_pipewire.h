#pragma once

#include <json/json.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"

namespace brontal::test {

// The environment that sends PipeWire clients, ours and the command line
// tools, to a daemon in `folder`.
std::map<std::string, std::string> PipeWireRuntimeIn(const std::filesystem::path& folder);

// A PipeWire daemon of the test's own, while the object lives: its own runtime
// folder, a minimal configuration with a sink that stands for the headset's
// (card 7) and one for other speakers, and no session manager. With
// `session_defaults` it holds the "default" metadata a session manager keeps,
// empty. What the daemon holds is read with pw-dump; the defaults are set with
// pw-metadata, from another client as a desktop mixer would.
class PrivatePipeWire {
 public:
  static constexpr int kHeadsetCard = 7;
  static constexpr const char* kHeadsetSink = "test_headset_sink";
  static constexpr const char* kSpeakersSink = "test_speakers_sink";

  explicit PrivatePipeWire(bool session_defaults = true);
  ~PrivatePipeWire();
  PrivatePipeWire(const PrivatePipeWire&) = delete;
  PrivatePipeWire& operator=(const PrivatePipeWire&) = delete;

  bool running() const { return problem_.empty(); }
  const std::string& problem() const { return problem_; }

  // The daemon's objects as pw-dump lists them.
  Json::Value Dump() const;
  // The node a key of the "default" metadata names; nothing when it is unset.
  std::optional<std::string> DefaultNode(const std::string& key) const;
  // Sets a key of the "default" metadata to name a node, or removes it.
  void SetDefaultNode(const std::string& key, const std::optional<std::string>& node);
  // A sink for another ALSA card, as PipeWire adds one when a card shows up.
  void AddCardSink(const std::string& name, int card);
  // The daemon stops answering (SIGSTOP) until Resume.
  void Freeze();
  void Resume();

 private:
  TemporaryFolder folder_;
  ScopedEnvironment environment_;
  pid_t pid_ = -1;
  std::string problem_;
};

// A node by node.name; null when the daemon has none.
Json::Value NodeNamed(const Json::Value& objects, const std::string& name);

template <typename Predicate>
bool WaitFor(Predicate done, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace brontal::test
