#include "transport/simulator.h"

namespace brontal::sim {

Simulator::Simulator(NodeHost& host) : host_(host) {}

Simulator::~Simulator() {
  std::scoped_lock lock(mutex_);
  for (auto& [product, node] : plugged_) host_.UnplugNode(node->name);
  plugged_.clear();
}

SimulatedDevice* Simulator::DeviceFor(const ProductSpec& product) {
  const ProductSpec& cabled = CabledProductOf(product);
  auto& device = devices_[cabled.product_id];
  if (!device) device = SimulatedDevice::Create(cabled);
  return device.get();
}

SimulatedDevice* Simulator::Device(std::uint16_t vendor_id, std::uint16_t product_id) {
  const ProductSpec* product = FindProduct(vendor_id, product_id);
  if (!product) return nullptr;
  std::scoped_lock lock(mutex_);
  return DeviceFor(*product);
}

bool Simulator::Plug(std::uint16_t vendor_id, std::uint16_t product_id) {
  const ProductSpec* product = FindProduct(vendor_id, product_id);
  if (!product) return false;
  std::scoped_lock lock(mutex_);
  if (const auto it = plugged_.find(product); it != plugged_.end()) {
    if (!it->second->unplugged_by_fault) return false;
    plugged_.erase(it);  // its server thread is idle: the node is gone
  }
  SimulatedDevice* device = DeviceFor(*product);
  auto node = std::make_unique<Node>();
  node->product = product;
  Node* raw = node.get();
  node->server = std::make_unique<NodeServer>(*device, product->receiver ? Link::kReceiver : Link::kWired, [this, raw] {
    raw->unplugged_by_fault = true;
    host_.UnplugNode(raw->name);
  });
  node->server->SetLatency(latency_);
  NodeServer* server = node->server.get();
  node->name = host_.PlugNode(*product, [server](UniqueFd fd) { server->AddConnection(std::move(fd)); });
  if (node->name.empty()) return false;
  plugged_.emplace(product, std::move(node));
  return true;
}

bool Simulator::Unplug(std::uint16_t vendor_id, std::uint16_t product_id) {
  const ProductSpec* product = FindProduct(vendor_id, product_id);
  std::scoped_lock lock(mutex_);
  const auto it = product ? plugged_.find(product) : plugged_.end();
  if (it == plugged_.end()) return false;
  const bool was_present = !it->second->unplugged_by_fault;
  host_.UnplugNode(it->second->name);
  plugged_.erase(it);
  return was_present;
}

std::optional<std::vector<JournalEntry>> Simulator::Journal(std::uint16_t vendor_id,
                                                           std::uint16_t product_id) const {
  const ProductSpec* product = FindProduct(vendor_id, product_id);
  std::scoped_lock lock(mutex_);
  const auto it = product ? plugged_.find(product) : plugged_.end();
  if (it == plugged_.end() || it->second->unplugged_by_fault) return std::nullopt;
  return devices_.at(CabledProductOf(*product).product_id)->Journal().Timeline();
}

bool Simulator::Event(std::uint16_t vendor_id, std::uint16_t product_id, std::uint16_t code) {
  const ProductSpec* product = FindProduct(vendor_id, product_id);
  std::scoped_lock lock(mutex_);
  const auto it = product ? plugged_.find(product) : plugged_.end();
  if (it == plugged_.end() || it->second->unplugged_by_fault) return false;
  it->second->server->Broadcast(DeviceFor(*product)->EmitEvent(code));
  return true;
}

void Simulator::SetLatency(std::chrono::microseconds latency) {
  std::scoped_lock lock(mutex_);
  latency_ = latency;
  for (auto& [product, node] : plugged_) node->server->SetLatency(latency);
}

std::vector<PluggedProduct> Simulator::Plugged() const {
  std::scoped_lock lock(mutex_);
  std::vector<PluggedProduct> list;
  for (const auto& [product, node] : plugged_)
    if (!node->unplugged_by_fault) list.push_back({product, node->name});
  return list;
}

}  // namespace brontal::sim
