// "layer" and "defaults" as the owning program runs them: the keyboard's
// journal and profile files show what they did.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "control/device_commands.h"
#include "devices/keyboard_fixture.h"
#include "models/memory_layout.h"
#include "ui/controls/device_profile_ui.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

constexpr std::uint8_t kReadKeyTable = 0x08;
constexpr std::uint8_t kWriteKeyTable = 0x09;
constexpr std::uint8_t kWriteSettings = 0x06;
constexpr std::size_t kTableStride = 0x180;  // one on-board index's key table
constexpr std::uint16_t kKeyA = 64;

class LayerAndDefaultsCommandsTest : public test::KeyboardFixture {
 protected:
  LayerAndDefaultsCommandsTest() { Connect(); }

  DeviceReply Run(std::vector<std::string> args) {
    std::optional<DeviceReply> reply;
    RunDeviceRequest(roster_, {std::move(args), "test"}, [&](DeviceReply r) { reply = std::move(r); });
    EXPECT_TRUE(PumpUntil([&] { return reply.has_value(); }));
    return reply.value_or(DeviceReply{-1, "", "no reply"});
  }
  // The key table and settings work that reached the keyboard after `from` requests.
  std::vector<std::uint8_t> TableWork(std::size_t from) {
    std::vector<std::uint8_t> runs;
    const std::vector<sim::JournalEntry> entries = Requests();
    for (std::size_t i = from; i < entries.size(); ++i) {
      const std::uint8_t c = entries[i].command;
      const bool table_work = c == kReadKeyTable || c == kWriteKeyTable || c == kWriteSettings;
      if (table_work && (runs.empty() || runs.back() != c)) runs.push_back(c);
    }
    return runs;
  }
  std::vector<std::uint8_t> HeldAction(std::size_t index, std::size_t key) {
    return Device()
        .ReadMemory(MemoryRegion::kKeyTables, index * kTableStride + Keyboard()->maps().slot[key] * 3u, 3)
        .value_or(std::vector<std::uint8_t>{});
  }
  CDeviceProfileUI& Profiles() { return *Keyboard()->profile_panel(); }
};

TEST_F(LayerAndDefaultsCommandsTest, LayerSelectsTheProfileAndWritesThatLayersKeyTableWithoutTheSettings) {
  ASSERT_EQ(Run({"assign", "keyboard", "64=200005", "--index", "2"}).status, 0);
  const std::size_t from = Requests().size();
  const DeviceReply reply = Run({"layer", "keyboard", "2"});
  ASSERT_EQ(reply.status, 0) << reply.err;
  EXPECT_EQ(Profiles().SelectedIndex(), 2);
  EXPECT_EQ(TableWork(from), (std::vector<std::uint8_t>{kReadKeyTable, kWriteKeyTable}));
  EXPECT_EQ(Requests(kWriteKeyTable).back().address / kTableStride, 2u);
  // The list is the layer's as the keyboard holds it.
  const auto key = std::ranges::find(Keyboard()->keys(), kKeyA, &KeyAssignment::key_index);
  ASSERT_NE(key, Keyboard()->keys().end());
  EXPECT_EQ(key->assignment, (KeyAction{0x20, 0x00, 0x05}));
}

TEST_F(LayerAndDefaultsCommandsTest, UsageErrorsTouchNothing) {
  const std::size_t before = Requests().size();
  for (const std::vector<std::string>& args : {std::vector<std::string>{"layer", "keyboard", "4"},
                                               {"layer", "keyboard", "-1"},
                                               {"layer", "keyboard"},
                                               {"layer", "keyboard", "1", "2"},
                                               {"layer", "mouse", "1"},
                                               {"defaults", "keyboard", "now"}}) {
    const DeviceReply reply = Run(args);
    EXPECT_EQ(reply.status, 2) << args[1] << " " << (args.size() > 2 ? args[2] : "");
    EXPECT_FALSE(reply.err.empty());
  }
  EXPECT_EQ(Requests().size(), before);
  EXPECT_EQ(Profiles().SelectedIndex(), 0);
}

TEST_F(LayerAndDefaultsCommandsTest, ALayerWhoseProfileWasDeletedIsRefused) {
  ASSERT_EQ(Run({"profile", "keyboard", "select", "profile4"}).status, 0);
  ASSERT_EQ(Run({"profile", "keyboard", "delete"}).status, 0);
  const int selected = Profiles().SelectedIndex();
  const std::size_t from = Requests().size();
  const DeviceReply reply = Run({"layer", "keyboard", "3"});
  EXPECT_EQ(reply.status, 1);
  EXPECT_NE(reply.err.find("position 4"), std::string::npos) << reply.err;
  EXPECT_EQ(Profiles().SelectedIndex(), selected);
  EXPECT_TRUE(TableWork(from).empty());
}

TEST_F(LayerAndDefaultsCommandsTest, DefaultsRestoresTheProfileThenWritesLayerZeroAndTheSettings) {
  ASSERT_EQ(Run({"assign", "keyboard", "64=media_play", "--index", "0"}).status, 0);
  ASSERT_EQ(Run({"set", "keyboard", "brightness=1", "polling-rate=3", "repeat=9"}).status, 0);
  const std::size_t from = Requests().size();
  const DeviceReply reply = Run({"defaults", "keyboard"});
  ASSERT_EQ(reply.status, 0) << reply.err;

  CKeyboardProfiledata factory;
  factory.Load(Keyboard()->DefaultDataFile());
  CKeyboardProfiledata file;
  file.Load(Keyboard()->profile().ProfilePath());
  EXPECT_EQ(file.GetLight(), factory.GetLight());
  EXPECT_EQ(file.GetKeyboardSystem(), factory.GetKeyboardSystem());
  EXPECT_EQ(file.GetStoredKeyList(), factory.GetStoredKeyList());

  EXPECT_EQ(TableWork(from), (std::vector<std::uint8_t>{kWriteKeyTable, kWriteSettings}));
  EXPECT_EQ(Requests(kWriteKeyTable).back().address / kTableStride, 0u);
  EXPECT_EQ(Requests(kWriteSettings).back().payload.at(22), factory.GetKeyboardSystem().polling_rate);
  EXPECT_EQ(HeldAction(0, kKeyA), (std::vector<std::uint8_t>{0x20, 0x00, 0x04}));
}

}  // namespace
}  // namespace brontal
