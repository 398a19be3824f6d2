#include "transport/uhid_events.h"

#include <linux/input.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "support/hex_text.h"

namespace brontal::sim {
namespace {

template <std::size_t N>
void CopyText(std::uint8_t (&field)[N], const std::string& text) {
  const std::size_t n = std::min(text.size(), N - 1);  // always NUL-terminated
  std::memcpy(field, text.data(), n);
}

}  // namespace

unsigned UhidPortOf(const ProductSpec& product) {
  const std::span<const ProductSpec> products = Products();
  const auto it = std::find_if(products.begin(), products.end(), [&](const ProductSpec& p) {
    return p.vendor_id == product.vendor_id && p.product_id == product.product_id;
  });
  return 1 + static_cast<unsigned>(it - products.begin());  // past the last one for a product not in the catalogue
}

std::string UhidPhys(unsigned port, std::uint8_t interface_number) {
  char text[64];
  std::snprintf(text, sizeof text, "usb-0000:00:14.0-%u/input%u", port, unsigned{interface_number});
  return text;
}

uhid_event UhidCreateEvent(const ProductSpec& product, unsigned port) {
  uhid_event event{};
  event.type = UHID_CREATE2;
  uhid_create2_req& create = event.u.create2;
  CopyText(create.name, "Brontal simulated " + HexPair(product.vendor_id, product.product_id));
  CopyText(create.phys, UhidPhys(port, product.interface_number));
  const std::size_t size = std::min<std::size_t>(product.report_descriptor.size(), sizeof create.rd_data);
  std::memcpy(create.rd_data, product.report_descriptor.data(), size);
  create.rd_size = static_cast<std::uint16_t>(size);
  create.bus = BUS_USB;
  create.vendor = product.vendor_id;
  create.product = product.product_id;
  create.version = product.version;
  return event;
}

uhid_event UhidDestroyEvent() {
  uhid_event event{};
  event.type = UHID_DESTROY;
  return event;
}

std::optional<uhid_event> UhidInputEvent(std::span<const std::uint8_t> report) {
  uhid_event event{};
  if (report.empty() || report.size() > sizeof event.u.input2.data) return std::nullopt;
  event.type = UHID_INPUT2;
  event.u.input2.size = static_cast<std::uint16_t>(report.size());
  std::memcpy(event.u.input2.data, report.data(), report.size());
  return event;
}

uhid_event UhidGetReportRefusal(std::uint32_t request_id) {
  uhid_event event{};
  event.type = UHID_GET_REPORT_REPLY;
  event.u.get_report_reply.id = request_id;
  event.u.get_report_reply.err = EIO;
  return event;
}

uhid_event UhidSetReportRefusal(std::uint32_t request_id) {
  uhid_event event{};
  event.type = UHID_SET_REPORT_REPLY;
  event.u.set_report_reply.id = request_id;
  event.u.set_report_reply.err = EIO;
  return event;
}

uhid_event UhidSetReportAccepted(std::uint32_t request_id) {
  uhid_event event{};
  event.type = UHID_SET_REPORT_REPLY;
  event.u.set_report_reply.id = request_id;
  return event;
}

UhidKernelEvent ReadUhidEvent(std::span<const std::uint8_t> bytes) {
  UhidKernelEvent result;
  uhid_event event{};
  if (bytes.size() < sizeof event.type) {
    result.kind = UhidKernelEvent::Kind::kMalformed;
    return result;
  }
  std::memcpy(&event, bytes.data(), std::min(bytes.size(), sizeof event));
  switch (event.type) {
    case UHID_OUTPUT: {
      const std::size_t size = std::min<std::size_t>(event.u.output.size, sizeof event.u.output.data);
      // An empty packet on the node's connection would read as a hang-up.
      if (size == 0) {
        result.kind = UhidKernelEvent::Kind::kMalformed;
        break;
      }
      result.kind = UhidKernelEvent::Kind::kOutputReport;
      result.report.assign(event.u.output.data, event.u.output.data + size);
      break;
    }
    case UHID_GET_REPORT:
      result.kind = UhidKernelEvent::Kind::kGetReport;
      result.request_id = event.u.get_report.id;
      break;
    case UHID_SET_REPORT: {
      result.kind = UhidKernelEvent::Kind::kSetReport;
      result.request_id = event.u.set_report.id;
      const std::size_t size = std::min<std::size_t>(event.u.set_report.size, sizeof event.u.set_report.data);
      if (event.u.set_report.rtype != UHID_OUTPUT_REPORT || size == 0) break;
      result.kind = UhidKernelEvent::Kind::kSetOutputReport;
      result.report.assign(event.u.set_report.data, event.u.set_report.data + size);
      break;
    }
    default:  // start, stop, open, close: the device serves whether or not anyone listens
      break;
  }
  return result;
}

}  // namespace brontal::sim
