#include "transport/uhid_events.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace brontal::sim {
namespace {

// The records as the kernel reads them: offsets of its uhid ABI, not of our build.
constexpr std::size_t kRecordSize = 4380;
constexpr std::size_t kName = 4, kPhys = 132, kUniq = 196, kRdSize = 260, kBus = 262, kVendor = 264, kProduct = 268,
                      kVersion = 272, kCountry = 276, kRdData = 280;
constexpr std::uint32_t kBusUsb = 0x03;

std::vector<std::uint8_t> Bytes(const uhid_event& event) {
  std::vector<std::uint8_t> bytes(sizeof event);
  std::memcpy(bytes.data(), &event, sizeof event);
  return bytes;
}

template <typename T>
T At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

std::string TextAt(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t field) {
  const auto* begin = reinterpret_cast<const char*>(bytes.data() + offset);
  return std::string(begin, strnlen(begin, field));
}

TEST(UhidEvents, RecordsHaveTheKernelsSize) {
  EXPECT_EQ(sizeof(uhid_event), kRecordSize);
  EXPECT_EQ(Bytes(UhidDestroyEvent()).size(), kRecordSize);
  EXPECT_EQ(At<std::uint32_t>(Bytes(UhidDestroyEvent()), 0), 1u);
}

TEST(UhidEvents, EveryProductIsCreatedAsAUsbInterfaceOnItsOwnPort) {
  const std::regex phys_form(R"(usb-0000:00:14\.0-([0-9]+)/input([0-9]+))");
  std::set<std::string> ports;
  for (const ProductSpec& product : Products()) {
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", product.vendor_id, product.product_id);
    SCOPED_TRACE(ids);
    const std::vector<std::uint8_t> record = Bytes(UhidCreateEvent(product, UhidPortOf(product)));
    EXPECT_EQ(At<std::uint32_t>(record, 0), 11u);  // UHID_CREATE2
    EXPECT_EQ(TextAt(record, kName, 128), std::string("Brontal simulated ") + ids);

    std::smatch phys;
    const std::string phys_text = TextAt(record, kPhys, 64);
    ASSERT_TRUE(std::regex_match(phys_text, phys, phys_form)) << phys_text;
    EXPECT_EQ(std::stoul(phys[2].str()), product.interface_number);
    EXPECT_TRUE(ports.insert(phys[1].str()).second) << "port shared: " << phys_text;

    EXPECT_EQ(TextAt(record, kUniq, 64), "");
    EXPECT_EQ(At<std::uint16_t>(record, kRdSize), product.report_descriptor.size());
    EXPECT_EQ(At<std::uint16_t>(record, kBus), kBusUsb);
    EXPECT_EQ(At<std::uint32_t>(record, kVendor), product.vendor_id);
    EXPECT_EQ(At<std::uint32_t>(record, kProduct), product.product_id);
    EXPECT_EQ(At<std::uint32_t>(record, kVersion), product.version);
    EXPECT_EQ(At<std::uint32_t>(record, kCountry), 0u);
    const std::vector<std::uint8_t> descriptor(record.begin() + kRdData,
                                               record.begin() + kRdData + product.report_descriptor.size());
    EXPECT_EQ(descriptor,
              std::vector<std::uint8_t>(product.report_descriptor.begin(), product.report_descriptor.end()));
  }
}

// A kernel record: type, then the payload at its offset.
std::vector<std::uint8_t> Record(std::uint32_t type, std::size_t size = kRecordSize) {
  std::vector<std::uint8_t> record(size, 0);
  std::memcpy(record.data(), &type, std::min<std::size_t>(size, sizeof type));
  return record;
}
template <typename T>
void Put(std::vector<std::uint8_t>& record, std::size_t offset, T value) {
  std::memcpy(record.data() + offset, &value, sizeof value);
}
std::vector<std::uint8_t> Output(std::uint16_t size) {
  std::vector<std::uint8_t> record = Record(UHID_OUTPUT);
  for (std::size_t i = 0; i < UHID_DATA_MAX; ++i) record[4 + i] = static_cast<std::uint8_t>(i * 7 + 1);
  Put(record, 4 + UHID_DATA_MAX, size);
  Put<std::uint8_t>(record, 4 + UHID_DATA_MAX + 2, UHID_OUTPUT_REPORT);
  return record;
}
std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> record, std::size_t size) {
  record.resize(size);
  return record;
}
std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return bytes;
}
std::vector<std::uint8_t> Request(std::uint32_t type, std::uint32_t id) {
  std::vector<std::uint8_t> record = Record(type);
  Put(record, 4, id);
  return record;
}
// UHID_SET_REPORT: id, report number, type, size, data.
std::vector<std::uint8_t> SetReport(std::uint32_t id, std::uint8_t type, std::uint16_t size) {
  std::vector<std::uint8_t> record = Request(UHID_SET_REPORT, id);
  Put<std::uint8_t>(record, 9, type);
  Put(record, 10, size);
  for (std::size_t i = 0; i < size && 12 + i < record.size(); ++i)
    record[12 + i] = static_cast<std::uint8_t>(i * 7 + 1);
  return record;
}

TEST(UhidEvents, KernelEventsBecomeReportsRequestsOrNothing) {
  using Kind = UhidKernelEvent::Kind;
  struct Case {
    const char* what;
    std::vector<std::uint8_t> record;
    Kind kind;
    std::vector<std::uint8_t> report;
    std::uint32_t request_id;
  };
  const Case cases[] = {
      {"output report", Output(64), Kind::kOutputReport, Pattern(64), 0},
      {"one-byte output report", Output(1), Kind::kOutputReport, Pattern(1), 0},
      {"size past the data field", Output(UHID_DATA_MAX + 100), Kind::kOutputReport, Pattern(UHID_DATA_MAX), 0},
      {"empty output report", Output(0), Kind::kMalformed, {}, 0},
      {"get report", Request(UHID_GET_REPORT, 0x01020304), Kind::kGetReport, {}, 0x01020304},
      {"set report", Request(UHID_SET_REPORT, 77), Kind::kSetReport, {}, 77},
      {"set output report", SetReport(78, UHID_OUTPUT_REPORT, 17), Kind::kSetOutputReport, Pattern(17), 78},
      {"set feature report", SetReport(79, UHID_FEATURE_REPORT, 17), Kind::kSetReport, {}, 79},
      {"empty set output report", SetReport(80, UHID_OUTPUT_REPORT, 0), Kind::kSetReport, {}, 80},
      {"start", Record(UHID_START), Kind::kIgnored, {}, 0},
      {"stop", Record(UHID_STOP), Kind::kIgnored, {}, 0},
      {"open", Record(UHID_OPEN), Kind::kIgnored, {}, 0},
      {"close", Record(UHID_CLOSE), Kind::kIgnored, {}, 0},
      {"short start record", Record(UHID_START, 4), Kind::kIgnored, {}, 0},
      {"get report record cut after its id", Truncated(Request(UHID_GET_REPORT, 9), 8), Kind::kGetReport, {}, 9},
      {"unknown type", Record(99), Kind::kIgnored, {}, 0},
      {"shorter than a type", Record(UHID_OUTPUT, 3), Kind::kMalformed, {}, 0},
      {"nothing", {}, Kind::kMalformed, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const UhidKernelEvent event = ReadUhidEvent(c.record);
    EXPECT_EQ(event.kind, c.kind);
    EXPECT_EQ(event.report, c.report);
    EXPECT_EQ(event.request_id, c.request_id);
  }
}

TEST(UhidEvents, InputReportsTravelWithTheirLength) {
  struct Case {
    std::size_t size;
    bool sent;
  };
  for (const Case c :
       {Case{64, true}, Case{1, true}, Case{UHID_DATA_MAX, true}, Case{0, false}, Case{UHID_DATA_MAX + 1, false}}) {
    SCOPED_TRACE(c.size);
    const std::vector<std::uint8_t> report = Pattern(c.size);
    const std::optional<uhid_event> event = UhidInputEvent(report);
    ASSERT_EQ(event.has_value(), c.sent);
    if (!event) continue;
    const std::vector<std::uint8_t> record = Bytes(*event);
    EXPECT_EQ(At<std::uint32_t>(record, 0), 12u);  // UHID_INPUT2
    EXPECT_EQ(At<std::uint16_t>(record, 4), c.size);
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 6, record.begin() + 6 + static_cast<std::ptrdiff_t>(c.size)),
              report);
  }
}

TEST(UhidEvents, FeatureRequestsAreRefusedUnderTheirId) {
  const std::vector<std::uint8_t> get = Bytes(UhidGetReportRefusal(0xA1B2C3D4));
  EXPECT_EQ(At<std::uint32_t>(get, 0), 10u);  // UHID_GET_REPORT_REPLY
  EXPECT_EQ(At<std::uint32_t>(get, 4), 0xA1B2C3D4u);
  EXPECT_NE(At<std::uint16_t>(get, 8), 0u);   // err
  EXPECT_EQ(At<std::uint16_t>(get, 10), 0u);  // size

  const std::vector<std::uint8_t> set = Bytes(UhidSetReportRefusal(5));
  EXPECT_EQ(At<std::uint32_t>(set, 0), 14u);  // UHID_SET_REPORT_REPLY
  EXPECT_EQ(At<std::uint32_t>(set, 4), 5u);
  EXPECT_NE(At<std::uint16_t>(set, 8), 0u);

  const std::vector<std::uint8_t> accepted = Bytes(UhidSetReportAccepted(6));
  EXPECT_EQ(At<std::uint32_t>(accepted, 0), 14u);
  EXPECT_EQ(At<std::uint32_t>(accepted, 4), 6u);
  EXPECT_EQ(At<std::uint16_t>(accepted, 8), 0u);
}

}  // namespace
}  // namespace brontal::sim
