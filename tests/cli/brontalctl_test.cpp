#include <gtest/gtest.h>
#include <json/reader.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/run_brontalctl.h"

namespace brontal {
namespace {

using test::RunCli;

std::string DataFile(const std::string& name) { return std::string(BRONTAL_TEST_DATA) + "/rdesc/" + name + ".hex"; }

std::string WriteTemp(const std::string& name, const std::string& content) {
  const auto path = std::filesystem::temp_directory_path() / ("brontalctl_test_" + name);
  std::ofstream(path, std::ios::binary) << content;
  return path.string();
}

TEST(Brontalctl, DescribePrintsCollectionsOfAHexFile) {
  const auto r = RunCli({"describe", DataFile("hidapi_046d_c52f_if1_receiver")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "collection 1  usage 000c:0001  input 5 (ids 3)  output 0  feature 0\n"
            "collection 2  usage ff00:0001  input 7 (ids 16)  output 7 (ids 16)  feature 0\n"
            "collection 3  usage ff00:0002  input 20 (ids 17)  output 20 (ids 17)  feature 0\n");
}

TEST(Brontalctl, DescribeJsonHasTheDocumentedMembers) {
  // Binary input this time: the bytes of a mouse descriptor.
  const std::string binary = {0x05,
                              0x01,
                              0x09,
                              0x02,
                              static_cast<char>(0xA1),
                              0x01,
                              0x15,
                              0x00,
                              0x25,
                              0x01,
                              0x75,
                              0x01,
                              static_cast<char>(0x95),
                              0x08,
                              static_cast<char>(0x81),
                              0x02,
                              static_cast<char>(0xC0)};
  const auto r = RunCli({"describe", WriteTemp("mouse.bin", binary), "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json::Value v;
  ASSERT_TRUE(Json::Reader().parse(r.out, v));
  ASSERT_TRUE(v.isArray());
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0]["collection"].asInt(), 1);
  EXPECT_EQ(v[0]["usage_page"].asInt(), 1);
  EXPECT_EQ(v[0]["usage"].asInt(), 2);
  EXPECT_EQ(v[0]["input_report_length"].asInt(), 2);
  EXPECT_EQ(v[0]["output_report_length"].asInt(), 0);
  EXPECT_EQ(v[0]["feature_report_length"].asInt(), 0);
  ASSERT_EQ(v[0]["report_ids"]["input"].size(), 1u);
  EXPECT_EQ(v[0]["report_ids"]["input"][0].asInt(), 0);
  EXPECT_TRUE(v[0]["report_ids"]["output"].empty());
}

TEST(Brontalctl, BadUsageAndBadInputExitWithTwoAndOneLine) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{}, "Usage: brontalctl"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{"describe"}, "describe needs a FILE"},
      {{"describe", "/nonexistent/file"}, "cannot read /nonexistent/file"},
      {{"describe", WriteTemp("unclosed.hex", "a1 01 09 01")},
       "malformed report descriptor: 1 collection(s) not closed"},
      {{"describe", WriteTemp("odd.hex", "05 1")}, "not hexadecimal bytes: '1'"},
      {{"list", "--jsn"}, "unknown option '--jsn'"},
      {{"udev-rules", "extra"}, "takes no arguments"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    const std::vector<std::string_view> args(c.args.begin(), c.args.end());
    EXPECT_EQ(RunBrontalctl(args, out, err), kExitUsage) << c.message;
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
  }
}

TEST(Brontalctl, OptionsStandAnywhere) {
  const std::string file = DataFile("hidapi_046d_c52f_if1_receiver");
  const auto before = RunCli({"describe", "--json", file});
  const auto after = RunCli({"describe", file, "--json"});
  EXPECT_EQ(before.status, 0) << before.err;
  EXPECT_EQ(before.out, after.out);
  EXPECT_EQ(RunCli({"describe", "--", file}).status, 0);
}

TEST(Brontalctl, EveryCommandExplainsItself) {
  for (std::string_view command :
       {"list", "describe", "monitor", "show", "set", "keys", "assign", "colors", "profile"}) {
    const auto r = RunCli({command, "--help"});
    EXPECT_EQ(r.status, 0) << command << ": " << r.err;
    EXPECT_TRUE(r.out.starts_with("Usage: brontalctl " + std::string(command))) << r.out;
  }
}

// Refused before any device or file is touched.
TEST(Brontalctl, DeviceCommandUsageErrorsExitWithTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"show"}, "which device?"},
      {{"show", "toaster"}, "'toaster' is not a supported device"},
      {{"show", "1234:5678"}, "'1234:5678' is not a supported device"},
      {{"show", "keyboard", "extra"}, "unexpected argument 'extra'"},
      {{"set", "keyboard"}, "nothing to set"},
      {{"set", "keyboard", "bogus=1"}, "no setting 'bogus'"},
      {{"set", "keyboard", "brightness=5"}, "'5' is not a value of brightness"},
      {{"set", "keyboard", "polling-rate=4"}, "'4' is not a value of polling-rate"},
      {{"set", "keyboard", "color=12345"}, "'12345' is not a value of color"},
      {{"set", "keyboard", "mode=no such mode"}, "is not a value of mode"},
      {{"set", "keyboard", "brightness"}, "'brightness' is not NAME=VALUE"},
      {{"keys", "keyboard", "--index", "4"}, "--index takes an on-board index 0..3"},
      {{"keys", "keyboard", "--fn", "--index", "1"}, "--index does not go with --fn"},
      {{"assign", "keyboard", "126=200004"}, "'126' is not a logical key"},
      {{"assign", "keyboard", "4=20004"}, "'20004' is not an action"},
      {{"colors", "keyboard", "4=gg0000"}, "'4=gg0000' is not KEY=RRGGBB"},
      {{"colors", "keyboard", "--group", "8"}, "--group takes a custom group 0..7"},
      {{"profile", "keyboard"}, "list, select NAME"},
      {{"profile", "keyboard", "rename", "   "}, "the name is blank"},
      {{"profile", "keyboard", "select"}, "select takes one argument"},
      {{"set", "keyboard", "--frob"}, "unknown option '--frob'"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    const std::vector<std::string_view> args(c.args.begin(), c.args.end());
    EXPECT_EQ(RunBrontalctl(args, out, err), kExitUsage) << c.message;
    const std::string said = err.str();
    EXPECT_NE(said.find(c.message), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  }
}

// A bus that is no bus is refused, never taken for the devices plugged in.
TEST(Brontalctl, AnUnknownBusIsAnErrorNotTheRealDevices) {
  const char* saved = std::getenv("BRONTAL_HID");
  for (const char* value : {"bogus", "sim", "sim:", "hidraw"}) {
    ::setenv("BRONTAL_HID", value, 1);
    for (std::string_view command : {"list", "info", "show"}) {
      std::ostringstream out, err;
      std::vector<std::string_view> args{command};
      if (command == "show") args.push_back("keyboard");
      EXPECT_EQ(RunBrontalctl(args, out, err), kExitUsage) << value << " " << command;
      EXPECT_NE(err.str().find(std::string("BRONTAL_HID=") + value + " names no bus"), std::string::npos) << err.str();
    }
  }
  if (saved)
    ::setenv("BRONTAL_HID", saved, 1);
  else
    ::unsetenv("BRONTAL_HID");
}

TEST(Brontalctl, MonitorNamesTheValueItRefuses) {
  for (const char* value : {"abc", "0", "-3", "2147484", "99999999999999999999"}) {
    const auto r = RunCli({"monitor", "--for", value});
    EXPECT_EQ(r.status, kExitUsage) << value;
    EXPECT_NE(r.err.find(std::string("not '") + value + "'"), std::string::npos) << r.err;
  }
}

TEST(Brontalctl, InfoReadsEverySimulatedProduct) {
  const auto r = RunCli({"info", "--simulate"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "320f:5100 keyboard (cable)  key slots 126  macro memory 4096 bytes\n"
            "320f:5103 keyboard (receiver)  key slots 126  macro memory 4096 bytes\n"
            "320f:2003 mouse (cable)  key slots 10  macro memory 2048 bytes  sensor 3325  DPI step 100  "
            "largest stage 108  base DPI 100\n");

  const auto json = RunCli({"--simulate", "320f:2003", "info", "--json"});
  Json::Value v;
  ASSERT_TRUE(Json::Reader().parse(json.out, v));
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0]["link"].asString(), "wired");
  EXPECT_EQ(v[0]["sensor_code"].asInt(), 0x3325);
  EXPECT_EQ(v[0]["base_dpi"].asInt(), 100);
}

TEST(Brontalctl, ListOnASimulatedBusShowsTheProductsCollections) {
  const auto r = RunCli({"list", "--json", "--simulate", "320f:5100"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json::Value v;
  ASSERT_TRUE(Json::Reader().parse(r.out, v));
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[3]["usage_page"].asInt(), 0xFF1C);
  EXPECT_EQ(v[3]["usage"].asInt(), 0x92);
  EXPECT_EQ(v[3]["collection"].asInt(), 4);
  EXPECT_EQ(v[3]["interface"].asInt(), 1);
  EXPECT_EQ(v[3]["output_report_length"].asInt(), 64);
  EXPECT_EQ(v[2]["usage_page"].asInt(), 0x0C);
  EXPECT_EQ(v[2]["collection"].asInt(), 3);
  for (const char* member : {"path", "vendor_id", "product_id", "input_report_length", "feature_report_length"})
    EXPECT_TRUE(v[0].isMember(member)) << member;
  EXPECT_EQ(RunCli({"list", "--simulate", "320f:zzzz"}).status, kExitUsage);
}

TEST(Brontalctl, HelpAndVersionSucceed) {
  EXPECT_EQ(RunCli({"--help"}).status, 0);
  const auto v = RunCli({"--version"});
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out.rfind("brontalctl ", 0), 0u);
}

}  // namespace
}  // namespace brontal
