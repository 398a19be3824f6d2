#include <gtest/gtest.h>
#include <json/reader.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace brontal {
namespace {

// The program itself: monitor needs the skin beside it and its own event loop.
std::string RunCommand(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  char buffer[4096];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) output += buffer;
  return output;
}

TEST(BrontalctlMonitor, ReportsArrivalsCreationAndLinksOfTheSimulatedProducts) {
  const std::string out = RunCommand(std::string(BRONTALCTL) + " monitor --simulate --for 1 --json");
  std::istringstream lines(out);
  std::string line;
  std::map<std::string, int> counts;
  bool keyboard_wired = false;
  while (std::getline(lines, line)) {
    Json::Value v;
    ASSERT_TRUE(Json::Reader().parse(line, v)) << line;
    ++counts[v["event"].asString()];
    if (v["event"] == "link" && v["product_id"].asInt() == 0x5100)
      keyboard_wired = v["link"] == "wired" && v["chunk"].asInt() == 56;
  }
  EXPECT_EQ(counts["arrived"], 6) << out;  // keyboard, its receiver and the mouse: two collections each
  EXPECT_EQ(counts["created"], 2) << out;  // one keyboard object for cable and receiver
  EXPECT_EQ(counts["link"], 2) << out;
  EXPECT_TRUE(keyboard_wired) << out;
}

TEST(BrontalctlTrace, TheDebugLogGoesWhereBrontalTraceSays) {
  const std::string file = ::testing::TempDir() + "brontal_trace_test.log";
  std::remove(file.c_str());
  RunCommand("BRONTAL_TRACE=" + file + " " + BRONTALCTL + " info --simulate 320f:2003 > /dev/null");
  std::ifstream log(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 6u);  // one exchange: label and two lines each way
  EXPECT_EQ(lines[0], "命令");
  EXPECT_EQ(lines[3], "返回");

  // "-" is standard error; "off" is nowhere.
  EXPECT_NE(RunCommand("BRONTAL_TRACE=- " + std::string(BRONTALCTL) + " info --simulate 320f:2003 2>&1 >/dev/null")
                .find("命令"),
            std::string::npos);
  EXPECT_EQ(RunCommand("BRONTAL_TRACE=off " + std::string(BRONTALCTL) + " info --simulate 320f:2003 2>&1 >/dev/null"),
            "");
}

TEST(BrontalctlOutput, OutputThatCannotBeWrittenIsAFailure) {
  EXPECT_EQ(RunCommand(std::string(BRONTALCTL) + " --simulate 320f:2003 list > /dev/full 2>/dev/null; echo $?"), "1\n");
  EXPECT_EQ(RunCommand(std::string(BRONTALCTL) + " udev-rules > /dev/full 2>/dev/null; echo $?"), "1\n");
  EXPECT_EQ(RunCommand(std::string(BRONTALCTL) + " --simulate 320f:2003 list > /dev/null 2>&1; echo $?"), "0\n");
}

}  // namespace
}  // namespace brontal
