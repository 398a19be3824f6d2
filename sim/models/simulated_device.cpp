#include "models/simulated_device.h"

#include <array>

#include "models/command_table.h"
#include "models/event_report.h"
#include "models/factory_image.h"
#include "models/headset_lights.h"
#include "models/report_descriptors.h"

namespace brontal::sim {
namespace {

std::uint8_t WrongEchoOf(std::uint8_t command) {
  auto wrong = static_cast<std::uint8_t>(command + 1);
  // 0xAA would read as "receiver: device out of reach", a different fault.
  if (wrong == kReceiverNoAnswer) ++wrong;
  return wrong;
}

JournalEntry EntryOf(Link link, const CommandRequest& request, std::span<const std::uint8_t> report,
                     bool reached_device) {
  JournalEntry entry{.kind = JournalKind::kRequest,
                     .link = link,
                     .report_id = kCommandReportId,
                     .command = request.command(),
                     .length = request.length(),
                     .address = request.address(),
                     .payload = {},
                     .reached_device = reached_device,
                     .bytes = {report.begin(), report.end()}};
  const MemoryCommand* command = FindMemoryCommand(request.command());
  if (command != nullptr && command->access == Access::kWrite) {
    const std::span<const std::uint8_t> payload = request.payload();
    entry.payload.assign(payload.begin(), payload.end());
  }
  return entry;
}

JournalEntry ReplyEntryOf(Link link, const Frame& reply, bool reached_device) {
  const CommandRequest echo{reply};  // a reply keeps the request's layout
  return JournalEntry{.kind = JournalKind::kReply,
                      .link = link,
                      .report_id = reply[0],
                      .command = echo.command(),
                      .length = echo.length(),
                      .address = echo.address(),
                      .payload = {},
                      .reached_device = reached_device,
                      .bytes = {reply.begin(), reply.end()}};
}

}  // namespace

std::unique_ptr<SimulatedDevice> SimulatedDevice::Create(const ProductSpec& any_link_of_the_product) {
  const ProductSpec* known = FindProduct(any_link_of_the_product.vendor_id, any_link_of_the_product.product_id);
  if (known == nullptr) return nullptr;
  const ProductSpec& cabled = CabledProductOf(*known);
  const ModelTraits* traits = FindModelTraits(cabled);
  if (traits == nullptr) return nullptr;
  return std::unique_ptr<SimulatedDevice>(new SimulatedDevice(cabled, *traits));
}

SimulatedDevice::SimulatedDevice(const ProductSpec& cabled, const ModelTraits& traits)
    : cabled_(cabled),
      receiver_(ReceiverOf(cabled)),
      traits_(traits),
      memory_(BuildFactoryMemory(cabled.kind, traits)) {}

std::vector<TimedReport> SimulatedDevice::HandleOutputReport(Link link, std::span<const std::uint8_t> report) {
  if (report.empty()) return {};
  if (report[0] != kCommandReportId) {
    AcceptOtherReport(link, report);
    return {};
  }
  const CommandRequest request = CommandRequest::FromReport(report);
  const ReplyFault fault = faults_.TakeForNextCommand();
  const bool reachable = link == Link::kWired || wireless_link_on_.load(std::memory_order_relaxed);
  journal_.Record(EntryOf(link, request, report, reachable && !fault.unplug));
  if (fault.unplug) {
    unplug_requested_.store(true, std::memory_order_relaxed);
    return {};
  }

  Frame reply;
  if (!reachable) {
    reply = BuildReply(request, kStatusOk);
    reply[frame_offset::kCommand] = kReceiverNoAnswer;
  } else if (fault.status) {
    reply = BuildReply(request, *fault.status);
  } else {
    reply = Execute(request);
  }
  if (fault.drop) return {};
  if (fault.wrong_echo) reply[frame_offset::kCommand] = WrongEchoOf(reply[frame_offset::kCommand]);

  // Replies are journaled as the device sends them; latency and injected
  // delays come on top, in the transport.
  std::vector<TimedReport> replies;
  if (fault.stray_replies > 0) {
    Frame stray = BuildReply(request, kStatusOk);
    stray[frame_offset::kCommand] = WrongEchoOf(request.command());
    replies.assign(fault.stray_replies, TimedReport{{stray.begin(), stray.end()}, fault.delay});
    for (std::size_t i = 0; i < fault.stray_replies; ++i) journal_.Record(ReplyEntryOf(link, stray, reachable));
  }
  replies.push_back({{reply.begin(), reply.end()}, fault.delay});
  journal_.Record(ReplyEntryOf(link, reply, reachable));
  return replies;
}

Frame SimulatedDevice::Execute(const CommandRequest& request) {
  if (!request.checksum_ok()) return BuildReply(request, kStatusCorrupted);
  std::scoped_lock lock(mutex_);
  switch (request.command()) {
    case command::kBegin:
      transaction_open_ = true;
      return BuildReply(request, kStatusOk);
    case command::kEnd:
      transaction_open_ = false;
      return BuildReply(request, kStatusOk);
    case command::kHostLighting:
      host_lighting_ = true;
      return BuildReply(request, kStatusOk);
    case command::kQueryLink:
      return BuildReply(request, kStatusOk, std::array{kLinkUp});
    default:
      break;
  }
  const MemoryCommand* command = FindMemoryCommand(request.command());
  if (command == nullptr || request.length() > kFramePayloadSize) return BuildReply(request, kStatusRefused);
  if (command->access == Access::kWrite) {
    const bool written = memory_.Write(command->region, request.address(), request.payload());
    return BuildReply(request, written ? kStatusOk : kStatusRefused);
  }
  std::array<std::uint8_t, kFramePayloadSize> data{};
  const std::span<std::uint8_t> wanted = std::span(data).first(request.length());
  if (!memory_.Read(command->region, request.address(), wanted)) return BuildReply(request, kStatusRefused);
  return BuildReply(request, kStatusOk, wanted);
}

void SimulatedDevice::AcceptOtherReport(Link link, std::span<const std::uint8_t> report) {
  journal_.Record(JournalEntry{.kind = JournalKind::kOutput,
                               .link = link,
                               .report_id = report[0],
                               .command = 0,
                               .length = 0,
                               .address = 0,
                               .payload = {report.begin() + 1, report.end()},
                               .reached_device = true,
                               .bytes = {report.begin(), report.end()}});
  if (cabled_.kind != ModelKind::kHeadset || report[0] != kHeadsetLightReportId) return;
  if (const std::optional<HeadsetLightUpdate> update = DecodeHeadsetLightReport(report)) {
    std::scoped_lock lock(mutex_);
    memory_.Write(MemoryRegion::kHeadsetColours, update->offset, update->values);
  }
}

std::vector<std::uint8_t> SimulatedDevice::EventReport(std::uint16_t code) const {
  return BuildEventReport(cabled_.event_report_id, code);
}

std::vector<std::uint8_t> SimulatedDevice::EmitEvent(std::uint16_t code) {
  const RecordLayout& layout = RecordLayoutOf(cabled_.kind);
  const std::optional<IndexSwitch> change = DecodeIndexSwitch(code);
  if (change && layout.switch_byte) {
    std::scoped_lock lock(mutex_);
    memory_.Write(MemoryRegion::kParameters, 0, std::array{change->index});
    if (change->value)
      memory_.Write(MemoryRegion::kParameters, change->index * layout.stride + *layout.switch_byte,
                    std::array{*change->value});
  }
  return EventReport(code);
}

void SimulatedDevice::SetWirelessLink(bool on) { wireless_link_on_.store(on, std::memory_order_relaxed); }

bool SimulatedDevice::WirelessLinkOn() const { return wireless_link_on_.load(std::memory_order_relaxed); }

bool SimulatedDevice::TakeUnplugRequest() { return unplug_requested_.exchange(false, std::memory_order_relaxed); }

std::size_t SimulatedDevice::MemorySize(MemoryRegion region) const {
  std::scoped_lock lock(mutex_);
  return memory_.Size(region);
}

std::optional<std::vector<std::uint8_t>> SimulatedDevice::ReadMemory(MemoryRegion region, std::size_t address,
                                                                     std::size_t length) const {
  std::vector<std::uint8_t> bytes(length);
  std::scoped_lock lock(mutex_);
  if (!memory_.Read(region, address, bytes)) return std::nullopt;
  return bytes;
}

bool SimulatedDevice::WriteMemory(MemoryRegion region, std::size_t address, std::span<const std::uint8_t> data) {
  std::scoped_lock lock(mutex_);
  return memory_.Write(region, address, data);
}

DeviceStatus SimulatedDevice::Status() const {
  DeviceStatus status{.wireless_link_on = WirelessLinkOn(),
                      .transaction_open = false,
                      .host_lighting = false,
                      .record_index = 0,
                      .key_slots = static_cast<std::uint8_t>(traits_.slot_keys.size()),
                      .macro_bytes = 0,
                      .journal = journal_.Summary()};
  std::scoped_lock lock(mutex_);
  status.transaction_open = transaction_open_;
  status.host_lighting = host_lighting_;
  status.record_index = memory_.Bytes(MemoryRegion::kParameters)[0];
  status.macro_bytes = memory_.Size(MemoryRegion::kMacros);
  return status;
}

}  // namespace brontal::sim
