// Evdev event streams as keyboards and mice deliver them, and the keys and
// buttons that are taken from them.
#include "input_capture/evdev_translation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input_capture/captured_input_text.h"
#include "input_capture/evdev_stream.h"

namespace brontal {
namespace {

using test::Concat;
using test::Event;
using test::KeyFrame;
using test::MotionFrame;
using test::Report;

constexpr std::int32_t kUp = 0, kDown = 1, kRepeat = 2;

struct StreamCase {
  const char* name;
  std::vector<input_event> stream;
  std::vector<std::string> captured;

  friend void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.name; }
};

std::vector<std::string> Translate(const std::vector<input_event>& stream) {
  EvdevTranslator translator;
  std::vector<std::string> captured;
  for (const input_event& event : stream)
    if (const std::optional<CapturedEvent> c = translator.Translate(event)) captured.push_back(test::Describe(*c));
  return captured;
}

class EvdevStreams : public ::testing::TestWithParam<StreamCase> {};

TEST_P(EvdevStreams, GiveTheseKeysAndButtons) { EXPECT_EQ(Translate(GetParam().stream), GetParam().captured); }

INSTANTIATE_TEST_SUITE_P(
    Cases, EvdevStreams,
    ::testing::Values(StreamCase{"HeldKeyRepeatsOnlyInTheStream",
                                 Concat({KeyFrame(KEY_A, kDown, 0x70004), KeyFrame(KEY_A, kRepeat, 0x70004),
                                         KeyFrame(KEY_A, kRepeat, 0x70004), KeyFrame(KEY_A, kUp, 0x70004)}),
                                 {"key 1e down", "key 1e up"}},
                      StreamCase{"ShiftedLetter",
                                 Concat({KeyFrame(KEY_LEFTSHIFT, kDown, 0x700e1), KeyFrame(KEY_A, kDown, 0x70004),
                                         KeyFrame(KEY_A, kUp, 0x70004), KeyFrame(KEY_LEFTSHIFT, kUp, 0x700e1)}),
                                 {"key 2a down", "key 1e down", "key 1e up", "key 2a up"}},
                      StreamCase{"ExtendedKeys",
                                 Concat({KeyFrame(KEY_RIGHTCTRL, kDown, 0x700e4), KeyFrame(KEY_KPENTER, kDown, 0x70058),
                                         KeyFrame(KEY_PAUSE, kDown, 0x70048), KeyFrame(KEY_NUMLOCK, kDown, 0x70053)}),
                                 {"key e0 1d down", "key e0 1c down", "key 45 down", "key e0 45 down"}},
                      StreamCase{"KeysOutsideTheTable",
                                 Concat({KeyFrame(KEY_MUTE, kDown, 0xc00e2), KeyFrame(KEY_F13, kDown, 0x70068),
                                         KeyFrame(KEY_MUTE, kUp, 0xc00e2)}),
                                 {}},
                      StreamCase{
                          "MovementAndWheelAreLeftOut",
                          Concat({MotionFrame(3, -1),
                                  {Event(EV_REL, REL_WHEEL, 1), Report()},
                                  {Event(EV_REL, REL_WHEEL_HI_RES, 120), Event(EV_REL, REL_HWHEEL, -1), Report()}}),
                          {}},
                      StreamCase{"EveryButtonBetweenMovements",
                                 Concat({MotionFrame(1, 0),
                                         {Event(EV_KEY, BTN_LEFT, kDown), Event(EV_REL, REL_X, 2), Report()},
                                         {Event(EV_KEY, BTN_LEFT, kUp), Report()},
                                         {Event(EV_KEY, BTN_RIGHT, kDown), Event(EV_KEY, BTN_MIDDLE, kDown), Report()},
                                         {Event(EV_KEY, BTN_SIDE, kDown), Event(EV_KEY, BTN_EXTRA, kDown), Report()},
                                         {Event(EV_KEY, BTN_BACK, kUp), Event(EV_KEY, BTN_FORWARD, kUp), Report()},
                                         {Event(EV_KEY, BTN_TASK, kDown), Report()}}),
                                 {"button left down", "button left up", "button right down", "button middle down",
                                  "button back down", "button forward down", "button back up", "button forward up"}},
                      // The kernel lost events: the rest of that report is not to be trusted.
                      StreamCase{"AReportAfterLostEventsIsSkipped",
                                 Concat({{Event(EV_KEY, KEY_B, kDown), Event(EV_SYN, SYN_DROPPED, 0)},
                                         {Event(EV_KEY, KEY_C, kDown), Event(EV_KEY, BTN_LEFT, kDown), Report()},
                                         KeyFrame(KEY_D, kDown, 0x70007)}),
                                 {"key 30 down", "key 20 down"}}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace brontal
