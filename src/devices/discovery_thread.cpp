#include "devices/discovery_thread.h"

#include <condition_variable>

#include "device_access/hid_device.h"
#include "device_access/hid_path.h"
#include "support/debug_log.h"

namespace brontal {
namespace {

bool SameFourValues(const InterfaceRow& row, std::uint16_t vendor, std::uint16_t product, std::uint16_t interface,
                    std::uint16_t collection) {
  return row.vendor_id == vendor && row.product_id == product && row.interface_number == interface &&
         row.collection_number == collection;
}

}  // namespace

DiscoveryThread::DiscoveryThread(SlotList& slots, MessageLoop& loop, WindowProc window,
                                 std::uint32_t application_message)
    : slots_(slots), loop_(loop), window_(std::move(window)), application_message_(application_message) {}

DiscoveryThread::~DiscoveryThread() { Stop(); }

void DiscoveryThread::Start() {
  if (!thread_.joinable()) thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

void DiscoveryThread::Stop() {
  if (!thread_.joinable()) return;
  thread_.request_stop();
  thread_.join();
}

void DiscoveryThread::SendToWindow(std::uint32_t message, std::size_t slot, std::stop_token stop) {
  loop_.Send([this, message, slot] { window_(WindowMessage(message, slot, 0)); }, stop);
}

bool DiscoveryThread::ScanForArrivals(std::stop_token stop) {
  CHidDevice hid;
  if (!hid.EnumerateInterfaces()) return false;
  while (const auto path = hid.NextPath()) {
    if (stop.stop_requested()) break;
    const std::uint16_t vendor = ParseVendorId(*path);
    const std::uint16_t product = ParseProductId(*path);
    const std::uint16_t interface = ParseInterfaceNumber(*path);
    const std::uint16_t collection = ParseCollectionNumber(*path);
    bool wanted = false;
    for (std::size_t i = 0; i < slots_.size() && !wanted; ++i)
      wanted = slots_[i].free() && SameFourValues(slots_[i].row, vendor, product, interface, collection);
    if (!wanted || !hid.Open(*path, true, false, true, false)) continue;

    // The identity as the collection itself gives it.
    InterfaceRow found{hid.vendor_id(),  hid.product_id(), interface, collection, {}, {},
                       hid.usage_page(), hid.usage(),      0,         0};
    hid.Close();
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      const InterfaceRow& row = slots_[i].row;
      if (!SameFourValues(row, found.vendor_id, found.product_id, interface, collection) ||
          row.usage_page != found.usage_page || row.usage != found.usage || !slots_[i].free())
        continue;
      slots_[i].present = true;
      slots_[i].path = *path;
      SendToWindow(kMsgDeviceArrived, i, stop);
      break;
    }
  }
  hid.FreePathList();
  return true;
}

void DiscoveryThread::ProbePresentSlots(std::stop_token stop) {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (!slots_[i].present || CHidDevice::IsPathPresent(slots_[i].path)) continue;
    slots_[i].present = false;
    slots_[i].path.clear();
    SendToWindow(kMsgDeviceRemoved, i, stop);
  }
}

void DiscoveryThread::Run(std::stop_token stop) {
  std::mutex mutex;
  std::condition_variable_any wake;
  for (;;) {
    if (stop.stop_requested()) {
      Trace("抓取设备线程设定退出");
      return;
    }
    if (slots_.AnyFree()) {
      // A listing that failed (udev busy, a node gone while listed) is tried
      // again next pass: ending here would leave the window never shown.
      const bool scanned = ScanForArrivals(stop);
      if (!scanned && !scan_failure_traced_) Trace("设备枚举失败，下次重试");
      scan_failure_traced_ = !scanned;
      if (!first_pass_done_) {
        first_pass_done_ = true;
        loop_.Post([window = window_, message = application_message_] { window(WindowMessage(message, 0, 0)); });
      }
    }
    ProbePresentSlots(stop);
    std::unique_lock lock(mutex);
    wake.wait_for(lock, stop, kPassInterval, [] { return false; });
  }
}

}  // namespace brontal
