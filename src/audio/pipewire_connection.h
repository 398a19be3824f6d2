#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_registry;
struct spa_dict;

namespace brontal::audio {

using NodeProperties = std::map<std::string, std::string>;
using MetadataValues = std::map<std::string, std::string>;

// This process's connection to the PipeWire daemon, served by a loop thread
// of its own: it keeps every property of the daemon's sinks and the values of
// its "default" metadata, loads modules into this process (they run on that
// thread) and sets node parameters and default values. No
// call waits longer than kAnswerTime for the daemon. Calls come from one
// thread at a time.
class PipeWireConnection {
 public:
  static constexpr std::chrono::milliseconds kAnswerTime{1000};

  // Nothing when no daemon answers; `reason` then says why in plain words.
  static std::unique_ptr<PipeWireConnection> Open(std::string& reason);
  // Unloads the modules this connection loaded.
  ~PipeWireConnection();
  PipeWireConnection(const PipeWireConnection&) = delete;
  PipeWireConnection& operator=(const PipeWireConnection&) = delete;

  // False once the daemon went away or stopped answering.
  bool Usable();
  // The daemon's sinks as they are now.
  std::vector<NodeProperties> Sinks();
  // Loads a module into this process: an id for the calls below, or 0 with
  // `error` (an errno value) set.
  int LoadModule(const char* name, const std::string& arguments, int& error);
  // False once the module unloaded itself (some do when their peer goes).
  bool ModuleLoaded(int id);
  void UnloadModule(int id);
  // Sets float controls ("name:Control") on the daemon's sink of that
  // node.name; false when the daemon does not show such a sink.
  bool SetSinkControls(const std::string& node_name, const std::vector<std::pair<std::string, float>>& controls);
  // The values of the daemon's "default" metadata, where the session manager
  // keeps the default devices ("default.audio.sink" → {"name":"..."}), as
  // they are now; nothing when the daemon has no such metadata.
  std::optional<MetadataValues> Defaults();
  // Sets a key of the "default" metadata to a JSON value, or removes it when
  // `json` is nothing; false when there is no such metadata or the daemon did
  // not take the change.
  bool SetDefault(const std::string& key, const std::optional<std::string>& json);

 private:
  struct Sink;
  struct Metadata;
  struct Module;
  struct Listeners;
  class Lock;

  PipeWireConnection();
  bool Connect(std::string& reason);
  // Waits until the daemon answered all that was sent before, and the sinks
  // that showed up meanwhile told their properties. The loop is locked.
  bool Settle();
  Sink* FindSink(const std::string& node_name);
  void BindDefaults(uint32_t id);

  static void OnCoreDone(void* data, uint32_t id, int seq);
  static void OnCoreError(void* data, uint32_t id, int seq, int res, const char* message);
  static void OnGlobal(void* data, uint32_t id, uint32_t permissions, const char* type, uint32_t version,
                       const spa_dict* props);
  static void OnGlobalRemove(void* data, uint32_t id);
  static void OnModuleDestroy(void* data);

  pw_thread_loop* loop_ = nullptr;
  pw_context* context_ = nullptr;
  pw_core* core_ = nullptr;
  pw_registry* registry_ = nullptr;
  std::unique_ptr<Listeners> listeners_;
  // The loop thread writes these under the loop's lock.
  int pending_sync_ = 0;
  bool synced_ = false;
  bool broken_ = false;
  std::map<uint32_t, std::unique_ptr<Sink>> sinks_;
  std::unique_ptr<Metadata> defaults_;
  std::map<int, std::unique_ptr<Module>> modules_;
  int next_module_id_ = 1;
};

}  // namespace brontal::audio
