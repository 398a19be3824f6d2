// Recordings as a user makes them: captured keys and buttons in, the rows of
// the macro's event list out, with their delays.
#include "input_capture/macro_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macros/macro_event_name.h"

namespace brontal {
namespace {

using std::chrono::milliseconds;
using Rows = std::vector<std::string>;

constexpr ScanCode kA{0x1E, false}, kB{0x30, false}, kShift{0x2A, false}, kRightCtrl{0x1D, true};
constexpr ScanCode kOutsideTheTable{0x64, false};
const CaptureClock::time_point kStart = CaptureClock::time_point() + std::chrono::hours(1);

struct Step {
  int ms;  // after the recording started
  CapturedEvent event;
};

Step Down(int ms, ScanCode key) { return {ms, CapturedKey{key, true}}; }
Step Up(int ms, ScanCode key) { return {ms, CapturedKey{key, false}}; }
Step Down(int ms, MouseButton button) { return {ms, CapturedButton{button, true, std::nullopt}}; }
Step Up(int ms, MouseButton button) { return {ms, CapturedButton{button, false, std::nullopt}}; }

CapturedInput At(const Step& step) { return {step.event, kStart + milliseconds(step.ms)}; }

std::string Text(const MacroEvent& event) {
  return std::string(MacroEventNameKey(event)) + (event.down ? " down " : " up ") + std::to_string(event.delay);
}

Rows Texts(const MacroEventList& list) {
  Rows rows;
  for (const MacroEvent& event : list.events) rows.push_back(Text(event));
  return rows;
}

// Left presses whose delays 1, 2, ... tell them apart.
MacroEventList Existing(std::size_t count, std::optional<std::size_t> selected) {
  MacroEventList list{.events = {}, .selected = selected};
  for (std::size_t i = 0; i < count; ++i)
    list.events.push_back({.type = 1, .button = 0x01, .down = true, .delay = static_cast<std::uint16_t>(i + 1)});
  return list;
}

// A recorder that has recorded once before (into another macro).
void RecordOnce(MacroRecorder& recorder) {
  MacroEventList elsewhere;
  recorder.Start(RecordingKind::kAppend, DelayMode::kRecorded, 0, kStart - std::chrono::minutes(1));
  recorder.Record({CapturedKey{kB, true}, kStart - std::chrono::minutes(1)}, elsewhere);
  recorder.Stop();
}

// The panel and the macro before a recording.
struct Before {
  bool recorded_before;  // the panel recorded once already (into any macro)
  std::size_t rows;
  std::optional<std::size_t> selected;
};

struct How {
  RecordingKind kind;
  DelayMode mode;
  std::uint64_t fixed_delay;
};

struct RecordingCase {
  const char* name;
  Before before;
  How how;
  std::vector<Step> steps;
  Rows rows;
  std::optional<std::size_t> selected_after;

  friend void PrintTo(const RecordingCase& c, std::ostream* out) { *out << c.name; }
};

class Recordings : public ::testing::TestWithParam<RecordingCase> {};

TEST_P(Recordings, LeaveTheseRows) {
  const RecordingCase& c = GetParam();
  MacroRecorder recorder;
  if (c.before.recorded_before) RecordOnce(recorder);
  MacroEventList list = Existing(c.before.rows, c.before.selected);
  recorder.Start(c.how.kind, c.how.mode, c.how.fixed_delay, kStart);
  for (const Step& step : c.steps) recorder.Record(At(step), list);
  EXPECT_EQ(Texts(list), c.rows);
  EXPECT_EQ(list.selected, c.selected_after);
}

constexpr auto kLeft = MouseButton::kLeft;
constexpr auto kRight = MouseButton::kRight;
constexpr auto kMiddle = MouseButton::kMiddle;
constexpr auto kBack = MouseButton::kBack;
constexpr auto kForward = MouseButton::kForward;
const Before kFresh{false, 0, std::nullopt};
const How kAppendMeasured{RecordingKind::kAppend, DelayMode::kRecorded, 0};
const How kBeforeMeasured{RecordingKind::kInsertBefore, DelayMode::kRecorded, 0};
const How kAfterMeasured{RecordingKind::kInsertAfter, DelayMode::kRecorded, 0};
const How kReplacing{RecordingKind::kReplace, DelayMode::kRecorded, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, Recordings,
    ::testing::Values(
        // Each event carries the pause until the next; the last carries 0.
        RecordingCase{"ShiftedLetter",
                      kFresh,
                      kAppendMeasured,
                      {Down(100, kShift), Down(250, kA), Up(330, kA), Up(400, kShift)},
                      {"keyboard_key_LShift down 150", "keyboard_key_A down 80", "keyboard_key_A up 70",
                       "keyboard_key_LShift up 0"},
                      3},
        RecordingCase{
            "HeldKeyRecordsOnePressAndPressingAgainAnother",
            kFresh,
            kAppendMeasured,
            {Down(10, kA), Down(40, kA), Down(70, kA), Up(100, kA), Down(130, kA), Up(150, kA)},
            {"keyboard_key_A down 90", "keyboard_key_A up 30", "keyboard_key_A down 20", "keyboard_key_A up 0"},
            3},
        RecordingCase{"KeyOutsideTheTable",
                      kFresh,
                      kAppendMeasured,
                      {Down(10, kA), Down(20, kOutsideTheTable), Up(30, kOutsideTheTable), Up(50, kA)},
                      {"keyboard_key_A down 40", "keyboard_key_A up 0"},
                      1},
        RecordingCase{"ExtendedModifier",
                      kFresh,
                      kAppendMeasured,
                      {Down(10, kRightCtrl), Up(20, kRightCtrl)},
                      {"keyboard_key_RCtrl down 10", "keyboard_key_RCtrl up 0"},
                      1},
        RecordingCase{"PauseLongerThanADelayHolds",
                      kFresh,
                      kAppendMeasured,
                      {Down(10, kA), Up(80'010, kA)},
                      {"keyboard_key_A down 65535", "keyboard_key_A up 0"},
                      1},
        // The fixed delay typed is cut to 65535; a lone first row keeps 0 until a second follows.
        RecordingCase{"FixedDelayAboveTheLargest",
                      kFresh,
                      {RecordingKind::kAppend, DelayMode::kFixed, 70'000},
                      {Down(10, kA), Up(20, kA)},
                      {"keyboard_key_A down 65535", "keyboard_key_A up 65535"},
                      1},
        RecordingCase{"LoneFirstRowOfFixedDelay",
                      kFresh,
                      {RecordingKind::kAppend, DelayMode::kFixed, 300},
                      {Down(10, kA)},
                      {"keyboard_key_A down 0"},
                      0},
        RecordingCase{
            "NoDelays",
            {true, 2, std::nullopt},
            {RecordingKind::kAppend, DelayMode::kNone, 300},
            {Down(10, kA), Up(500, kA)},
            {"mouse_key_left down 1", "mouse_key_left down 0", "keyboard_key_A down 0", "keyboard_key_A up 0"},
            3},
        // The row before a later recording's first event gets the time since that recording started.
        RecordingCase{"LaterRecordingTimesTheRowBefore",
                      {true, 2, std::nullopt},
                      kAppendMeasured,
                      {Down(300, kA)},
                      {"mouse_key_left down 1", "mouse_key_left down 300", "keyboard_key_A down 0"},
                      2},
        // Until the panel has recorded once, the macro's last row keeps its delay.
        RecordingCase{
            "FirstRecordingLeavesTheMacrosLastRowAlone",
            {false, 2, std::nullopt},
            kAppendMeasured,
            {Down(300, kA), Up(350, kA)},
            {"mouse_key_left down 1", "mouse_key_left down 2", "keyboard_key_A down 50", "keyboard_key_A up 0"},
            3},
        RecordingCase{
            "InsertBeforeRow3Of5",
            {true, 5, 3},
            kBeforeMeasured,
            {Down(200, kA), Up(250, kA)},
            {"mouse_key_left down 1", "mouse_key_left down 2", "mouse_key_left down 200", "keyboard_key_A down 50",
             "keyboard_key_A up 0", "mouse_key_left down 4", "mouse_key_left down 5"},
            5},
        RecordingCase{
            "InsertBeforeTheFirstRow",
            {true, 2, 0},
            kBeforeMeasured,
            {Down(200, kA), Up(260, kA)},
            {"keyboard_key_A down 60", "keyboard_key_A up 0", "mouse_key_left down 1", "mouse_key_left down 2"},
            2},
        RecordingCase{"InsertAfterRow1",
                      {true, 3, 1},
                      kAfterMeasured,
                      {Down(100, kA), Up(130, kA)},
                      {"mouse_key_left down 1", "mouse_key_left down 100", "keyboard_key_A down 30",
                       "keyboard_key_A up 0", "mouse_key_left down 3"},
                      3},
        RecordingCase{"InsertAfterTheLastRowWithAFixedDelay",
                      {true, 2, 1},
                      {RecordingKind::kInsertAfter, DelayMode::kFixed, 25},
                      {Down(100, kA)},
                      {"mouse_key_left down 1", "mouse_key_left down 25", "keyboard_key_A down 25"},
                      2},
        RecordingCase{"InsertBeforeWithoutASelection",
                      {true, 2, std::nullopt},
                      kBeforeMeasured,
                      {Down(100, kA)},
                      {"mouse_key_left down 1", "mouse_key_left down 2"},
                      std::nullopt},
        RecordingCase{"InsertAfterWithoutASelection",
                      {true, 2, std::nullopt},
                      kAfterMeasured,
                      {Down(100, kA)},
                      {"mouse_key_left down 1", "mouse_key_left down 2"},
                      std::nullopt},
        RecordingCase{"ReplaceWithoutASelection",
                      {true, 2, std::nullopt},
                      kReplacing,
                      {Down(100, kA)},
                      {"mouse_key_left down 1", "mouse_key_left down 2"},
                      std::nullopt},
        // The selected row takes the key or button; its action and delay stay.
        RecordingCase{"ReplaceByAKeyRelease",
                      {true, 3, 1},
                      kReplacing,
                      {Up(100, kB)},
                      {"mouse_key_left down 1", "keyboard_key_B down 2", "mouse_key_left down 3"},
                      1},
        RecordingCase{"ReplaceByAModifier",
                      {false, 3, 1},
                      {RecordingKind::kReplace, DelayMode::kNone, 0},
                      {Down(100, kRightCtrl)},
                      {"mouse_key_left down 1", "keyboard_key_RCtrl down 2", "mouse_key_left down 3"},
                      1},
        RecordingCase{"ReplaceByAButtonRelease",
                      {false, 3, 2},
                      kReplacing,
                      {Up(100, kRight)},
                      {"mouse_key_left down 1", "mouse_key_left down 2", "mouse_key_right down 3"},
                      2},
        RecordingCase{
            "SideButtons",
            kFresh,
            {RecordingKind::kAppend, DelayMode::kNone, 0},
            {Down(10, kForward), Up(20, kForward), Down(30, kBack), Up(40, kBack)},
            {"mouse_key_forward down 0", "mouse_key_forward up 0", "mouse_key_back down 0", "mouse_key_back up 0"},
            3},
        // Both side buttons share one message in the mouse action table; comparing
        // messages would leave back held on the device after the macro.
        RecordingCase{
            "InterleavedSideButtonsAreAllRecorded",
            kFresh,
            kAppendMeasured,
            {Down(10, kBack), Down(20, kForward), Up(30, kForward), Up(40, kBack)},
            {"mouse_key_back down 10", "mouse_key_forward down 10", "mouse_key_forward up 10", "mouse_key_back up 0"},
            3},
        RecordingCase{
            "TheSameButtonEventTwiceIsRecordedOnce",
            kFresh,
            kAppendMeasured,
            {Down(10, kLeft), Down(20, kLeft), Up(30, kLeft), Down(40, kRight), Up(50, kRight)},
            {"mouse_key_left down 20", "mouse_key_left up 10", "mouse_key_right down 10", "mouse_key_right up 0"},
            3}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST(MacroRecorder, ButtonEventsCarryTheMaskAndTypeOfTheirTableRow) {
  MacroRecorder recorder;
  MacroEventList list;
  recorder.Start(RecordingKind::kAppend, DelayMode::kNone, 0, kStart);
  for (const Step& step : {Down(0, kForward), Down(0, kBack), Down(0, kMiddle), Down(0, kRight), Down(0, kLeft)})
    recorder.Record(At(step), list);
  std::vector<int> buttons;
  for (const MacroEvent& event : list.events) {
    EXPECT_EQ(event.type, macro_event_type::kMouseButton);
    buttons.push_back(event.button);
  }
  EXPECT_EQ(buttons, (std::vector<int>{0x10, 0x08, 0x04, 0x02, 0x01}));
}

TEST(MacroRecorder, ChangesTellTheEditorWhichRowsToRedraw) {
  MacroRecorder recorder;
  RecordOnce(recorder);
  MacroEventList list = Existing(3, 1);
  using Kind = RecordedChange::Kind;
  recorder.Start(RecordingKind::kInsertAfter, DelayMode::kRecorded, 0, kStart);
  EXPECT_EQ(recorder.Record(At(Down(5, kA)), list), (RecordedChange{Kind::kInserted, 2, 1}));
  EXPECT_EQ(recorder.Record(At(Down(6, kA)), list), RecordedChange{});
  recorder.Stop();
  EXPECT_EQ(recorder.Record(At(Up(7, kA)), list), RecordedChange{});
  recorder.Start(RecordingKind::kReplace, DelayMode::kRecorded, 0, kStart);
  EXPECT_EQ(recorder.Record(At(Up(8, kB)), list), (RecordedChange{Kind::kReplaced, 2, std::nullopt}));
}

TEST(MacroRecorder, TheFixedDelayChangesOnlyWhenARecordingStartsInFixedMode) {
  MacroRecorder recorder;
  EXPECT_EQ(recorder.fixed_delay(), kInitialFixedDelay);
  EXPECT_EQ(recorder.Start(RecordingKind::kAppend, DelayMode::kRecorded, 900, kStart), kInitialFixedDelay);
  EXPECT_EQ(recorder.Start(RecordingKind::kAppend, DelayMode::kFixed, 900, kStart), 900);
  EXPECT_EQ(recorder.Start(RecordingKind::kAppend, DelayMode::kNone, 7, kStart), 900);
  EXPECT_EQ(recorder.Start(RecordingKind::kAppend, DelayMode::kFixed, 1'000'000, kStart), 65535);
}

// A key still held when a recording stopped has its release unseen: the next
// recording takes its press.
TEST(MacroRecorder, EachRecordingStartsWithNothingHeld) {
  MacroRecorder recorder;
  MacroEventList list;
  recorder.Start(RecordingKind::kAppend, DelayMode::kNone, 0, kStart);
  recorder.Record(At(Down(0, kA)), list);
  recorder.Record(At(Down(1, kLeft)), list);
  recorder.Stop();
  recorder.Start(RecordingKind::kAppend, DelayMode::kNone, 0, kStart);
  recorder.Record(At(Down(2, kA)), list);
  recorder.Record(At(Down(3, kLeft)), list);
  EXPECT_EQ(list.events.size(), 4u);
}

TEST(MacroRecorder, RecordingAddsNoRowsTo4000ButStillReplaces) {
  MacroRecorder recorder;
  MacroEventList list = Existing(kRecordingRowLimit - 1, kRecordingRowLimit - 2);
  recorder.Start(RecordingKind::kAppend, DelayMode::kRecorded, 0, kStart);
  recorder.Record(At(Down(10, kA)), list);
  recorder.Record(At(Up(20, kA)), list);
  ASSERT_EQ(list.events.size(), kRecordingRowLimit);
  EXPECT_EQ(Text(list.events.back()), "keyboard_key_A down 0");

  list.selected = 0;
  recorder.Start(RecordingKind::kInsertBefore, DelayMode::kRecorded, 0, kStart);
  recorder.Record(At(Down(30, kB)), list);
  EXPECT_EQ(list.events.size(), kRecordingRowLimit);
  EXPECT_EQ(Text(list.events.front()), "mouse_key_left down 1");

  recorder.Start(RecordingKind::kReplace, DelayMode::kRecorded, 0, kStart);
  recorder.Record(At(Down(40, kB)), list);
  EXPECT_EQ(Text(list.events.front()), "keyboard_key_B down 1");
}

struct StopButtonCase {
  const char* name;
  std::optional<Point> pointer;    // where the window last saw it
  std::optional<Point> in_window;  // where the window saw the click itself
  MouseButton button;
  bool recorded;

  friend void PrintTo(const StopButtonCase& c, std::ostream* out) { *out << c.name; }
};

class StopButton : public ::testing::TestWithParam<StopButtonCase> {};

// The stop button spans x 100-159, y 20-39 of our window.
TEST_P(StopButton, LeftClicksOnItAreNotRecorded) {
  const StopButtonCase& c = GetParam();
  MacroRecorder recorder;
  MacroEventList list;
  recorder.SetStopButton({100, 20, 160, 40});
  recorder.TrackPointer(c.pointer);
  recorder.Start(RecordingKind::kAppend, DelayMode::kNone, 0, kStart);
  recorder.Record({CapturedButton{c.button, true, c.in_window}, kStart}, list);
  recorder.Record({CapturedButton{c.button, false, c.in_window}, kStart}, list);
  EXPECT_EQ(list.events.size(), c.recorded ? 2u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StopButton,
    ::testing::Values(StopButtonCase{"LeftOnIt", Point{100, 20}, std::nullopt, MouseButton::kLeft, false},
                      StopButtonCase{"LeftOnItsLastPixel", Point{159, 39}, std::nullopt, MouseButton::kLeft, false},
                      StopButtonCase{"RightOnIt", Point{120, 30}, std::nullopt, MouseButton::kRight, true},
                      StopButtonCase{"LeftBesideIt", Point{160, 30}, std::nullopt, MouseButton::kLeft, true},
                      StopButtonCase{"LeftOutsideTheWindow", std::nullopt, std::nullopt, MouseButton::kLeft, true},
                      // Our own window's click tells where it happened.
                      StopButtonCase{"LeftOnItSeenByTheWindow", Point{0, 0}, Point{130, 25}, MouseButton::kLeft, false},
                      StopButtonCase{"LeftElsewhereSeenByTheWindow", Point{130, 25}, Point{10, 10}, MouseButton::kLeft,
                                     true}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace brontal
