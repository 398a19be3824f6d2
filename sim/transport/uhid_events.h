#pragma once

#include <linux/uhid.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "models/product_catalog.h"

// The uhid event records a simulated product exchanges with the kernel, one
// builder or reader per record. Reports cross unchanged: an output event holds
// what the host wrote to the hidraw node (report id first), an input event what
// a reader of the node gets, which is also how the simulated bus frames them.
namespace brontal::sim {

// The USB port a product sits on: one per catalogue product, so that a cabled
// product and its receiver plugged together differ as they do on a real hub.
unsigned UhidPortOf(const ProductSpec& product);

// What a USB HID interface's HID_PHYS looks like; the interface number is the
// only thing discovery reads from it, uhid devices having no USB parent.
std::string UhidPhys(unsigned port, std::uint8_t interface_number);

// UHID_CREATE2 for the product's HID interface on `port`.
uhid_event UhidCreateEvent(const ProductSpec& product, unsigned port);
uhid_event UhidDestroyEvent();
// UHID_INPUT2 carrying one report; nothing for an empty or oversized report.
std::optional<uhid_event> UhidInputEvent(std::span<const std::uint8_t> report);
// The simulated products have no feature reports: both requests fail at once,
// so that the host's ioctl does not wait out the kernel's timeout.
uhid_event UhidGetReportRefusal(std::uint32_t request_id);
uhid_event UhidSetReportRefusal(std::uint32_t request_id);
// An output report the host set through the control pipe (HIDIOCSOUTPUT)
// went to the device.
uhid_event UhidSetReportAccepted(std::uint32_t request_id);

struct UhidKernelEvent {
  // kSetOutputReport: a set-report request of an output report, which the
  // device takes as it takes a written one; kSetReport: of any other type.
  enum class Kind { kOutputReport, kGetReport, kSetReport, kSetOutputReport, kIgnored, kMalformed };
  Kind kind = Kind::kIgnored;
  std::vector<std::uint8_t> report;  // kOutputReport, kSetOutputReport
  std::uint32_t request_id = 0;      // kGetReport, kSetReport, kSetOutputReport
};
// One event as read from the uhid device; a short record counts as zero-extended.
UhidKernelEvent ReadUhidEvent(std::span<const std::uint8_t> bytes);

}  // namespace brontal::sim
