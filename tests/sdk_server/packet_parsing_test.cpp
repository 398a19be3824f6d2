// The packet framing and the request decoders: what a client's bytes can do
// to them, well-formed or not.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sdk_server/client_requests.h"
#include "sdk_server/controller_description.h"
#include "sdk_server/packet_reader.h"
#include "sdk_server/wire_bytes.h"

namespace brontal::sdk {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Header(std::uint32_t device, std::uint32_t id, std::uint32_t size, const char* magic = "ORGB") {
  Bytes bytes(magic, magic + 4);
  ByteWriter fields;
  fields.U32(device);
  fields.U32(id);
  fields.U32(size);
  const Bytes rest = fields.Take();
  bytes.insert(bytes.end(), rest.begin(), rest.end());
  return bytes;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// UPDATELEDS data as clients build it: size, count, colours.
Bytes LedsData(std::uint16_t count, std::size_t colours_sent, std::uint32_t size_field = 0) {
  ByteWriter out;
  out.U32(size_field ? size_field : static_cast<std::uint32_t>(6 + 4 * colours_sent));
  out.U16(count);
  for (std::size_t i = 0; i < colours_sent; ++i) out.Colour({static_cast<std::uint8_t>(i), 2, 3});
  return out.Take();
}

Bytes ModeData(std::uint32_t version, std::uint32_t mode, std::uint16_t colour_count, std::size_t colours_sent) {
  ByteWriter out;
  out.U32(0);
  out.U32(mode);
  out.String("Static");
  for (int i = 0; i < (version >= 3 ? 12 : 9); ++i) out.U32(static_cast<std::uint32_t>(i));
  out.U16(colour_count);
  for (std::size_t i = 0; i < colours_sent; ++i) out.Colour({9, 8, 7});
  Bytes bytes = out.Take();
  ByteWriter size;
  size.U32(static_cast<std::uint32_t>(bytes.size()));
  const Bytes s = size.Take();
  std::copy(s.begin(), s.end(), bytes.begin());
  return bytes;
}

TEST(PacketReader, FramesPacketsWhateverTheChunks) {
  const Bytes stream = Concat(Concat(Header(3, 1050, 4), {1, 2, 3, 4}), Header(0, 0, 0));
  for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
    PacketReader reader;
    std::vector<Packet> packets;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
      reader.Feed(std::span(stream).subspan(at, std::min(chunk, stream.size() - at)));
      for (auto next = reader.Next(); std::holds_alternative<Packet>(next); next = reader.Next())
        packets.push_back(std::get<Packet>(next));
    }
    ASSERT_EQ(packets.size(), 2u) << "chunks of " << chunk;
    EXPECT_EQ(packets[0], (Packet{3, 1050, {1, 2, 3, 4}}));
    EXPECT_EQ(packets[1], (Packet{0, 0, {}}));
  }
}

TEST(PacketReader, MalformedStreamsStayMalformed) {
  struct Case {
    const char* what;
    Bytes bytes;
    bool malformed;
  };
  const std::vector<Case> cases = {
      {"wrong magic", Header(0, 0, 0, "ORGC"), true},
      {"wrong magic known from its first byte", {'X'}, true},
      {"lower-case magic", Header(0, 0, 0, "orgb"), true},
      {"data size one above the cap", Header(0, 1050, kMaxDataSize + 1), true},
      {"data size at the top of 32 bits", Header(0, 1050, 0xFFFFFFFF), true},
      {"data size at the cap, data still coming", Header(0, 1050, kMaxDataSize), false},
      {"half a header", {'O', 'R', 'G', 'B', 0, 0}, false},
  };
  for (const Case& c : cases) {
    PacketReader reader;
    reader.Feed(c.bytes);
    const auto first = reader.Next();
    EXPECT_EQ(std::holds_alternative<PacketReader::Malformed>(first), c.malformed) << c.what;
    if (!c.malformed) continue;
    // Nothing after a malformed header can be framed again.
    reader.Feed(Concat(Header(0, 0, 0), {}));
    EXPECT_TRUE(std::holds_alternative<PacketReader::Malformed>(reader.Next())) << c.what;
  }
}

TEST(ClientRequests, CountsInsideTheDataMustFitIt) {
  struct Case {
    const char* what;
    std::uint32_t id;
    Bytes data;
    bool decodes;
  };
  const std::vector<Case> cases = {
      {"three colours", 1050, LedsData(3, 3), true},
      {"no colours", 1050, LedsData(0, 0), true},
      {"count above the colours sent", 1050, LedsData(4, 3), false},
      {"count at the top of 16 bits", 1050, LedsData(0xFFFF, 1), false},
      {"size field larger than the packet", 1050, LedsData(1, 1, 1000), false},
      {"no data", 1050, {}, false},
      {"zone without its count", 1051, {10, 0, 0, 0, 0, 0, 0, 0}, false},
      {"single LED", 1052, {5, 0, 0, 0, 1, 2, 3, 0}, true},
      {"single LED cut short", 1052, {5, 0, 0, 0, 1, 2}, false},
      {"custom mode needs no data", 1100, {}, true},
      {"mode with its colour", 1101, ModeData(5, 2, 1, 1), true},
      {"mode without the colour it counts", 1101, ModeData(5, 2, 1, 0), false},
      {"mode whose name runs past the data", 1101, {8, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecodeControllerRequest(Packet{0, c.id, c.data}, 5).has_value(), c.decodes) << c.what;
}

TEST(ClientRequests, ModeLayoutFollowsTheSessionsVersion) {
  // Protocol 3 added the brightness fields: read with the wrong version the colours shift.
  for (const std::uint32_t version : {0u, 2u, 3u, 5u}) {
    const auto request = DecodeControllerRequest(Packet{0, 1101, ModeData(version, 4, 1, 1)}, version);
    ASSERT_TRUE(request) << version;
    const SetMode& mode = std::get<SetMode>(*request);
    EXPECT_EQ(mode.mode, 4u);
    EXPECT_EQ(mode.speed, version >= 3 ? 8u : 6u);  // the ninth field, or the seventh before protocol 3
    EXPECT_EQ(mode.brightness.has_value(), version >= 3);
    EXPECT_EQ(mode.colours, (std::vector<Rgb>{{9, 8, 7}}));
  }
  const auto saved = DecodeControllerRequest(Packet{0, 1102, ModeData(5, 1, 0, 0)}, 5);
  ASSERT_TRUE(saved);
  EXPECT_TRUE(std::get<SetMode>(*saved).save);
}

Controller TwoModeKeyboard() {
  Controller c;
  c.name = "Keyboard";
  c.modes.resize(2);
  c.modes[0].name = "Static";
  c.modes[0].colours = {{1, 2, 3}};
  c.modes[1].name = "Direct";
  LedMatrix matrix{1, 2, {0, LedMatrix::kNoLed}};
  c.zones.push_back({"Keys", ZoneType::kMatrix, 1, matrix});
  c.leds.push_back({"Key: A", 4});
  c.colours.push_back({0, 0, 0});
  return c;
}

TEST(ControllerDescription, EachVersionAddsItsFields) {
  const std::size_t v0 = SerialiseController(TwoModeKeyboard(), 0).size();
  struct Case {
    std::uint32_t version;
    std::size_t extra;  // bytes beyond protocol 0
  };
  const std::vector<Case> cases = {
      {1, 3},                            // the vendor, empty
      {2, 3},                            // nothing new
      {3, 3 + 2 * 12},                   // three brightness fields per mode
      {4, 3 + 2 * 12 + 2},               // the zone's segment count
      {5, 3 + 2 * 12 + 2 + 4 + 2 + 4},   // zone flags, alternate names, controller flags
      {99, 3 + 2 * 12 + 2 + 4 + 2 + 4},  // a newer client gets our newest
  };
  for (const Case& c : cases) {
    const Bytes bytes = SerialiseController(TwoModeKeyboard(), c.version);
    EXPECT_EQ(bytes.size(), v0 + c.extra) << c.version;
    ByteReader in(bytes);
    EXPECT_EQ(in.U32(), bytes.size()) << "the leading size counts itself";
  }
}

// Random streams and mutated requests: nothing may read outside the bytes it
// was given (the sanitizer builds watch), and a decoded request never holds
// more colours than its packet carried.
TEST(PacketParsingFuzz, RandomBytesNeverCrossTheirBounds) {
  std::mt19937 random(20261211);
  const std::vector<Bytes> seeds = {EncodePacket(0, PacketId::kUpdateLeds, LedsData(3, 3)),
                                    EncodePacket(0, PacketId::kUpdateMode, ModeData(5, 1, 1, 1)),
                                    EncodePacket(1, PacketId::kUpdateSingleLed, Bytes{5, 0, 0, 0, 1, 2, 3, 0}),
                                    EncodePacket(0, PacketId::kRequestProtocolVersion)};
  std::size_t packets = 0, malformed = 0;
  for (int round = 0; round < 20000; ++round) {
    Bytes bytes = seeds[random() % seeds.size()];
    if (round % 3 == 0) {
      bytes.resize(random() % 64);
      for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
    } else {
      for (int flips = 1 + static_cast<int>(random() % 4); flips > 0 && !bytes.empty(); --flips)
        bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
      if (random() % 2) bytes.resize(random() % (bytes.size() + 1));
    }
    PacketReader reader(256);
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t chunk = std::min<std::size_t>(1 + random() % 7, bytes.size() - at);
      reader.Feed(std::span(bytes).subspan(at, chunk));
      at += chunk;
    }
    for (auto next = reader.Next(); !std::holds_alternative<PacketReader::NeedMore>(next); next = reader.Next()) {
      if (std::holds_alternative<PacketReader::Malformed>(next)) {
        ++malformed;
        break;
      }
      const Packet& packet = std::get<Packet>(next);
      ++packets;
      ASSERT_LE(packet.data.size(), 256u);
      for (const std::uint32_t version : {0u, 5u}) {
        const auto request = DecodeControllerRequest(Packet{0, packet.id, packet.data}, version);
        if (const auto* all = request ? std::get_if<SetAllLeds>(&*request) : nullptr) {
          EXPECT_LE(all->colours.size() * 4, packet.data.size());
        }
      }
    }
  }
  // The mutations must reach both sides, or the loop tests nothing.
  EXPECT_GT(packets, 1000u);
  EXPECT_GT(malformed, 1000u);
}

}  // namespace
}  // namespace brontal::sdk
