#include "app/bus/bus_frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "ui/toolkit/registered_messages.h"

namespace brontal {
namespace {

constexpr std::string_view kNamed = "BusFrameTest.Named";

std::vector<std::uint8_t> Encode(const BusRequest& request) {
  std::vector<std::uint8_t> frame;
  std::string error;
  EXPECT_TRUE(EncodeBusRequest(request, frame, error)) << error;
  return frame;
}

WindowMessage CopyData(std::uintptr_t kind, std::size_t size) {
  WindowMessage message(kWmCopyData, 0x1234);
  message.copy_kind = kind;
  message.copy_data.resize(size);
  for (std::size_t i = 0; i < size; ++i) message.copy_data[i] = static_cast<std::uint8_t>(i * 7);
  return message;
}

TEST(BusFrameTest, RequestsSurviveTheRoundTrip) {
  const std::uint32_t named = RegisterWindowMessage(kNamed);
  const struct {
    const char* what;
    BusRequest request;
  } cases[] = {
      {"registered, posted", {BusDelivery::kPost, WindowMessage(named, 0, 1)}},
      {"fixed number, sent", {BusDelivery::kSend, WindowMessage(kMsgLanguageChanged, 15, 0)}},
      {"extreme values",
       {BusDelivery::kSend, WindowMessage(kMsgTrayIcon, std::numeric_limits<std::uintptr_t>::max(),
                                          std::numeric_limits<std::intptr_t>::min())}},
      {"empty copy data", {BusDelivery::kSend, CopyData(2, 0)}},
      {"test tool report", {BusDelivery::kSend, CopyData(5, 1024)}},
      {"largest payload", {BusDelivery::kPost, CopyData(1, kMaxBusPayload)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BusRequest decoded;
    std::string error;
    ASSERT_TRUE(DecodeBusRequest(Encode(c.request), decoded, error)) << error;
    EXPECT_EQ(decoded.delivery, c.request.delivery);
    EXPECT_EQ(decoded.message.id, c.request.message.id);
    EXPECT_EQ(decoded.message.wparam, c.request.message.wparam);
    EXPECT_EQ(decoded.message.lparam, c.request.message.lparam);
    EXPECT_EQ(decoded.message.copy_kind, c.request.message.copy_kind);
    EXPECT_EQ(decoded.message.copy_data, c.request.message.copy_data);
  }
}

TEST(BusFrameTest, RegisteredMessagesTravelByNameFixedOnesByNumber) {
  const std::uint32_t named = RegisterWindowMessage(kNamed);
  const auto by_name = Encode({BusDelivery::kPost, WindowMessage(named)});
  const std::string text(by_name.begin(), by_name.end());
  EXPECT_NE(text.find(kNamed), std::string::npos);
  EXPECT_EQ(text.substr(8, 4), std::string(4, '\0'));  // the number field
  const auto by_number = Encode({BusDelivery::kPost, WindowMessage(kMsgOpenSettings)});
  EXPECT_EQ(by_number.size(), kBusRequestHeaderSize);
  EXPECT_EQ(by_number[8] | by_number[9] << 8, int{kMsgOpenSettings});
}

TEST(BusFrameTest, MessagesThatCannotTravelAreRefused) {
  std::vector<WindowMessage> messages(4, WindowMessage(kMsgOpenSettings));
  messages[0].id = kFirstRegisteredMessage + 0x3000;  // registered by no one
  messages[1].copy_data = {1};
  messages[2].copy_kind = 5;
  messages[3] = CopyData(1, kMaxBusPayload + 1);
  for (const WindowMessage& message : messages) {
    std::vector<std::uint8_t> frame;
    std::string error;
    EXPECT_FALSE(EncodeBusRequest({BusDelivery::kSend, message}, frame, error)) << message.id;
    EXPECT_FALSE(error.empty());
  }
}

// One valid frame broken in one way per case.
TEST(BusFrameTest, MalformedRequestsAreRejectedWithAReason) {
  const std::uint32_t named = RegisterWindowMessage(kNamed);
  const auto copy = Encode({BusDelivery::kSend, CopyData(5, 8)});
  const auto posted = Encode({BusDelivery::kPost, WindowMessage(named)});
  using Frame = std::vector<std::uint8_t>;
  const auto with = [](Frame frame, std::size_t at, std::uint8_t value) {
    frame.at(at) = value;
    return frame;
  };
  const auto renamed = [&](std::string_view name) {
    Frame frame(posted.begin(), posted.begin() + kBusRequestHeaderSize);
    frame[5] = static_cast<std::uint8_t>(name.size());
    frame.insert(frame.end(), name.begin(), name.end());
    return frame;
  };
  Frame oversized = Encode({BusDelivery::kPost, CopyData(1, kMaxBusPayload)});
  oversized.resize(kMaxBusFrame + 1);
  const Frame fixed = Encode({BusDelivery::kPost, WindowMessage(kMsgOpenSettings)});
  Frame payload_on_other = with(fixed, 36, 1);
  payload_on_other.push_back(9);
  const struct {
    const char* what;
    Frame frame;
  } cases[] = {
      {"empty", {}},
      {"magic only", Frame(copy.begin(), copy.begin() + 4)},
      {"short header", Frame(copy.begin(), copy.begin() + kBusRequestHeaderSize - 1)},
      {"foreign magic", with(copy, 0, 'X')},
      {"other version", with(copy, 3, '2')},
      {"delivery 0", with(copy, 4, 0)},
      {"delivery of a reply", with(copy, 4, 3)},
      {"reserved byte set", with(copy, 7, 1)},
      {"payload cut short", Frame(copy.begin(), copy.end() - 1)},
      {"trailing byte", [&] { Frame f = copy; f.push_back(0); return f; }()},
      {"payload length beyond the limit", with(copy, 38, 1)},  // 64 KiB more
      {"name longer than the frame", with(posted, 5, 200)},
      {"name and number", with(posted, 8, 1)},
      {"name unknown here", renamed("BusFrameTest.NeverRegistered")},
      {"registered number without name", with(fixed, 9, 0xC0)},
      {"copy kind on another message", with(fixed, 28, 5)},
      {"payload on another message", payload_on_other},
      {"oversized", oversized},
  };
  for (const auto& c : cases) {
    BusRequest request;
    std::string error;
    EXPECT_FALSE(DecodeBusRequest(c.frame, request, error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

TEST(BusFrameTest, RepliesCarryTheResult) {
  for (const LRESULT result : {LRESULT{0}, LRESULT{-1}, std::numeric_limits<LRESULT>::max()})
    EXPECT_EQ(DecodeBusReply(EncodeBusReply(result)), result);
  const auto reply = EncodeBusReply(42);
  std::vector<std::uint8_t> longer = reply, wrong_kind = reply, padded = reply;
  longer.push_back(0);
  wrong_kind[4] = 1;
  padded[5] = 1;
  const std::vector<std::uint8_t> shorter(reply.begin(), reply.end() - 1);
  std::vector<std::uint8_t> request;
  std::string error;
  ASSERT_TRUE(EncodeBusRequest({BusDelivery::kSend, WindowMessage(kMsgOpenSettings)}, request, error));
  for (const auto& frame : {longer, wrong_kind, padded, shorter, request})
    EXPECT_EQ(DecodeBusReply(frame), std::nullopt);
}

}  // namespace
}  // namespace brontal
