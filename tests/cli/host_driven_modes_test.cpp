// The lighting modes whose lights the host draws, as brontalctl shows them
// and as it warns about them while it holds a device itself (it does not
// animate, so those lights follow only while brontal-driver runs).
#include <gtest/gtest.h>
#include <json/reader.h>

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/brontalctl.h"
#include "cli/run_brontalctl.h"
#include "control/light_mode_names.h"
#include "helpers/private_user_folders.h"
#include "profiles/scoped_environment.h"

namespace brontal {
namespace {

using test::CliResult;
using test::RunCli;

// Profiles and device locks in folders of the test's own, so that neither the
// user's files nor another test's hold on the simulated devices counts.
class SimulatedDevicesTest : public ::testing::Test {
 protected:
  SimulatedDevicesTest() {
    std::filesystem::create_directory(folders_.path() / "run");
    std::filesystem::permissions(folders_.path() / "run", std::filesystem::perms::owner_all);
  }

  // brontalctl's hold on a device runs on Qt's event loop, which its main makes ready.
  static void SetUpTestSuite() { application_ = std::make_unique<QCoreApplication>(argc_, argv_.data()); }
  static void TearDownTestSuite() { application_.reset(); }

  static inline int argc_ = 1;
  static inline char name_[] = "brontalctl";
  static inline std::array<char*, 2> argv_ = {name_, nullptr};
  static inline std::unique_ptr<QCoreApplication> application_;

  test::PrivateUserFolders folders_;
  testing::ScopedEnvironment runtime_{"XDG_RUNTIME_DIR", (folders_.path() / "run").string()};
};

TEST_F(SimulatedDevicesTest, ModesListTheFactoryModesWithTheOnesTheHostDraws) {
  struct Case {
    const char* device;
    std::size_t light_slot;
    Json::UInt count;
    std::set<Json::UInt> host_driven;
  };
  const Case cases[] = {{"keyboard", 0, 31, {29, 30}}, {"mouse", 1, 12, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device);
    const std::vector<LightMode> factory = FactoryLightModes(c.light_slot);
    ASSERT_EQ(factory.size(), c.count);

    const CliResult json = RunCli({"lighting", "modes", c.device, "--json", "--simulate"});
    ASSERT_EQ(json.status, kExitOk) << json.err;
    Json::Value rows;
    ASSERT_TRUE(Json::Reader().parse(json.out, rows)) << json.out;
    ASSERT_TRUE(rows.isArray());
    ASSERT_EQ(rows.size(), c.count);
    for (Json::UInt i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE("mode " + std::to_string(i));
      EXPECT_EQ(rows[i]["index"].asUInt(), i);
      EXPECT_EQ(rows[i]["name"].asString(), factory[i].name);
      EXPECT_EQ(rows[i]["code"].asInt(), factory[i].value);
      EXPECT_EQ(rows[i]["visible"].asBool(), factory[i].visible);
      EXPECT_EQ(rows[i]["host_driven"].asBool(), c.host_driven.contains(i));
    }

    // The table says the same: index, code, host, name.
    const CliResult text = RunCli({"lighting", "modes", c.device, "--simulate"});
    ASSERT_EQ(text.status, kExitOk) << text.err;
    std::istringstream lines(text.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "index  code  host  name");
    Json::UInt row = 0;
    for (; std::getline(lines, line); ++row) {
      std::istringstream words(line);
      Json::UInt index = 0;
      int code = 0;
      std::string host;
      words >> index >> code >> host;
      EXPECT_EQ(index, row) << line;
      if (row < factory.size()) {
        EXPECT_EQ(code, factory[row].value) << line;
      }
      EXPECT_EQ(host, c.host_driven.contains(row) ? "yes" : "no") << line;
    }
    EXPECT_EQ(row, c.count);
  }
}

TEST_F(SimulatedDevicesTest, SettingAHostDrivenModeWithoutBrontalDriverSucceedsWithANote) {
  struct Case {
    std::vector<std::string> settings;
    bool note;
  };
  const Case cases[] = {
      {{"mode=29"}, true},
      {{"mode=30"}, true},
      {{"mode=Music", "brightness=3"}, true},
      {{"mode=5"}, false},
      {{"mode=Breathing", "brightness=2"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings.front());
    std::vector<std::string> words = {"set", "keyboard", "--simulate"};
    words.insert(words.end(), c.settings.begin(), c.settings.end());
    const CliResult r = RunCli(words);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out, "");
    if (c.note) {
      EXPECT_TRUE(r.err.starts_with("brontalctl: set: ")) << r.err;
      EXPECT_NE(r.err.find("only while brontal-driver runs"), std::string::npos) << r.err;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    } else {
      EXPECT_EQ(r.err, "");
    }
  }
}

}  // namespace
}  // namespace brontal
