// Macro events from JSON of any shape, and back.
#include "macros/macro_event.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "profiles/json_document.h"

namespace brontal {
namespace {

TEST(MacroEvent, DelayReadsFromTextOrNumberAsTheFileHoldsIt) {
  const struct {
    const char* json;
    std::int64_t delay;
  } cases[] = {
      {"0", 0},
      {"\"0\"", 0},
      {"\"50\"", 50},
      {"1234", 1234},
      {"\"65535\"", 65535},
      {"\"65536\"", 65536},
      {"70000", 70000},
      {"\"99999999999999999999999\"", std::numeric_limits<std::int64_t>::max()},
      {"-5", -5},
      {"\"-5\"", -5},
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

// What the device and the lists see of an event; the source it keeps is
// checked by writing it back below.
struct Fields {
  int type;
  std::uint8_t button;
  bool down;
  std::int64_t delay;
  bool operator==(const Fields&) const = default;
};
Fields FieldsOf(const MacroEvent& event) { return {event.type, event.button, event.down, event.delay}; }

TEST(MacroEvent, ReadsWhatFitsAndNeverFailsOnOtherShapes) {
  const struct {
    const char* json;
    Fields event;
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
    EXPECT_EQ(FieldsOf(MacroEventFromJson(ParseJsonDocument(c.json))), c.event);
  }
}

TEST(MacroEvent, WritesTheStoredMembersWithTheDelayAsText) {
  const Json::Value value = MacroEventToJson({.type = 4, .button = 20, .down = true, .delay = 70000});
  EXPECT_EQ(FormatJsonDocument(value),
            "{\n   \"Action\" : \"down\",\n   \"Button\" : 20,\n   \"Delay\" : \"70000\",\n   \"Type\" : 4\n}\n\n");
  EXPECT_EQ(MacroEventToJson({.type = 10, .button = 4, .down = false, .delay = 0})["Action"].asString(), "up");
}

// An event goes back to its file as it came, but for the delay's form and
// what was changed since; a change of a member drops the source's form of it.
TEST(MacroEvent, WritesBackWhatTheFileHeldBeyondTheFields) {
  const auto none = [](MacroEvent&) {};
  const struct {
    const char* what;
    const char* json;
    std::function<void(MacroEvent&)> edit;
    const char* written;
  } cases[] = {
      {"as our writers write it", R"({"Action": "down", "Button": 4, "Delay": 0, "Type": 10})", none,
       R"({"Action": "down", "Button": 4, "Delay": "0", "Type": 10})"},
      {"a delay past 16 bits", R"({"Action": "up", "Button": 4, "Delay": "70000", "Type": 10})", none,
       R"({"Action": "up", "Button": 4, "Delay": "70000", "Type": 10})"},
      {"a negative delay", R"({"Action": "up", "Button": 4, "Delay": -5, "Type": 10})", none,
       R"({"Action": "up", "Button": 4, "Delay": "-5", "Type": 10})"},
      {"odd members", R"({"Action": "sideways", "Button": 260, "Delay": "7", "Type": "10", "Note": [1]})", none,
       R"({"Action": "sideways", "Button": 260, "Delay": "7", "Type": "10", "Note": [1]})"},
      {"a member missing", R"({"Button": 4, "Type": 10})", none, R"({"Button": 4, "Delay": "0", "Type": 10})"},
      {"the delay changed", R"({"Action": "down", "Button": 260, "Delay": "70000", "Type": 1, "Note": 1})",
       [](MacroEvent& e) { e.delay = 12; },
       R"({"Action": "down", "Button": 260, "Delay": "12", "Type": 1, "Note": 1})"},
      {"the button changed", R"({"Action": "down", "Button": 260, "Delay": "5", "Type": 1, "Note": 1})",
       [](MacroEvent& e) { e.button = 0x10; },
       R"({"Action": "down", "Button": 16, "Delay": "5", "Type": 1, "Note": 1})"},
      {"the key changed", R"({"Action": "sideways", "Button": 4, "Delay": "5", "Type": "10", "Note": 1})",
       [](MacroEvent& e) {
         e.type = macro_event_type::kModifierKey;
         e.button = 0x02;
       },
       R"({"Action": "sideways", "Button": 2, "Delay": "5", "Type": 9, "Note": 1})"},
      {"pressed now", R"({"Action": "sideways", "Button": 4, "Delay": "5", "Type": 10})",
       [](MacroEvent& e) { e.down = true; }, R"({"Action": "down", "Button": 4, "Delay": "5", "Type": 10})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MacroEvent event = MacroEventFromJson(ParseJsonDocument(c.json));
    c.edit(event);
    EXPECT_EQ(MacroEventToJson(event), ParseJsonDocument(c.written));
  }
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
