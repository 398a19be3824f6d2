// Editing a macro event by event: each edit is checked in the file it leaves
// behind, not only in the editor's list.
#include "macros/macro_editor.h"

#include <gtest/gtest.h>

#include <functional>

#include "helpers/temporary_folder.h"
#include "macros/macro_file.h"
#include "profiles/json_document.h"

namespace brontal {
namespace {

using std::chrono::system_clock;
using Events = std::vector<MacroEvent>;

// Five key presses A..E with the delays 10..50.
MacroEvent Key(char name) {
  const auto n = static_cast<std::uint8_t>(name - 'A');
  return {macro_event_type::kKey, static_cast<std::uint8_t>(0x04 + n), true, static_cast<std::uint16_t>(10 * (n + 1))};
}
Events Keys(std::string_view names) {
  Events events;
  for (const char name : names) events.push_back(Key(name));
  return events;
}
MacroEvent Button(MacroMouseButton button, bool down) {
  return {macro_event_type::kMouseButton, static_cast<std::uint8_t>(button), down, kInitialFixedDelay};
}
MacroEvent Move(int type, std::uint8_t distance, bool down) { return {type, distance, down, kInitialFixedDelay}; }

struct EditCase {
  std::string_view what;
  Events before;
  std::optional<std::size_t> selected;
  std::function<MacroEdit(MacroEditor&)> edit;
  MacroEdit outcome;
  Events after;
  std::optional<std::size_t> selected_after;
};

class MacroEditorTest : public ::testing::Test {
 protected:
  MacroEditorTest() { EXPECT_EQ(macros_.Add(system_clock::now()), 0u); }

  MacroEditor Open(const Events& events) {
    EXPECT_TRUE(SaveMacroFile(folder_.path(), macros_.Index().Guid(0), "macro_1", events));
    return *MacroEditor::Open(macros_, 0);
  }
  Events Stored() const { return LoadMacroEvents(folder_.path(), macros_.Index().Guid(0)); }

  void Check(const EditCase& c) {
    MacroEditor editor = Open(c.before);
    editor.Select(c.selected);
    EXPECT_EQ(c.edit(editor), c.outcome) << c.what;
    EXPECT_EQ(editor.Events(), c.after) << c.what;
    EXPECT_EQ(Stored(), c.after) << c.what;
    EXPECT_EQ(editor.Selected(), c.selected_after) << c.what;
  }

  test::TemporaryFolder folder_{"brontal_macro_editor"};
  MacroFolder macros_{folder_.path()};
};

TEST_F(MacroEditorTest, MovesTakeTheSelectedEventAlongAndStopAtTheEnds) {
  using enum MacroMove;
  const auto move = [](MacroMove m) { return [=](MacroEditor& e) { return e.MoveSelected(m); }; };
  const MacroEdit saved = MacroEdit::kSaved, refused = MacroEdit::kRefused;
  const EditCase cases[] = {
      {"up", Keys("ABCDE"), 2, move(kUp), saved, Keys("ACBDE"), 1},
      {"down", Keys("ABCDE"), 1, move(kDown), saved, Keys("ACBDE"), 2},
      {"to the top", Keys("ABCDE"), 3, move(kToTop), saved, Keys("DABCE"), 0},
      {"to the bottom", Keys("ABCDE"), 1, move(kToBottom), saved, Keys("ACDEB"), 4},
      {"first up", Keys("ABCDE"), 0, move(kUp), refused, Keys("ABCDE"), 0},
      {"first to the top", Keys("ABCDE"), 0, move(kToTop), refused, Keys("ABCDE"), 0},
      {"last down", Keys("ABCDE"), 4, move(kDown), refused, Keys("ABCDE"), 4},
      {"last to the bottom", Keys("ABCDE"), 4, move(kToBottom), refused, Keys("ABCDE"), 4},
      {"nothing selected", Keys("ABCDE"), std::nullopt, move(kDown), refused, Keys("ABCDE"), std::nullopt},
      {"the only event", Keys("A"), 0, move(kDown), refused, Keys("A"), 0},
  };
  for (const EditCase& c : cases) Check(c);
}

TEST_F(MacroEditorTest, DeletesLeaveNothingSelected) {
  const EditCase cases[] = {
      {"selected", Keys("ABCDE"), 2, &MacroEditor::DeleteSelected, MacroEdit::kSaved, Keys("ABDE"), std::nullopt},
      {"none selected", Keys("ABCDE"), std::nullopt, &MacroEditor::DeleteSelected, MacroEdit::kRefused, Keys("ABCDE"),
       std::nullopt},
      {"all", Keys("ABCDE"), 3, &MacroEditor::DeleteAll, MacroEdit::kSaved, {}, std::nullopt},
  };
  for (const EditCase& c : cases) Check(c);
}

TEST_F(MacroEditorTest, InsertsGoAfterTheSelectedEventAndSelectTheNewOne) {
  using enum MacroMouseButton;
  const auto click = [](MacroEditor& e) { return e.InsertClick(kLeft, kInitialFixedDelay); };
  const auto press = [](MacroEditor& e) { return e.InsertButton(kForward, true, kInitialFixedDelay); };
  const auto release = [](MacroEditor& e) { return e.InsertButton(kBack, false, 7); };
  const MacroEdit saved = MacroEdit::kSaved;
  Events clicked = Keys("ABCDE");
  clicked.push_back(Button(kLeft, true));
  clicked.push_back(Button(kLeft, false));
  const EditCase cases[] = {
      {"a click after the last", Keys("ABCDE"), 4, click, saved, clicked, 6},
      {"a click in between",
       Keys("AB"),
       0,
       click,
       saved,
       {Key('A'), Button(kLeft, true), Button(kLeft, false), Key('B')},
       2},
      {"a click into an empty list", {}, std::nullopt, click, saved, {Button(kLeft, true), Button(kLeft, false)}, 1},
      {"none selected: after the first",
       Keys("ABC"),
       std::nullopt,
       press,
       saved,
       {Key('A'), Button(kForward, true), Key('B'), Key('C')},
       1},
      {"into an empty list: the only event, not selected",
       {},
       std::nullopt,
       press,
       saved,
       {Button(kForward, true)},
       std::nullopt},
      {"with its own delay",
       Keys("A"),
       0,
       release,
       saved,
       {Key('A'), {macro_event_type::kMouseButton, 0x08, false, 7}},
       1},
  };
  for (const EditCase& c : cases) Check(c);
}

TEST_F(MacroEditorTest, MovementsTakeTheirDirectionFromTheActionAndClampTheDistance) {
  using enum MacroMovement;
  const auto insert = [](MacroMovement m, std::int64_t distance) {
    return [=](MacroEditor& e) { return e.InsertMovement(m, distance, kInitialFixedDelay); };
  };
  const MacroEdit saved = MacroEdit::kSaved;
  constexpr int kX = macro_event_type::kHorizontalMove, kY = macro_event_type::kVerticalMove;
  const EditCase cases[] = {
      {"left", Keys("A"), 0, insert(kLeft, 20), saved, {Key('A'), Move(kX, 20, true)}, 1},
      {"right", Keys("A"), 0, insert(kRight, 255), saved, {Key('A'), Move(kX, 255, false)}, 1},
      {"up", Keys("A"), 0, insert(kUp, 1), saved, {Key('A'), Move(kY, 1, true)}, 1},
      {"down", Keys("A"), 0, insert(kDown, 0), saved, {Key('A'), Move(kY, 0, false)}, 1},
      // 300 would be 44 in its low bits, 256 would be 0.
      {"too far", Keys("A"), 0, insert(kLeft, 300), saved, {Key('A'), Move(kX, 255, true)}, 1},
      {"just too far", Keys("A"), 0, insert(kUp, 256), saved, {Key('A'), Move(kY, 255, true)}, 1},
      {"negative", Keys("A"), 0, insert(kRight, -5), saved, {Key('A'), Move(kX, 0, false)}, 1},
  };
  for (const EditCase& c : cases) Check(c);
}

TEST_F(MacroEditorTest, DelaysAreClampedAndInputsChangeOnlyToKeysAndButtons) {
  const auto delay = [](std::size_t row, std::int64_t ms) {
    return [=](MacroEditor& e) { return e.SetDelay(row, ms); };
  };
  const auto input = [](int type, std::uint8_t button) {
    return [=](MacroEditor& e) { return e.ChangeInput(type, button); };
  };
  const MacroEdit saved = MacroEdit::kSaved, refused = MacroEdit::kRefused;
  const auto with = [](MacroEvent event, int type, std::uint8_t button, std::uint16_t ms) {
    event.type = type;
    event.button = button;
    event.delay = ms;
    return event;
  };
  const MacroEvent b = Key('B');
  const EditCase cases[] = {
      {"a delay", Keys("AB"), std::nullopt, delay(1, 65535), saved, {Key('A'), with(b, 10, 0x05, 65535)}, std::nullopt},
      // 70000 would be 4464 in its low bits, 65536 would be 0.
      {"too long", Keys("AB"), 0, delay(1, 70000), saved, {Key('A'), with(b, 10, 0x05, 65535)}, 0},
      {"just too long", Keys("AB"), 0, delay(0, 65536), saved, {with(Key('A'), 10, 0x04, 65535), b}, 0},
      {"negative", Keys("AB"), 0, delay(1, -3), saved, {Key('A'), with(b, 10, 0x05, 0)}, 0},
      {"past the end", Keys("AB"), 0, delay(2, 5), refused, Keys("AB"), 0},
      {"to a modifier",
       Keys("AB"),
       1,
       input(macro_event_type::kModifierKey, 0x02),
       saved,
       {Key('A'), with(b, 9, 0x02, 20)},
       1},
      {"to a mouse button",
       Keys("AB"),
       1,
       input(macro_event_type::kMouseButton, 0x10),
       saved,
       {Key('A'), with(b, 1, 0x10, 20)},
       1},
      {"to a movement", Keys("AB"), 1, input(macro_event_type::kHorizontalMove, 10), refused, Keys("AB"), 1},
      {"to a usage no key has", Keys("AB"), 1, input(macro_event_type::kKey, 0x00), refused, Keys("AB"), 1},
      {"to two modifiers", Keys("AB"), 1, input(macro_event_type::kModifierKey, 0x03), refused, Keys("AB"), 1},
      {"nothing selected", Keys("AB"), std::nullopt, input(macro_event_type::kKey, 0x06), refused, Keys("AB"),
       std::nullopt},
  };
  for (const EditCase& c : cases) Check(c);
}

// Another program's event: a delay past 16 bits, a "Button" past 8 bits, an
// "Action" of its own and a member of its own.
TEST_F(MacroEditorTest, EditsKeepWhatTheStoredEventHoldsBeyondTheirChange) {
  const Json::Value odd =
      ParseJsonDocument(R"({"Action": "hold", "Button": 260, "Delay": "70000", "Note": {"by": "other"}, "Type": 10})");
  Json::Value file(Json::objectValue);
  file["Events"].append(odd);
  file["Events"].append(MacroEventToJson(Key('B')));
  ASSERT_TRUE(WriteJsonDocument(*MacroFilePath(folder_.path(), macros_.Index().Guid(0)), file));
  const auto stored_event = [&](Json::ArrayIndex at) {
    return ReadJsonDocument(*MacroFilePath(folder_.path(), macros_.Index().Guid(0)))["Events"][at];
  };

  MacroEditor editor = *MacroEditor::Open(macros_, 0);
  EXPECT_EQ(editor.Events()[0].delay, 70000);
  editor.Select(1);
  ASSERT_EQ(editor.MoveSelected(MacroMove::kUp), MacroEdit::kSaved);
  EXPECT_EQ(stored_event(1), odd);

  // Typed delays are clamped; the rest of the event stays as it was.
  ASSERT_EQ(editor.SetDelay(1, 70000), MacroEdit::kSaved);
  Json::Value expected = odd;
  expected["Delay"] = "65535";
  EXPECT_EQ(stored_event(1), expected);

  editor.Select(1);
  ASSERT_EQ(editor.ChangeInput(macro_event_type::kKey, 0x05), MacroEdit::kSaved);
  expected["Button"] = 5;
  EXPECT_EQ(stored_event(1), expected);
}

TEST_F(MacroEditorTest, ASaveUsesTheNameTheIndexGivesNow) {
  MacroEditor editor = Open(Keys("AB"));
  ASSERT_EQ(macros_.Rename(0, "Combo"), MacroRename::kRenamed);
  EXPECT_EQ(editor.SetDelay(0, 5), MacroEdit::kSaved);
  EXPECT_EQ(ReadJsonDocument(*MacroFilePath(folder_.path(), editor.Guid()))["MacroName"], "Combo");
}

TEST_F(MacroEditorTest, AnEditorOfARemovedMacroWritesNoFileAgain) {
  MacroEditor editor = Open(Keys("AB"));
  ASSERT_TRUE(macros_.Remove(0));
  editor.Select(0);
  EXPECT_EQ(editor.MoveSelected(MacroMove::kDown), MacroEdit::kNotSaved);
  EXPECT_EQ(editor.Events(), Keys("BA"));
  EXPECT_FALSE(std::filesystem::exists(*MacroFilePath(folder_.path(), editor.Guid())));
}

TEST_F(MacroEditorTest, OnlyListedMacrosWithAGuidOpen) {
  EXPECT_FALSE(MacroEditor::Open(macros_, 1));
  const Json::Value index = ReadJsonDocument(folder_.path() / kMacroIndexFileName);
  Json::Value broken = index;
  broken["MacroInfo"][0]["Guid"] = "../elsewhere";
  ASSERT_TRUE(WriteJsonDocument(folder_.path() / kMacroIndexFileName, broken));
  EXPECT_FALSE(MacroEditor::Open(macros_, 0));
}

}  // namespace
}  // namespace brontal
