#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/writer.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/bus/bus_socket.h"
#include "cli/run_brontalctl.h"
#include "cli/udev_rules_text.h"
#include "control/control_socket.h"
#include "device_access/hid_backend.h"
#include "devices/device_lock.h"
#include "helpers/temporary_folder.h"
#include "profiles/scoped_environment.h"
#include "support/private_folder.h"
#include "support/user_folders.h"
#include "transport/in_process_simulation.h"

namespace brontal {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

constexpr const char* kRuleFile = "70-brontal-driver.rules";

// The rule as an older release shipped it: one product short.
std::string OutdatedRule() {
  std::string text(UdevRulesText());
  text.erase(text.rfind("SUBSYSTEM=="));
  return text;
}

// Two rule folders (the first one udev's /etc) and a runtime folder of the
// test's own, so that neither the machine's rule nor a running brontal-driver
// decides the outcome.
class DoctorTest : public ::testing::Test {
 protected:
  DoctorTest()
      : rules_("BRONTAL_UDEV_RULES_DIRS", (root_.path() / "etc").string() + ":" + (root_.path() / "lib").string()),
        runtime_("XDG_RUNTIME_DIR", (root_.path() / "run").string()) {
    for (const char* folder : {"etc", "lib", "run"}) fs::create_directories(root_.path() / folder);
  }

  std::string RulePath(const char* folder) const { return (root_.path() / folder / kRuleFile).string(); }
  void WriteRule(const char* folder, const std::string& text) const {
    std::ofstream(RulePath(folder), std::ios::binary) << text;
  }
  std::string InstallFix() const {
    return "brontalctl udev-rules | sudo tee " + RulePath("etc") +
           " && sudo udevadm control --reload && sudo udevadm trigger";
  }

  static Json::Value Parse(const std::string& text) {
    Json::Value v;
    EXPECT_TRUE(Json::Reader().parse(text, v)) << text;
    return v;
  }
  static bool Contains(const Json::Value& list, const std::string& text) {
    for (const Json::Value& item : list)
      if (item.asString() == text) return true;
    return false;
  }

  test::TemporaryFolder root_{"brontal_doctor"};
  testing::ScopedEnvironment rules_;
  testing::ScopedEnvironment runtime_;
};

TEST_F(DoctorTest, AllWellIsOneOkLinePerCheckAndExitZero) {
  WriteRule("etc", std::string(UdevRulesText()));
  const auto r = RunCli({"doctor", "--simulate"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  std::istringstream lines(r.out);
  std::string line;
  int opened = 0;
  while (std::getline(lines, line)) {
    EXPECT_TRUE(line.starts_with("ok      ")) << line;
    opened += line.find(" collection (interface 1, collection ") != std::string::npos &&
              line.find(" opens: ") != std::string::npos;
  }
  EXPECT_EQ(opened, 6);  // command and event collections of keyboard, receiver and mouse

  const Json::Value v = Parse(RunCli({"doctor", "--simulate", "--json"}).out);
  EXPECT_TRUE(v["ok"].asBool());
  EXPECT_EQ(v["udev_rule"]["state"].asString(), "current");
  EXPECT_FALSE(v["brontal_driver"]["running"].asBool());
  ASSERT_EQ(v["products"].size(), 3u);
  for (const Json::Value& product : v["products"]) {
    ASSERT_EQ(product["collections"].size(), 2u) << product["name"];
    EXPECT_EQ(product["collections"][0]["role"].asString(), "command");
    EXPECT_EQ(product["collections"][1]["role"].asString(), "event");
    for (const Json::Value& c : product["collections"]) {
      EXPECT_TRUE(c["openable"].asBool()) << c["path"];
      EXPECT_FALSE(c.isMember("reason"));
      EXPECT_TRUE(c["path"].asString().starts_with("\\\\?\\hid#vid_320f"));
    }
    EXPECT_FALSE(product["holder"]["held"].asBool());
    EXPECT_TRUE(product["fixes"].empty());
  }
}

TEST_F(DoctorTest, TheRuleUdevReadsDecides) {
  struct Case {
    const char* name;
    std::optional<std::string> etc, lib;
    const char* state;
    const char* file;  // folder of the file reported
  };
  const std::string current(UdevRulesText());
  const Case cases[] = {
      {"none", std::nullopt, std::nullopt, "missing", nullptr},
      {"current", current, std::nullopt, "current", "etc"},
      {"packaged", std::nullopt, current, "current", "lib"},
      {"outdated", OutdatedRule(), std::nullopt, "outdated", "etc"},
      {"outdated copy hides the packaged one", OutdatedRule(), current, "outdated", "etc"},
      {"current copy hides an outdated package", current, OutdatedRule(), "current", "etc"},
      {"empty", std::string(), std::nullopt, "outdated", "etc"},
  };
  for (const Case& c : cases) {
    for (const char* folder : {"etc", "lib"}) fs::remove(RulePath(folder));
    if (c.etc) WriteRule("etc", *c.etc);
    if (c.lib) WriteRule("lib", *c.lib);
    const auto r = RunCli({"doctor", "--simulate", "320f:2003", "--json"});
    const Json::Value v = Parse(r.out);
    const bool current_rule = std::string(c.state) == "current";
    EXPECT_EQ(r.status, current_rule ? 0 : 1) << c.name;
    EXPECT_EQ(v["udev_rule"]["state"].asString(), c.state) << c.name;
    EXPECT_EQ(v["udev_rule"]["file"].asString(), c.file ? RulePath(c.file) : "") << c.name;
    EXPECT_EQ(Contains(v["udev_rule"]["fixes"], InstallFix()), !current_rule) << c.name;
  }
}

TEST_F(DoctorTest, AMissingRuleIsAProblemWithItsCommandBelowIt) {
  const auto r = RunCli({"doctor", "--simulate", "320f:2003"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.starts_with("problem udev rule not installed (looked in " + (root_.path() / "etc").string() + ", " +
                                (root_.path() / "lib").string() + ";"))
      << r.out;
  EXPECT_NE(r.out.find("\n        " + InstallFix() + "\n        then re-plug the device\n"), std::string::npos)
      << r.out;
}

// The simulated bus, with every open answered the way a refusing node answers.
class RefusingOpens : public HidBackend {
 public:
  RefusingOpens(std::shared_ptr<HidBackend> bus, HidOpenResult result) : bus_(std::move(bus)), result_(result) {}
  bool Enumerate(std::vector<HidNodeInfo>& nodes) override { return bus_->Enumerate(nodes); }
  bool Describe(std::string_view node, HidNodeInfo& info) override { return bus_->Describe(node, info); }
  HidOpenResult Open(std::string_view, std::string_view, bool, bool, UniqueFd&) override { return result_; }
  bool IsPresent(std::string_view node, std::string_view instance) override { return bus_->IsPresent(node, instance); }

 private:
  std::shared_ptr<HidBackend> bus_;
  HidOpenResult result_;
};

TEST_F(DoctorTest, ACollectionThatDoesNotOpenSaysWhyAndWhatFixesIt) {
  struct Case {
    HidOpenResult result;
    bool rule_installed;
    const char* reason;
    std::string fix;
  };
  const Case cases[] = {
      {HidOpenResult::kPermissionDenied, false, "permission", InstallFix()},
      {HidOpenResult::kPermissionDenied, true, "permission", "sudo udevadm control --reload && sudo udevadm trigger"},
      {HidOpenResult::kGone, true, "missing", "plug the device in and run 'brontalctl doctor' again"},
      {HidOpenResult::kFailed, true, "failed", "re-plug the device"},
  };
  sim::InProcessSimulation simulation({{0x320F, 0x2003}});
  const std::shared_ptr<HidBackend> bus = HidBus::Active();
  for (const Case& c : cases) {
    fs::remove(RulePath("etc"));
    if (c.rule_installed) WriteRule("etc", std::string(UdevRulesText()));
    HidBus::SetSimulated(std::make_shared<RefusingOpens>(bus, c.result));
    const auto r = RunCli({"doctor", "--json"});
    HidBus::SetSimulated(bus);
    EXPECT_EQ(r.status, 1) << c.reason;
    const Json::Value v = Parse(r.out);
    ASSERT_EQ(v["products"].size(), 1u) << r.out;
    const Json::Value& mouse = v["products"][0];
    EXPECT_EQ(mouse["name"].asString(), "320f:2003 mouse (cable)");
    for (const Json::Value& collection : mouse["collections"]) {
      EXPECT_FALSE(collection["openable"].asBool());
      EXPECT_EQ(collection["reason"].asString(), c.reason);
    }
    EXPECT_TRUE(Contains(mouse["fixes"], c.fix)) << c.reason << ": " << mouse["fixes"];
  }
}

TEST_F(DoctorTest, NoSupportedDeviceIsAProblemAndTheRuleIsStillChecked) {
  WriteRule("etc", OutdatedRule());
  sim::InProcessSimulation empty({});
  const auto r = RunCli({"doctor"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("problem udev rule outdated: " + RulePath("etc")), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("problem no supported device found\n"), std::string::npos) << r.out;
}

// The lock is per bus; this process's simulated bus is one and the same for
// the lock taken here and for the command.
UniqueFd HoldKeyboard() {
  sim::InProcessSimulation bus({});
  UniqueFd lock;
  EXPECT_EQ(LockDevice(0x320F, 0x5100, lock), DeviceLockResult::kHeld);
  return lock;
}

TEST_F(DoctorTest, ADeviceHeldByAnotherProgramNamesItsHolder) {
  WriteRule("etc", std::string(UdevRulesText()));
  const UniqueFd lock = HoldKeyboard();
  const auto r = RunCli({"doctor", "--simulate", "--json"});
  EXPECT_EQ(r.status, 1);
  const Json::Value v = Parse(r.out);
  ASSERT_EQ(v["products"].size(), 3u);
  const std::string holder = "(pid " + std::to_string(::getpid()) + ")";
  // The receiver is the keyboard's other link and shares its lock.
  for (int i : {0, 1}) {
    const Json::Value& held = v["products"][i]["holder"];
    EXPECT_TRUE(held["held"].asBool()) << i;
    EXPECT_EQ(held["by"].asString(), "another program");
    ASSERT_EQ(held["programs"].size(), 1u);
    EXPECT_TRUE(held["programs"][0].asString().ends_with(holder)) << held["programs"][0];
    EXPECT_FALSE(v["products"][i]["fixes"].empty());
  }
  EXPECT_FALSE(v["products"][2]["holder"]["held"].asBool());
  const auto text = RunCli({"doctor", "--simulate"});
  EXPECT_NE(text.out.find("problem 320f:5100 keyboard (cable): in use by another program ("), std::string::npos)
      << text.out;
}

TEST_F(DoctorTest, ADeviceHeldWhileBrontalDriverServesIsWell) {
  WriteRule("etc", std::string(UdevRulesText()));
  std::string error;
  ASSERT_TRUE(PreparePrivateFolder(UserRuntimeFolder(), error)) << error;
  const UniqueFd server = ListenAt(DeviceControlSocketPath());
  ASSERT_TRUE(server.valid());
  const UniqueFd lock = HoldKeyboard();
  const auto r = RunCli({"doctor", "--simulate"});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("ok      brontal-driver runs (" + DeviceControlSocketPath().string() +
                       "): device commands go through it\n"),
            std::string::npos)
      << r.out;
  const std::size_t at = r.out.find("ok      320f:5100 keyboard (cable): in use (");
  ASSERT_NE(at, std::string::npos) << r.out;
  const std::string line = r.out.substr(at, r.out.find('\n', at) - at);
  EXPECT_TRUE(line.ends_with("; brontal-driver runs, so device commands go through it")) << line;
}

TEST_F(DoctorTest, TakesNoArgumentButJson) {
  const auto r = RunCli({"doctor", "keyboard", "--simulate"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("unexpected argument 'keyboard'"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace brontal
