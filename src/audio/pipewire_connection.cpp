#include "audio/pipewire_connection.h"

#include <pipewire/extensions/metadata.h>
#include <pipewire/impl-module.h>
#include <pipewire/pipewire.h>
#include <spa/param/props.h>
#include <spa/pod/builder.h>
#include <spa/utils/result.h>

#include <cerrno>
#include <cstring>
#include <mutex>

// PipeWire's method macros cast their object argument C-style.
#pragma GCC diagnostic ignored "-Wold-style-cast"

namespace brontal::audio {

struct PipeWireConnection::Sink {
  ~Sink() {
    spa_hook_remove(&listener);
    pw_proxy_destroy(proxy);
  }
  pw_proxy* proxy = nullptr;
  spa_hook listener{};
  NodeProperties properties;
};

struct PipeWireConnection::Metadata {
  ~Metadata() {
    spa_hook_remove(&listener);
    pw_proxy_destroy(proxy);
  }
  uint32_t global = 0;
  pw_proxy* proxy = nullptr;
  spa_hook listener{};
  MetadataValues values;  // of subject 0, the daemon itself
};

struct PipeWireConnection::Module {
  pw_impl_module* module = nullptr;
  spa_hook listener{};
};

struct PipeWireConnection::Listeners {
  spa_hook core{};
  spa_hook registry{};
};

class PipeWireConnection::Lock {
 public:
  explicit Lock(pw_thread_loop* loop) : loop_(loop) { pw_thread_loop_lock(loop_); }
  ~Lock() { pw_thread_loop_unlock(loop_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  pw_thread_loop* loop_;
};

namespace {

void CopyProperties(const spa_dict* dict, NodeProperties& properties) {
  const spa_dict_item* item = nullptr;
  spa_dict_for_each(item, dict) properties[item->key] = item->value ? item->value : "";
}

void OnSinkInfo(void* data, const pw_node_info* info) {
  if (info->change_mask & PW_NODE_CHANGE_MASK_PROPS) CopyProperties(info->props, *static_cast<NodeProperties*>(data));
}

constexpr pw_node_events kSinkEvents = {.version = PW_VERSION_NODE_EVENTS, .info = OnSinkInfo, .param = nullptr};

// A key of null clears the subject; a value of null removes the key.
int OnMetadataProperty(void* data, uint32_t subject, const char* key, const char*, const char* value) {
  auto& values = *static_cast<MetadataValues*>(data);
  if (subject != PW_ID_CORE) return 0;
  if (!key)
    values.clear();
  else if (!value)
    values.erase(key);
  else
    values[key] = value;
  return 0;
}

constexpr pw_metadata_events kMetadataEvents = {.version = PW_VERSION_METADATA_EVENTS, .property = OnMetadataProperty};

constexpr const char* kDefaultsName = "default";

bool IsDefaults(const char* type, const spa_dict* props) {
  const char* name = props ? spa_dict_lookup(props, PW_KEY_METADATA_NAME) : nullptr;
  return std::strcmp(type, PW_TYPE_INTERFACE_Metadata) == 0 && name && std::strcmp(name, kDefaultsName) == 0;
}

}  // namespace

void PipeWireConnection::OnModuleDestroy(void* data) {
  auto* module = static_cast<Module*>(data);
  spa_hook_remove(&module->listener);
  module->module = nullptr;
}

void PipeWireConnection::OnCoreDone(void* data, uint32_t id, int seq) {
  auto* self = static_cast<PipeWireConnection*>(data);
  if (id != PW_ID_CORE || seq != self->pending_sync_) return;
  self->synced_ = true;
  pw_thread_loop_signal(self->loop_, false);
}

void PipeWireConnection::OnCoreError(void* data, uint32_t id, int, int res, const char*) {
  auto* self = static_cast<PipeWireConnection*>(data);
  if (id != PW_ID_CORE || res != -EPIPE) return;
  self->broken_ = true;
  pw_thread_loop_signal(self->loop_, false);
}

void PipeWireConnection::OnGlobal(void* data, uint32_t id, uint32_t, const char* type, uint32_t,
                                  const spa_dict* props) {
  auto* self = static_cast<PipeWireConnection*>(data);
  if (IsDefaults(type, props)) {
    if (!self->defaults_) self->BindDefaults(id);
    return;
  }
  const char* media_class = props ? spa_dict_lookup(props, PW_KEY_MEDIA_CLASS) : nullptr;
  if (std::strcmp(type, PW_TYPE_INTERFACE_Node) != 0 || !media_class || std::strcmp(media_class, "Audio/Sink") != 0)
    return;
  void* proxy = pw_registry_bind(self->registry_, id, type, PW_VERSION_NODE, 0);
  if (!proxy) return;
  auto sink = std::make_unique<Sink>();
  sink->proxy = static_cast<pw_proxy*>(proxy);
  CopyProperties(props, sink->properties);
  pw_node_add_listener(static_cast<pw_node*>(proxy), &sink->listener, &kSinkEvents, &sink->properties);
  self->sinks_[id] = std::move(sink);
}

void PipeWireConnection::BindDefaults(uint32_t id) {
  void* proxy = pw_registry_bind(registry_, id, PW_TYPE_INTERFACE_Metadata, PW_VERSION_METADATA, 0);
  if (!proxy) return;
  defaults_ = std::make_unique<Metadata>();
  defaults_->global = id;
  defaults_->proxy = static_cast<pw_proxy*>(proxy);
  pw_metadata_add_listener(static_cast<pw_metadata*>(proxy), &defaults_->listener, &kMetadataEvents,
                           &defaults_->values);
}

void PipeWireConnection::OnGlobalRemove(void* data, uint32_t id) {
  auto* self = static_cast<PipeWireConnection*>(data);
  self->sinks_.erase(id);
  if (self->defaults_ && self->defaults_->global == id) self->defaults_.reset();
}

PipeWireConnection::PipeWireConnection() : listeners_(std::make_unique<Listeners>()) {}

std::unique_ptr<PipeWireConnection> PipeWireConnection::Open(std::string& reason) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { pw_init(nullptr, nullptr); });
  std::unique_ptr<PipeWireConnection> connection(new PipeWireConnection());
  if (!connection->Connect(reason)) return nullptr;
  return connection;
}

bool PipeWireConnection::Connect(std::string& reason) {
  static constexpr pw_core_events kCoreEvents = {.version = PW_VERSION_CORE_EVENTS,
                                                 .info = nullptr,
                                                 .done = OnCoreDone,
                                                 .ping = nullptr,
                                                 .error = OnCoreError,
                                                 .remove_id = nullptr,
                                                 .bound_id = nullptr,
                                                 .add_mem = nullptr,
                                                 .remove_mem = nullptr};
  static constexpr pw_registry_events kRegistryEvents = {
      .version = PW_VERSION_REGISTRY_EVENTS, .global = OnGlobal, .global_remove = OnGlobalRemove};

  loop_ = pw_thread_loop_new("brontal-pipewire", nullptr);
  context_ = loop_ ? pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0) : nullptr;
  if (!context_ || pw_thread_loop_start(loop_) < 0) {
    reason = "PipeWire's client library does not start";
    return false;
  }
  Lock lock(loop_);
  core_ = pw_context_connect(context_, nullptr, 0);
  if (!core_) {
    const int error = errno;
    reason = error == ENOENT || error == ECONNREFUSED || error == EHOSTDOWN
                 ? "PipeWire is not running"
                 : std::string("PipeWire refuses the connection: ") + spa_strerror(-error);
    return false;
  }
  pw_core_add_listener(core_, &listeners_->core, &kCoreEvents, this);
  registry_ = pw_core_get_registry(core_, PW_VERSION_REGISTRY, 0);
  if (!registry_) {
    reason = "PipeWire does not answer";
    return false;
  }
  pw_registry_add_listener(registry_, &listeners_->registry, &kRegistryEvents, this);
  if (!Settle()) {
    reason = "PipeWire does not answer";
    return false;
  }
  return true;
}

PipeWireConnection::~PipeWireConnection() {
  if (loop_) {
    {
      Lock lock(loop_);
      for (auto& [id, module] : modules_)
        if (module->module) pw_impl_module_destroy(module->module);
      modules_.clear();
      sinks_.clear();
      defaults_.reset();
      if (registry_) {
        spa_hook_remove(&listeners_->registry);
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry_));
      }
      if (core_) {
        spa_hook_remove(&listeners_->core);
        pw_core_disconnect(core_);
      }
    }
    pw_thread_loop_stop(loop_);
  }
  if (context_) pw_context_destroy(context_);
  if (loop_) pw_thread_loop_destroy(loop_);
}

bool PipeWireConnection::Settle() {
  timespec deadline{};
  pw_thread_loop_get_time(loop_, &deadline, std::chrono::nanoseconds(kAnswerTime).count());
  // The first round brings the globals (sinks get bound as they come), the
  // second the properties those binds asked for.
  for (int round = 0; round < 2 && !broken_; ++round) {
    synced_ = false;
    pending_sync_ = pw_core_sync(core_, PW_ID_CORE, pending_sync_);
    while (!synced_ && !broken_) {
      if (pw_thread_loop_timed_wait_full(loop_, &deadline) != 0) broken_ = true;
    }
  }
  return !broken_;
}

bool PipeWireConnection::Usable() {
  Lock lock(loop_);
  return !broken_;
}

std::vector<NodeProperties> PipeWireConnection::Sinks() {
  Lock lock(loop_);
  std::vector<NodeProperties> sinks;
  if (!Settle()) return sinks;
  for (const auto& [id, sink] : sinks_) sinks.push_back(sink->properties);
  return sinks;
}

int PipeWireConnection::LoadModule(const char* name, const std::string& arguments, int& error) {
  Lock lock(loop_);
  pw_impl_module* loaded = pw_context_load_module(context_, name, arguments.c_str(), nullptr);
  if (!loaded) {
    error = errno;
    return 0;
  }
  static constexpr pw_impl_module_events kModuleEvents = {.version = PW_VERSION_IMPL_MODULE_EVENTS,
                                                          .destroy = OnModuleDestroy,
                                                          .free = nullptr,
                                                          .initialized = nullptr,
                                                          .registered = nullptr};
  auto module = std::make_unique<Module>();
  module->module = loaded;
  pw_impl_module_add_listener(loaded, &module->listener, &kModuleEvents, module.get());
  const int id = next_module_id_++;
  modules_[id] = std::move(module);
  return id;
}

bool PipeWireConnection::ModuleLoaded(int id) {
  Lock lock(loop_);
  const auto it = modules_.find(id);
  return it != modules_.end() && it->second->module;
}

void PipeWireConnection::UnloadModule(int id) {
  Lock lock(loop_);
  const auto it = modules_.find(id);
  if (it == modules_.end()) return;
  if (it->second->module) pw_impl_module_destroy(it->second->module);
  modules_.erase(it);
}

PipeWireConnection::Sink* PipeWireConnection::FindSink(const std::string& node_name) {
  for (const auto& [id, sink] : sinks_) {
    const auto name = sink->properties.find(PW_KEY_NODE_NAME);
    if (name != sink->properties.end() && name->second == node_name) return sink.get();
  }
  return nullptr;
}

bool PipeWireConnection::SetSinkControls(const std::string& node_name,
                                         const std::vector<std::pair<std::string, float>>& controls) {
  Lock lock(loop_);
  Sink* sink = FindSink(node_name);
  if (!sink && Settle()) sink = FindSink(node_name);
  if (!sink) return false;
  std::vector<std::uint8_t> buffer(256 + 64 * controls.size());
  for (const auto& [name, value] : controls) buffer.resize(buffer.size() + name.size());
  spa_pod_builder builder{};
  spa_pod_builder_init(&builder, buffer.data(), static_cast<uint32_t>(buffer.size()));
  spa_pod_frame object{}, params{};
  spa_pod_builder_push_object(&builder, &object, SPA_TYPE_OBJECT_Props, SPA_PARAM_Props);
  spa_pod_builder_prop(&builder, SPA_PROP_params, 0);
  spa_pod_builder_push_struct(&builder, &params);
  for (const auto& [name, value] : controls) {
    spa_pod_builder_string(&builder, name.c_str());
    spa_pod_builder_float(&builder, value);
  }
  spa_pod_builder_pop(&builder, &params);
  const auto* pod = static_cast<const spa_pod*>(spa_pod_builder_pop(&builder, &object));
  if (!pod) return false;
  return pw_node_set_param(reinterpret_cast<pw_node*>(sink->proxy), SPA_PARAM_Props, 0, pod) >= 0;
}

std::optional<MetadataValues> PipeWireConnection::Defaults() {
  Lock lock(loop_);
  if (!Settle() || !defaults_) return std::nullopt;
  return defaults_->values;
}

bool PipeWireConnection::SetDefault(const std::string& key, const std::optional<std::string>& json) {
  Lock lock(loop_);
  if (!Settle() || !defaults_) return false;
  pw_metadata_set_property(reinterpret_cast<pw_metadata*>(defaults_->proxy), PW_ID_CORE, key.c_str(),
                           json ? "Spa:String:JSON" : nullptr, json ? json->c_str() : nullptr);
  // The daemon tells every client of the change, this one too; a refused
  // change (no permission) comes back as nothing.
  if (!Settle() || !defaults_) return false;
  const auto value = defaults_->values.find(key);
  return json ? value != defaults_->values.end() && value->second == *json : value == defaults_->values.end();
}

}  // namespace brontal::audio
