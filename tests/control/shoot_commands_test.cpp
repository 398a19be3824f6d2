// brontalctl's shoot command on the simulated mouse, as the owning program runs it.
#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "control/device_command_fixture.h"
#include "control/device_commands.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "helpers/temporary_folder.h"
#include "macros/shoot_file.h"
#include "macros/shoot_image.h"
#include "models/memory_layout.h"
#include "profiles/json_document.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

constexpr std::size_t kFactoryEvents = kShotCount * kShotEvents;
constexpr std::size_t kFactoryImageBytes = 2920;  // four factory patterns
constexpr std::size_t kChunkBytes = 56;

class ShootCommandsTest : public test::DeviceCommandFixture<CCorvaneMouseDevice> {
 protected:
  ShootCommandsTest() : DeviceCommandFixture(0x2003) {}

  DeviceReply Run(std::vector<std::string> words) {
    words.insert(words.begin(), {"shoot", "mouse"});
    return DeviceCommandFixture::Run(std::move(words));
  }
  Json::Value RunJson(std::vector<std::string> words) {
    words.push_back("--json");
    const DeviceReply reply = Run(std::move(words));
    EXPECT_EQ(reply.status, 0) << reply.err;
    Json::Value value;
    EXPECT_TRUE(Json::Reader().parse(reply.out, value)) << reply.out;
    return value;
  }

  ShootFiles Files() { return {Product()->UserDataFolder(), CCorvaneUSBDevice::DefaultDataFolder()}; }
  static std::string Text(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (std::size_t gun = 0; gun < kGunCount; ++gun) texts.push_back(Text(Files().Path(gun)));
    return texts;
  }
  // A hand-made pattern of `shots` shots pulling 1 right and 1 down.
  static void WritePattern(const std::filesystem::path& file, std::size_t shots) {
    Json::Value document;
    Json::Value& events = document["Events"] = Json::Value(Json::arrayValue);
    for (std::size_t b = 0; b < shots; ++b)
      for (const MacroEvent& event : ShotEvents({.x = 1, .y = 1, .pause = 60})) events.append(MacroEventToJson(event));
    ASSERT_TRUE(WriteJsonDocument(file, document));
  }
};

// Every gun starts from its factory file; a file that is not JSON is replaced first.
TEST_F(ShootCommandsTest, ListShowsTheFactoryPatternsOnceSetUp) {
  std::filesystem::create_directories(Files().Folder());
  std::ofstream(Files().Path(2)) << "not json";
  const Json::Value rows = RunJson({"list"});
  ASSERT_EQ(rows.size(), kGunCount);
  for (Json::ArrayIndex gun = 0; gun < kGunCount; ++gun) {
    EXPECT_EQ(rows[gun]["gun"].asUInt(), gun);
    EXPECT_EQ(rows[gun]["events"].asUInt(), kFactoryEvents);
    EXPECT_EQ(rows[gun]["shots"].asUInt(), kShotCount);
  }
  const std::string text = Run({"list"}).out;
  EXPECT_TRUE(text.starts_with("gun  events  shots\n  0     180     30\n")) << text;
}

// Negative X pulls left and negative Y up; the files change, the mouse does not.
TEST_F(ShootCommandsTest, SetShotsAreShownBackWithTheirDirections) {
  const DeviceReply set = Run({"set", "1", "0=-3,7,30", "29=4,-255,65535", "5=0,0,0"});
  ASSERT_EQ(set.status, 0) << set.err;
  const Json::Value rows = RunJson({"show", "1"});
  ASSERT_EQ(rows.size(), kShotCount);
  const auto row = [&](Json::ArrayIndex shot) {
    const Json::Value& r = rows[shot];
    return std::to_string(r["shot"].asUInt()) + " " + std::to_string(r["x"].asUInt()) + " " +
           r["x_direction"].asString() + " " + std::to_string(r["y"].asUInt()) + " " + r["y_direction"].asString() +
           " " + std::to_string(r["pause"].asInt64());
  };
  EXPECT_EQ(row(0), "0 3 left 7 down 30");
  EXPECT_EQ(row(29), "29 4 right 255 up 65535");
  EXPECT_EQ(row(5), "5 0 right 0 down 0");
  // The shot's six events, as the shoot page writes them.
  const std::vector<MacroEvent> pattern = Files().Patterns()[1];
  ASSERT_EQ(pattern.size(), kFactoryEvents);
  using namespace macro_event_type;
  const std::vector<MacroEvent> first(pattern.begin(), pattern.begin() + kShotEvents);
  EXPECT_EQ(first, (std::vector<MacroEvent>{{kMouseButton, 0x01, true, 10},
                                            {kMouseButton, 0x01, false, 0},
                                            {kHorizontalMove, 3, true, 5},
                                            {kVerticalMove, 7, false, 30},
                                            {kHorizontalMove, 0, true, 0},
                                            {kVerticalMove, 0, false, 0}}));
  for (const std::size_t gun : {0u, 2u, 3u})
    EXPECT_EQ(Text(Files().Path(gun)), Text(CCorvaneUSBDevice::DefaultDataFolder() / ShootFileName(gun))) << gun;
  const std::string text = Run({"show", "1"}).out;
  EXPECT_NE(text.find("\n   0    3  left     7  down     30\n"), std::string::npos) << text;
  EXPECT_TRUE(Requests().empty());
}

// The image of the four files at address 0 of the shoot memory, in 56-byte
// chunks between begin and end.
TEST_F(ShootCommandsTest, SendPutsTheImageOfTheFourFilesInTheShootMemory) {
  ASSERT_EQ(Run({"set", "3", "2=-1,2,90"}).status, 0);
  const Json::Value sent = RunJson({"send"});
  EXPECT_EQ(sent["bytes"].asUInt(), kFactoryImageBytes);
  ASSERT_EQ(sent["events"].size(), kGunCount);
  for (const Json::Value& events : sent["events"]) EXPECT_EQ(events.asUInt(), kFactoryEvents);
  EXPECT_EQ(CommandRuns(), (std::vector<std::uint8_t>{0x03, 0x01, 0x17, 0x02}));
  const std::vector<sim::JournalEntry> chunks = Requests(0x17);
  ASSERT_EQ(chunks.size(), (kFactoryImageBytes + kChunkBytes - 1) / kChunkBytes);
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    EXPECT_EQ(std::size_t{chunks[i].address}, i * kChunkBytes);
    EXPECT_EQ(std::size_t{chunks[i].length}, i + 1 < chunks.size() ? kChunkBytes : kFactoryImageBytes % kChunkBytes);
  }
  // Magic 0x55AA, the length and four records, little-endian.
  EXPECT_EQ(Memory(MemoryRegion::kShoot, 0, 6), (std::vector<std::uint8_t>{0xAA, 0x55, 0x68, 0x0B, 4, 0}));
  const auto image = std::get<std::vector<std::uint8_t>>(BuildShootImage(Files().Patterns()));
  EXPECT_EQ(Memory(MemoryRegion::kShoot, 0, image.size()), image);
  EXPECT_EQ(Run({"send"}).out, "4 patterns sent (2920 bytes)\n");
}

TEST_F(ShootCommandsTest, AFailedWriteIsAFailure) {
  Device().Faults().ErrorStatus(0xFF, 4);
  const DeviceReply reply = Run({"send"});
  EXPECT_EQ(reply.status, 1);
  EXPECT_NE(reply.err.find("the mouse did not take the patterns"), std::string::npos) << reply.err;
}

// A hand-edited pattern past what the image's 16-bit length can say is not
// sent; imported, it is cut to whole shots that fit.
TEST_F(ShootCommandsTest, APatternTooLongIsRefusedBySendAndCutByImport) {
  ASSERT_EQ(Run({"list"}).status, 0);
  WritePattern(Files().Path(0), 2734);
  const DeviceReply refused = Run({"send"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("too long to send: 571 events too many; nothing was sent"), std::string::npos)
      << refused.err;
  EXPECT_TRUE(Requests(0x17).empty());

  const test::TemporaryFolder outside("brontal_shoot_import");
  WritePattern(outside.path() / "long.shoot", 700);
  const DeviceReply imported = Run({"import", "0", (outside.path() / "long.shoot").string()});
  EXPECT_EQ(imported.status, 0);
  EXPECT_NE(imported.err.find("a pattern may have 4092 events; the other 108"), std::string::npos) << imported.err;
  EXPECT_EQ(RunJson({"list"})[0]["events"].asUInt(), LargestShootPattern(kLargestShootImage));
}

TEST_F(ShootCommandsTest, RefusalsChangeNothing) {
  ASSERT_EQ(Run({"list"}).status, 0);
  const std::vector<std::string> before = Texts();
  const test::TemporaryFolder outside("brontal_shoot_import");
  std::ofstream(outside.path() / "bad.shoot") << "{\"Events\": [";
  struct Case {
    std::vector<std::string> words;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{"show", "4"}, 2, "'4' is not a gun 0..3"},
      {{"set", "4", "0=1,1,1"}, 2, "'4' is not a gun 0..3"},
      {{"set", "0", "1=2,2,20", "30=1,1,1"}, 2, "'30' is not a shot 0..29"},
      {{"set", "0", "1=2,2,20", "2=1,1,70000"}, 2, "shot 2: PAUSE is 0..65535, not '70000'"},
      {{"set", "0", "1=256,1,1"}, 2, "shot 1: X is -255..255, not '256'"},
      {{"set", "0", "1=1,-256,1"}, 2, "shot 1: Y is -255..255, not '-256'"},
      {{"set", "0", "1=2,2"}, 2, "shot 1: '2,2' is not X,Y,PAUSE"},
      {{"set", "0", "1=2,2,20,5"}, 2, "is not X,Y,PAUSE"},
      {{"set", "0", "1"}, 2, "'1' is not SHOT=X,Y,PAUSE"},
      {{"set", "0"}, 2, "set takes a gun 0..3 and SHOT=X,Y,PAUSE pairs"},
      {{"reset"}, 2, "reset takes a gun 0..3"},
      {{"send", "0"}, 2, "send takes nothing more"},
      {{"set", "0", "1=1,1,1", "--json"}, 2, "only list, show and send take --json"},
      {{"fire"}, 2, "list, show N, set N"},
      {{"import", "1", (outside.path() / "bad.shoot").string()}, 1, "bad.shoot is not a shoot file"},
      {{"import", "1", (outside.path() / "none.shoot").string()}, 1, "none.shoot"},
  };
  for (const Case& c : cases) {
    const DeviceReply reply = Run(c.words);
    EXPECT_EQ(reply.status, c.status) << c.err;
    EXPECT_NE(reply.err.find(c.err), std::string::npos) << reply.err;
  }
  EXPECT_EQ(Texts(), before);
  EXPECT_TRUE(Requests().empty());
}

TEST(ShootCommand, OnlyTheMouseHasRecoilPatterns) {
  for (const std::string device : {"keyboard", "mousepad", "320f:5100"}) {
    DeviceCommandLine line;
    std::string error;
    EXPECT_FALSE(ParseDeviceCommand(std::vector<std::string>{"shoot", device, "list"}, line, error)) << device;
    EXPECT_EQ(error, "only the mouse has recoil patterns");
  }
}

// Export copies the file as it is; import puts it over another gun's, and
// reset brings the factory pattern back.
TEST_F(ShootCommandsTest, ExportImportAndResetCopyWholeFiles) {
  ASSERT_EQ(Run({"set", "2", "5=-9,-8,77"}).status, 0);
  const test::TemporaryFolder outside("brontal_shoot_export");
  const std::string file = (outside.path() / "gun2.shoot").string();
  ASSERT_EQ(Run({"export", "2", file}).status, 0);
  EXPECT_EQ(Text(file), Text(Files().Path(2)));

  ASSERT_EQ(Run({"reset", "2"}).status, 0);
  EXPECT_EQ(Text(Files().Path(2)), Text(CCorvaneUSBDevice::DefaultDataFolder() / ShootFileName(2)));

  ASSERT_EQ(Run({"import", "3", file}).status, 0);
  EXPECT_EQ(Text(Files().Path(3)), Text(file));
  const Json::Value shot = RunJson({"show", "3"})[5];
  EXPECT_EQ(shot["x"].asUInt(), 9u);
  EXPECT_EQ(shot["x_direction"], "left");
  EXPECT_EQ(shot["y"].asUInt(), 8u);
  EXPECT_EQ(shot["y_direction"], "up");
  EXPECT_EQ(shot["pause"].asInt(), 77);

  const DeviceReply nowhere = Run({"export", "3", (outside.path() / "no" / "such.shoot").string()});
  EXPECT_EQ(nowhere.status, 1);
  EXPECT_NE(nowhere.err.find("the pattern could not be copied to"), std::string::npos) << nowhere.err;
  EXPECT_TRUE(Requests().empty());
}

}  // namespace
}  // namespace brontal
