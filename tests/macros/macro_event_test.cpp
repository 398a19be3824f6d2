// Macro events from JSON of any shape, and back.
#include "macros/macro_event.h"

#include <gtest/gtest.h>

#include "profiles/json_document.h"

namespace brontal {
namespace {

TEST(MacroEvent, DelayReadsFromTextOrNumberWithinSixteenBits) {
  const struct {
    const char* json;
    std::uint16_t delay;
  } cases[] = {
      {"0", 0},
      {"\"0\"", 0},
      {"\"50\"", 50},
      {"1234", 1234},
      {"\"65535\"", 65535},
      {"\"65536\"", 65535},
      {"\"99999999999999999999999\"", 65535},
      {"70000", 65535},
      {"-5", 0},
      {"\"-5\"", 0},
      {"\" 12ms\"", 12},
      {"\"+7\"", 7},
      {"\"\"", 0},
      {"\"abc\"", 0},
      {"12.9", 12},
      {"true", 1},
      {"null", 0},
      {"[1]", 0},
      {"{\"a\":1}", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(ReadMacroDelay(ParseJsonDocument(c.json)), c.delay);
  }
}

TEST(MacroEvent, ReadsWhatFitsAndNeverFailsOnOtherShapes) {
  const struct {
    const char* json;
    MacroEvent event;
  } cases[] = {
      {R"({"Type": 10, "Button": 4, "Action": "down", "Delay": "50"})", {10, 4, true, 50}},
      {R"({"Type": 5, "Button": 20, "Action": "up", "Delay": 0})", {5, 20, false, 0}},
      {R"({"Type": 2, "Button": 1, "Action": "sideways", "Delay": "7"})", {2, 1, false, 7}},
      // the device keeps the low 8 bits of "Button", so reading does the same
      {R"({"Type": 1, "Button": 260, "Action": "down"})", {1, 4, true, 0}},
      {R"({"Type": "10", "Button": [4], "Action": 1, "Delay": {}})", {0, 0, false, 0}},
      {R"({"Type": 1e30, "Button": -1, "Action": "DOWN"})", {2147483647, 255, false, 0}},
      {R"([1, 2])", {}},
      {R"("text")", {}},
      {"null", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(MacroEventFromJson(ParseJsonDocument(c.json)), c.event);
  }
}

TEST(MacroEvent, WritesTheStoredMembersWithTheDelayAsText) {
  const Json::Value value = MacroEventToJson({.type = 4, .button = 20, .down = true, .delay = 65535});
  EXPECT_EQ(FormatJsonDocument(value),
            "{\n   \"Action\" : \"down\",\n   \"Button\" : 20,\n   \"Delay\" : \"65535\",\n   \"Type\" : 4\n}\n\n");
  EXPECT_EQ(MacroEventToJson({.type = 10, .button = 4, .down = false, .delay = 0})["Action"].asString(), "up");
}

TEST(MacroEvent, WellFormedEventsAreTheOnesOurWritersMake) {
  const struct {
    const char* json;
    bool well_formed;
  } cases[] = {
      {R"({"Action": "down", "Button": 4, "Delay": "50", "Type": 10})", true},
      {R"({"Action": "up", "Button": 255, "Delay": 65535, "Type": 5})", true},
      {R"({"Action": "up", "Button": 0, "Delay": "65535", "Type": 2, "Note": "old"})", true},
      {R"({"Action": "down", "Button": 1, "Delay": 0, "Type": 3})", true},
      {R"({"Action": "down", "Button": 4, "Type": 10})", false},  // no delay
      {R"({"Action": "down", "Button": 4, "Delay": 65536, "Type": 10})", false},
      {R"({"Action": "down", "Button": 4, "Delay": "65536", "Type": 10})", false},
      {R"({"Action": "down", "Button": 4, "Delay": "", "Type": 10})", false},
      {R"({"Action": "down", "Button": 4, "Delay": "12ms", "Type": 10})", false},
      {R"({"Action": "down", "Button": 4, "Delay": "-5", "Type": 10})", false},
      {R"({"Action": "down", "Button": 4, "Delay": -5, "Type": 10})", false},
      {R"({"Action": "down", "Button": 4, "Delay": 1.5, "Type": 10})", false},
      {R"({"Action": "down", "Button": 256, "Delay": 0, "Type": 10})", false},
      {R"({"Action": "down", "Button": "4", "Delay": 0, "Type": 10})", false},
      {R"({"Action": "press", "Button": 4, "Delay": 0, "Type": 10})", false},
      {R"({"Action": "down", "Button": 4, "Delay": 0, "Type": 7})", false},
      {R"({"Action": "down", "Button": 4, "Delay": 0, "Type": true})", false},
      {R"([10, 4, "down", 0])", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWellFormedMacroEvent(ParseJsonDocument(c.json)), c.well_formed) << c.json;
}

}  // namespace
}  // namespace brontal
