// The server over real loopback sockets: what one client does never reaches
// another, and the host sees only whole, decoded requests on the loop.
#include "sdk_server/sdk_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <chrono>
#include <thread>

#include "sdk_server/packet_reader.h"
#include "support/unique_fd.h"
#include "ui/toolkit/manual_message_loop.h"

namespace brontal::sdk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// One keyboard-like controller; the requests it was handed, in order.
class RecordingHost final : public ControllerHost {
 public:
  std::size_t ControllerCount() const override { return 1; }
  std::optional<Controller> Describe(std::size_t index) const override {
    if (index != 0) return std::nullopt;
    Controller controller;
    controller.name = "Test keyboard";
    controller.modes.resize(1);
    controller.modes[0].name = "Direct";
    return controller;
  }
  void Apply(std::size_t index, const ControllerRequest& request) override { applied.emplace_back(index, request); }

  std::vector<std::pair<std::size_t, ControllerRequest>> applied;
};

class SdkServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    server_ = SdkServer::Start(loop_, host_, {"127.0.0.1", 0}, error);
    ASSERT_TRUE(server_) << error;
  }

  UniqueFd Connect() {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server_->port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
  }

  static void Send(const UniqueFd& fd, const Bytes& bytes) {
    ASSERT_EQ(::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }

  // The loop runs while the client waits, as the program's would.
  std::optional<Packet> Receive(const UniqueFd& fd) {
    PacketReader reader;
    const auto give_up = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < give_up) {
      loop_.RunUntilIdle();
      pollfd polled{fd.get(), POLLIN, 0};
      if (::poll(&polled, 1, 5) <= 0) continue;
      std::uint8_t chunk[4096];
      const ssize_t got = ::recv(fd.get(), chunk, sizeof chunk, 0);
      if (got <= 0) return std::nullopt;  // closed
      reader.Feed(std::span(chunk, static_cast<std::size_t>(got)));
      if (auto next = reader.Next(); std::holds_alternative<Packet>(next)) return std::get<Packet>(next);
    }
    ADD_FAILURE() << "no reply";
    return std::nullopt;
  }

  bool ClosedByServer(const UniqueFd& fd) {
    const auto give_up = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < give_up) {
      loop_.RunUntilIdle();
      pollfd polled{fd.get(), POLLIN, 0};
      if (::poll(&polled, 1, 5) <= 0) continue;
      std::uint8_t byte;
      if (::recv(fd.get(), &byte, 1, 0) <= 0) return true;
    }
    return false;
  }

  static std::uint32_t Number(const Packet& packet) { return ByteReader(packet.data).U32().value_or(0xDEAD); }

  ManualMessageLoop loop_;
  RecordingHost host_;
  std::unique_ptr<SdkServer> server_;
};

TEST_F(SdkServerTest, AnswersVersionCountAndDescription) {
  const UniqueFd client = Connect();
  Send(client, EncodePacket(0, PacketId::kRequestProtocolVersion, Bytes{3, 0, 0, 0}));
  const auto version = Receive(client);
  ASSERT_TRUE(version);
  EXPECT_EQ(version->id, 40u);
  EXPECT_EQ(Number(*version), kServerProtocolVersion);

  Send(client, EncodePacket(0, PacketId::kRequestControllerCount));
  const auto count = Receive(client);
  ASSERT_TRUE(count);
  EXPECT_EQ(Number(*count), 1u);

  Send(client, EncodePacket(0, PacketId::kRequestControllerData, Bytes{3, 0, 0, 0}));
  const auto data = Receive(client);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->data, SerialiseController(*host_.Describe(0), 3)) << "described in the version the client asked";
}

TEST_F(SdkServerTest, ABadClientIsClosedAndTheOthersGoOn) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  Bytes overlong_count = EncodePacket(0, PacketId::kUpdateLeds, Bytes{6, 0, 0, 0, 0xFF, 0xFF});
  const std::vector<Case> cases = {
      {"wrong magic", {'H', 'T', 'T', 'P', ' ', '/', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}},
      {"oversized", EncodePacket(0, PacketId::kUpdateLeds, Bytes(kMaxDataSize + 1, 0))},
      {"colour count beyond its packet", overlong_count},
  };
  const UniqueFd good = Connect();
  for (const Case& c : cases) {
    const UniqueFd bad = Connect();
    Send(bad, c.bytes);
    EXPECT_TRUE(ClosedByServer(bad)) << c.what;
    Send(good, EncodePacket(0, PacketId::kRequestControllerCount));
    const auto count = Receive(good);
    ASSERT_TRUE(count) << c.what;
    EXPECT_EQ(Number(*count), 1u) << c.what;
  }
  EXPECT_TRUE(host_.applied.empty()) << "nothing of a bad packet reached the devices";
  EXPECT_EQ(server_->client_count(), 1u);
}

// Its replies would pile up in our memory without end.
TEST_F(SdkServerTest, AClientThatReadsNoRepliesIsClosed) {
  const UniqueFd lazy = Connect();
  const Bytes ask = EncodePacket(0, PacketId::kRequestProtocolVersion, Bytes{5, 0, 0, 0});
  Bytes burst;
  for (int i = 0; i < 4096; ++i) burst.insert(burst.end(), ask.begin(), ask.end());
  // Far more replies than the socket buffers and our limit together hold.
  constexpr std::size_t kBursts = 160;
  std::size_t bursts_sent = 0;
  while (bursts_sent < kBursts &&
         ::send(lazy.get(), burst.data(), burst.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(burst.size()))
    ++bursts_sent;
  std::size_t received = 0;
  bool ended = false;
  const auto give_up = std::chrono::steady_clock::now() + 10s;
  while (!ended && std::chrono::steady_clock::now() < give_up) {
    pollfd polled{lazy.get(), POLLIN, 0};
    if (::poll(&polled, 1, 20) <= 0) continue;
    std::uint8_t chunk[65536];
    const ssize_t got = ::recv(lazy.get(), chunk, sizeof chunk, 0);
    if (got <= 0)
      ended = true;
    else
      received += static_cast<std::size_t>(got);
  }
  EXPECT_TRUE(ended);
  EXPECT_LT(received, kBursts * 4096 * ask.size()) << "every reply came: the client was never cut off";
}

TEST_F(SdkServerTest, RequestsReachTheHostDecodedInOrder) {
  const UniqueFd client = Connect();
  Bytes leds = EncodePacket(0, PacketId::kUpdateLeds, Bytes{10, 0, 0, 0, 1, 0, 9, 8, 7, 0});
  Bytes single = EncodePacket(0, PacketId::kUpdateSingleLed, Bytes{2, 0, 0, 0, 1, 2, 3, 0});
  leds.insert(leds.end(), single.begin(), single.end());
  Send(client, leds);  // two packets in one write
  Send(client, EncodePacket(0, PacketId::kRequestControllerCount));
  ASSERT_TRUE(Receive(client));
  ASSERT_EQ(host_.applied.size(), 2u);
  EXPECT_EQ(std::get<SetAllLeds>(host_.applied[0].second).colours, (std::vector<Rgb>{{9, 8, 7}}));
  EXPECT_EQ(std::get<SetOneLed>(host_.applied[1].second).led, 2u);
}

TEST_F(SdkServerTest, AFloodWaitsInTheSocketNotInTheLoopAndArrivesWholeInOrder) {
  constexpr std::uint32_t kFlood = 20000;
  Bytes flood;
  for (std::uint32_t led = 0; led < kFlood; ++led) {
    ByteWriter data;
    data.U32(led);
    data.Colour({1, 2, 3});
    const Bytes packet = EncodePacket(0, PacketId::kUpdateSingleLed, data.Take());
    flood.insert(flood.end(), packet.begin(), packet.end());
  }
  const UniqueFd client = Connect();
  // More than the socket buffers may hold while nobody reads: sent aside.
  std::thread sender([&] { Send(client, flood); });
  // The loop stands still meanwhile, as a busy window's would.
  std::size_t queued = 0;
  for (int settled = 0; settled < 20; std::this_thread::sleep_for(10ms)) {
    const std::size_t now = loop_.QueuedTasks();
    settled = now == queued ? settled + 1 : 0;
    queued = now;
  }
  EXPECT_LT(queued, kFlood / 2) << "the server read on while the loop ran nothing";
  const auto give_up = std::chrono::steady_clock::now() + 10s;
  while (host_.applied.size() < kFlood && std::chrono::steady_clock::now() < give_up) {
    loop_.RunUntilIdle();
    std::this_thread::sleep_for(1ms);
  }
  sender.join();
  ASSERT_EQ(host_.applied.size(), kFlood);
  for (std::uint32_t led = 0; led < kFlood; ++led) ASSERT_EQ(std::get<SetOneLed>(host_.applied[led].second).led, led);
}

TEST_F(SdkServerTest, EveryClientHearsThatTheDeviceListChanged) {
  const UniqueFd first = Connect();
  const UniqueFd second = Connect();
  // Both are accepted once each has had an answer.
  for (const UniqueFd* client : {&first, &second}) {
    Send(*client, EncodePacket(0, PacketId::kRequestControllerCount));
    ASSERT_TRUE(Receive(*client));
  }
  server_->NotifyDeviceListChanged();
  for (const UniqueFd* client : {&first, &second}) {
    const auto told = Receive(*client);
    ASSERT_TRUE(told);
    EXPECT_EQ(told->id, 100u);
  }
}

TEST(SdkServerAddress, RefusesWhatIsNoAddress) {
  ManualMessageLoop loop;
  struct NoDevices final : ControllerHost {
    std::size_t ControllerCount() const override { return 0; }
    std::optional<Controller> Describe(std::size_t) const override { return std::nullopt; }
    void Apply(std::size_t, const ControllerRequest&) override {}
  } host;
  std::string error;
  EXPECT_FALSE(SdkServer::Start(loop, host, {"no.such.host", 0}, error));
  EXPECT_NE(error.find("no.such.host"), std::string::npos);
  error.clear();
  const auto first = SdkServer::Start(loop, host, {"127.0.0.1", 0}, error);
  ASSERT_TRUE(first) << error;
  EXPECT_FALSE(SdkServer::Start(loop, host, {"127.0.0.1", first->port()}, error)) << "the port is taken";
}

}  // namespace
}  // namespace brontal::sdk
