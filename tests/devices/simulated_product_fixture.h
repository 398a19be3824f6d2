#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devices/discovery_thread.h"
#include "devices/roster_fixture.h"
#include "helpers/private_user_folders.h"
#include "helpers/pump_until.h"
#include "macros/macro_file.h"
#include "macros/macro_index.h"
#include "models/memory_layout.h"

namespace brontal::test {

// A product plugged into the simulator (on its cable or through its
// receiver), found and opened as the main window does it, with its profiles
// in a private folder; what reached it is read from the simulated device's
// journal.
template <typename DeviceT>
class SimulatedProductFixture : public DeviceUiFixture {
 protected:
  static constexpr std::uint16_t kVendor = 0x320F;

  explicit SimulatedProductFixture(std::uint16_t product, std::uint16_t vendor = kVendor)
      : vendor_(vendor), product_(product) {
    roster_.profile_panels = true;
    simulator().Plug(vendor, product);
  }
  ~SimulatedProductFixture() override { discovery_.Stop(); }

  template <typename Predicate>
  bool PumpUntil(Predicate done) {
    return test::PumpUntil(loop, done);
  }

  sim::SimulatedDevice& Device() { return *simulator().Device(vendor_, product_); }

  DeviceT* Product() { return roster_.devices().empty() ? nullptr : dynamic_cast<DeviceT*>(roster_.devices().front()); }

  // Discovery finds it and opens its channel; the connect timer has not run.
  DeviceT& Open() {
    discovery_.Start();
    EXPECT_TRUE(PumpUntil([&] { return Product() && Product()->channel().open(); }));
    return *Product();
  }

  // Runs a write and waits for its outcome.
  template <typename Outcome, typename Write>
  Outcome Awaited(Write write) {
    std::optional<Outcome> outcome;
    write([&](const Outcome& told) { outcome = told; });
    EXPECT_TRUE(PumpUntil([&] { return outcome.has_value(); }));
    return outcome.value_or(Outcome{});
  }
  template <typename Write>
  bool Written(Write write) {
    return Awaited<bool>(std::move(write));
  }

  // Macros "m0", "m1", ... with these events, listed in the device's folder.
  static void SaveMacros(const std::filesystem::path& folder, const std::vector<std::vector<MacroEvent>>& macros) {
    MacroIndex index;
    for (std::size_t i = 0; i < macros.size(); ++i) {
      const std::string guid = "g" + std::to_string(i);
      ASSERT_TRUE(SaveMacroFile(folder, guid, "m" + std::to_string(i), macros[i]));
      index.Append("m" + std::to_string(i), guid);
    }
    ASSERT_TRUE(index.Write(folder));
  }

  // The command codes the host sent, runs of one code counted once.
  std::vector<std::uint8_t> CommandRuns() {
    std::vector<std::uint8_t> runs;
    for (const sim::JournalEntry& e : Requests())
      if (runs.empty() || runs.back() != e.command) runs.push_back(e.command);
    return runs;
  }
  std::size_t BytesOf(std::uint8_t command) {
    std::size_t total = 0;
    for (const sim::JournalEntry& e : Requests(command)) total += e.length;
    return total;
  }
  std::vector<std::uint8_t> Memory(sim::MemoryRegion region, std::size_t address, std::size_t length) {
    return Device().ReadMemory(region, address, length).value_or(std::vector<std::uint8_t>{});
  }

  std::vector<sim::JournalEntry> Requests() { return Device().Journal().Entries(); }
  std::vector<sim::JournalEntry> Requests(std::uint8_t command) {
    std::vector<sim::JournalEntry> found;
    for (const sim::JournalEntry& e : Requests())
      if (e.command == command) found.push_back(e);
    return found;
  }

  const std::uint16_t vendor_;
  const std::uint16_t product_;
  PrivateUserFolders folders_;
  SlotList slots_;
  DeviceRoster roster_{window, slots_};
  DiscoveryThread discovery_{slots_, loop,
                             [this](const WindowMessage& m) {
                               if (m.id == kMsgDeviceArrived) roster_.OnDeviceArrived(m.wparam);
                               if (m.id == kMsgDeviceRemoved) roster_.OnDeviceRemoved(m.wparam);
                             },
                             0xC001};
};

}  // namespace brontal::test
