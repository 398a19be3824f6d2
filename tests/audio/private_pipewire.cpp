#include "private_pipewire.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern char** environ;

namespace brontal::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDaemonConfig = R"(
context.properties = { core.daemon = true core.name = pipewire-0 support.dbus = false }
context.spa-libs = {
  audio.convert.* = audioconvert/libspa-audioconvert
  support.* = support/libspa-support
}
context.modules = [
  { name = libpipewire-module-protocol-native }
  { name = libpipewire-module-client-node }
  { name = libpipewire-module-adapter }
  { name = libpipewire-module-metadata }
  { name = libpipewire-module-access }
]
context.objects = [
  { factory = adapter
    args = {
      factory.name = support.null-audio-sink
      node.name = "test_headset_sink"
      media.class = "Audio/Sink"
      audio.position = [ FL FR ]
      api.alsa.pcm.card = "7"
    }
  }
  { factory = adapter
    args = {
      factory.name = support.null-audio-sink
      node.name = "test_speakers_sink"
      media.class = "Audio/Sink"
      audio.position = [ FL FR ]
    }
  }
)";
constexpr const char* kSessionDefaults = "  { factory = metadata args = { metadata.name = default } }\n";

// Runs a PipeWire tool against the daemon, for at most a few seconds.
void RunTool(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"timeout", "5"});
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  int status = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) ::waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ADD_FAILURE() << arguments[2] << " failed";
}

}  // namespace

std::map<std::string, std::string> PipeWireRuntimeIn(const fs::path& folder) {
  return {{"PIPEWIRE_RUNTIME_DIR", folder.string()}, {"XDG_RUNTIME_DIR", folder.string()}, {"PIPEWIRE_REMOTE", ""}};
}

PrivatePipeWire::PrivatePipeWire(bool session_defaults)
    : folder_("brontal_pipewire"), environment_(PipeWireRuntimeIn(folder_.path())) {
  const fs::path config = folder_.path() / "daemon.conf";
  const std::string log = (folder_.path() / "daemon.log").string();
  std::ofstream(config) << kDaemonConfig << (session_defaults ? kSessionDefaults : "") << "]\n";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::string program = "pipewire", option = "-c", config_path = config.string();
  char* argv[] = {program.data(), option.data(), config_path.data(), nullptr};
  if (posix_spawnp(&pid_, "pipewire", &actions, nullptr, argv, environ) != 0) {
    pid_ = -1;
    problem_ = "the pipewire daemon is not installed";
  } else if (!WaitFor([this] { return fs::exists(folder_.path() / "pipewire-0"); })) {
    std::ifstream text(log);
    problem_ = "the pipewire daemon does not start here: " +
               std::string(std::istreambuf_iterator<char>(text), std::istreambuf_iterator<char>());
  }
  posix_spawn_file_actions_destroy(&actions);
}

PrivatePipeWire::~PrivatePipeWire() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGCONT);
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

Json::Value PrivatePipeWire::Dump() const {
  Json::Value objects;
  FILE* pipe = ::popen("timeout 5 pw-dump 2>/dev/null", "r");
  if (!pipe) return objects;
  std::string text;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, n);
  ::pclose(pipe);
  std::string errors;
  const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
  reader->parse(text.data(), text.data() + text.size(), &objects, &errors);
  return objects;
}

std::optional<std::string> PrivatePipeWire::DefaultNode(const std::string& key) const {
  for (const Json::Value& object : Dump()) {
    if (object["type"] != "PipeWire:Interface:Metadata" || object["props"]["metadata.name"] != "default") continue;
    for (const Json::Value& entry : object["metadata"]) {
      if (entry["subject"] != 0 || entry["key"] != key) continue;
      // pw-dump shows a JSON value parsed; anything else as it is, to fail.
      const Json::Value& value = entry["value"];
      return value.isObject() ? value["name"].asString() : value.toStyledString();
    }
  }
  return std::nullopt;
}

void PrivatePipeWire::SetDefaultNode(const std::string& key, const std::optional<std::string>& node) {
  if (node)
    RunTool({"pw-metadata", "-n", "default", "0", key, R"({ "name": ")" + *node + R"(" })", "Spa:String:JSON"});
  else
    RunTool({"pw-metadata", "-n", "default", "-d", "0", key});
}

void PrivatePipeWire::AddCardSink(const std::string& name, int card) {
  // Lingering: the node stays after pw-cli, the client that made it, quits.
  RunTool({"pw-cli", "create-node", "adapter",
           "{ factory.name = support.null-audio-sink media.class = Audio/Sink audio.position = [ FL FR ] "
           "object.linger = true node.name = " +
               name + " api.alsa.pcm.card = " + std::to_string(card) + " }"});
}

void PrivatePipeWire::Freeze() {
  if (pid_ > 0) ::kill(pid_, SIGSTOP);
}

void PrivatePipeWire::Resume() {
  if (pid_ > 0) ::kill(pid_, SIGCONT);
}

Json::Value NodeNamed(const Json::Value& objects, const std::string& name) {
  for (const Json::Value& object : objects)
    if (object["type"] == "PipeWire:Interface:Node" && object["info"]["props"]["node.name"] == name) return object;
  return Json::Value();
}

}  // namespace brontal::test
