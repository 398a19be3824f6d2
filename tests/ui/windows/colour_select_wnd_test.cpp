// The colour picker on the shipped skin, with its colour file in folders of
// the test's own.
#include "ui/windows/colour_select_wnd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "../toolkit/test_window.h"
#include "helpers/private_user_folders.h"
#include "helpers/temporary_folder.h"
#include "helpers/trace_recorder.h"
#include "profiles/colour_options.h"
#include "ui/controls/color_palette_ui.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/option.h"

namespace brontal::testing {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;

class ColourPickerTest : public ::testing::Test {
 protected:
  ColourPickerTest() {
    toolkit.Resources().SetSkinFolder(BRONTAL_SKIN_DIR);
    std::string error;
    if (!toolkit.Resources().LoadIndex("res.xml", error)) throw std::runtime_error(error);
    toolkit.Resources().SetLanguage("en");
    if (!toolkit.Resources().LoadLanguage(std::string(BRONTAL_SKIN_DIR) + "/lang/en.xml", error))
      throw std::runtime_error(error);
    toolkit.Factory().Register("CColorPaletteUI", [] { return std::make_unique<CColorPaletteUI>(); });
    if (!owner.Create(nullptr, "Owner")) throw std::runtime_error(owner.GetCreateError());
  }

  // The factory copy: preset 3 is 0xFF123456, collected 5 holds 0xFF00FF00
  // and is selected; collected 6 has a colour but was never filled.
  static ColourOptions FactoryOptions() {
    ColourOptions options;
    options.fixed[3] = 0xFF123456;
    options.fixed_selected = 3;
    options.collected[5] = {0xFF00FF00, true};
    options.collected[6] = {0xFF0000FF, false};
    options.collected_selected = 5;
    return options;
  }
  void WriteFactoryCopy() {
    ASSERT_TRUE(SaveColourOptions(FactoryOptions(), {folders.default_data, folders.default_data, folders.config}));
  }
  ColourOptions Stored() const { return LoadColourOptions(folders); }

  std::unique_ptr<CColorSelectWnd> Open() {
    auto picker = std::make_unique<CColorSelectWnd>(toolkit, folders);
    if (!picker->Create(&owner, "PalletDialog")) throw std::runtime_error(picker->GetCreateError());
    return picker;
  }

  template <typename T = CControlUI>
  static T& Find(WindowImplBase& window, std::string_view name) {
    auto* control = dynamic_cast<T*>(window.GetPaintManager().FindControl(name));
    if (!control) throw std::runtime_error("no such control: " + std::string(name));
    return *control;
  }
  static std::string Edits(WindowImplBase& picker) {
    return Find(picker, "color_edit_r").GetText() + "," + Find(picker, "color_edit_g").GetText() + "," +
           Find(picker, "color_edit_b").GetText();
  }
  // A press at the given fractions of the palette, laid out at 0..100 both ways.
  static void PressPalette(WindowImplBase& picker, int x, int y) {
    auto& palette = Find<CColorPaletteUI>(picker, "Pallet");
    palette.SetPos({0, 0, 101, 101});
    TEventUI press(UiEventType::kButtonDown, {x, y});
    palette.Event(press);
    TEventUI release(UiEventType::kButtonUp, {x, y});
    palette.Event(release);
  }

  // Once the picker runs modally, `act` works on it.
  void WhenThePickerRuns(std::function<void(CColorSelectWnd&)> act) {
    loop.Post([this, act = std::move(act)] {
      for (WindowImplBase* window : toolkit.Windows())
        if (window->GetWindowClassName() == "ColorSelectWnd") return act(static_cast<CColorSelectWnd&>(*window));
      ADD_FAILURE() << "no picker runs";
    });
  }

  test::PrivateUserFolders users;  // PickColour keeps its file in the user's folders
  test::TemporaryFolder data;
  AppFolders folders{data.path() / "default", data.path() / "app", data.path() / "config"};
  ManualMessageLoop loop;
  Toolkit toolkit{loop};
  TestWindow owner{toolkit, UI_TEST_DATA "/dialog.xml"};
};

TEST_F(ColourPickerTest, TheSwatchesComeFromTheUsersFileOrElseFromTheFactoryCopyWhichIsKeptForTheUser) {
  WriteFactoryCopy();
  ColourOptions users = FactoryOptions();
  users.fixed[3] = 0xFFABCDEF;
  for (const std::string user_file : {"", "{ not json", "users"}) {
    std::filesystem::remove_all(folders.application);
    if (user_file == "users")
      ASSERT_TRUE(SaveColourOptions(users, folders));
    else if (!user_file.empty())
      std::ofstream(folders.ApplicationFile(kColourFileName)) << user_file;
    const ColourOptions expected = user_file == "users" ? users : FactoryOptions();
    auto picker = Open();
    EXPECT_EQ(Find(*picker, "color_option_3").GetBkColor(), *expected.fixed[3]) << user_file;
    EXPECT_TRUE(Find<COptionUI>(*picker, "color_option_3").IsSelected()) << user_file;
    EXPECT_EQ(Find(*picker, "collect_color_option_5").GetBkColor(), 0xFF00FF00u);
    EXPECT_EQ(Find(*picker, "collect_color_option_5").GetUserData(), "1");
    EXPECT_TRUE(Find<COptionUI>(*picker, "collect_color_option_5").IsSelected());
    for (const char* empty : {"collect_color_option_6", "collect_color_option_0"}) {
      EXPECT_EQ(Find(*picker, empty).GetBkColor(), 0xFFFFFFFFu) << empty;
      EXPECT_EQ(Find(*picker, empty).GetUserData(), "") << empty;
    }
    EXPECT_EQ(Stored(), expected) << user_file;
  }
}

TEST_F(ColourPickerTest, WithoutAnyColourFileTheLayoutsSwatchesStay) {
  auto picker = Open();
  EXPECT_EQ(Find(*picker, "color_option_3").GetBkColor(), 0u);
  EXPECT_FALSE(Find<COptionUI>(*picker, "color_option_3").IsSelected());
  EXPECT_EQ(Find(*picker, "collect_color_option_5").GetBkColor(), 0xFFFFFFFFu);
}

TEST_F(ColourPickerTest, EditValuesAreClampedToAByteEachInsteadOfSpillingIntoTheirNeighbours) {
  struct Case {
    const char* edit;
    const char* text;
    std::uint32_t colour;
    const char* shown;
  };
  for (const Case& c : {Case{"color_edit_r", "300", 0xFFFF0000, "255,0,0"},
                        {"color_edit_g", "256", 0xFF00FF00, "0,255,0"},
                        {"color_edit_b", "-5", 0xFF000000, "0,0,0"},
                        {"color_edit_g", "99999999999999999999", 0xFF00FF00, "0,255,0"},
                        {"color_edit_b", "", 0xFF000000, "0,0,"},
                        {"color_edit_g", "18", 0xFF001200, "0,18,0"}}) {
    auto picker = Open();
    picker->SetInitialColour(0xFF000000);
    ASSERT_TRUE(Find<CEditUI>(*picker, c.edit).UserEditText(c.text));
    EXPECT_EQ(picker->GetColour(), c.colour) << c.text;
    EXPECT_EQ(Find(*picker, "color_show_btn").GetBkColor(), c.colour) << c.text;
    EXPECT_EQ(Find<CColorPaletteUI>(*picker, "Pallet").GetSelectedColour(), c.colour) << c.text;
    EXPECT_EQ(Edits(*picker), c.shown) << c.text;
  }
}

TEST_F(ColourPickerTest, OnlyOkChoosesAndCancellingLeavesTheCallersColourWhileSwatchChoicesAreKept) {
  // Each round picks another preset, so that a kept choice is this round's.
  for (const auto& [press, preset] : {std::pair<const char*, int>{"okbtn", 7}, {"closebtn", 8}, {"", 9}}) {
    WhenThePickerRuns([press, preset](CColorSelectWnd& picker) {  // press "": the close command
      Find<COptionUI>(picker, "color_option_" + std::to_string(preset)).Activate();
      Find<CEditUI>(picker, "color_edit_r").UserEditText("10");
      Find<CEditUI>(picker, "color_edit_g").UserEditText("20");
      Find<CEditUI>(picker, "color_edit_b").UserEditText("30");
      if (*press)
        Find<CButtonUI>(picker, press).Activate();
      else
        picker.PostMessage(WindowMessage(kWmClose));
    });
    std::uint32_t colour = kRed;
    if (const auto picked = PickColour(owner, colour, 100, false)) colour = *picked;
    EXPECT_EQ(colour, *press == 'o' ? 0xFF0A141Eu : kRed) << press;
    EXPECT_EQ(LoadColourOptions(AppFolders::Installed()).fixed_selected, preset) << press;
    EXPECT_EQ(toolkit.Windows().size(), 1u);  // the picker went away with its answer
  }
}

TEST_F(ColourPickerTest, OkWithoutAPaletteAnswersTwo) {
  auto picker = Open();
  loop.Post([&picker] {
    CControlUI& palette = Find(*picker, "Pallet");
    palette.GetParent()->Remove(&palette);
    Find<CButtonUI>(*picker, "okbtn").Activate();
  });
  EXPECT_EQ(picker->ShowModal(), CColorSelectWnd::kNoPalette);
}

TEST_F(ColourPickerTest, ThePickerTakesTheDisplayScaleAndTracesOneItCannotUse) {
  for (const auto& [scale, shown, traced] : {std::tuple{150, 150, 0L}, {0, 100, 1L}}) {
    test::TraceRecorder trace;
    std::optional<int> scale_shown;
    WhenThePickerRuns([&](CColorSelectWnd& picker) {
      scale_shown = picker.GetPaintManager().GetScale();
      EXPECT_EQ(picker.GetTitle(), "PalletDialog");
      EXPECT_TRUE(picker.IsModal());
      picker.Close(0);
    });
    PickColour(owner, kRed, scale, false);
    EXPECT_EQ(scale_shown, shown);
    EXPECT_EQ(trace.Count("SET_WND DPI SET ERROR"), traced);
  }
}

TEST_F(ColourPickerTest, AnEmptyCollectedSwatchChangesNothingUntilTheNextColourFillsIt) {
  WriteFactoryCopy();
  auto picker = Open();
  picker->SetInitialColour(kRed);
  const ColourOptions before = Stored();
  auto& empty = Find<COptionUI>(*picker, "collect_color_option_6");
  ASSERT_TRUE(empty.Activate());
  EXPECT_EQ(picker->GetColour(), kRed);
  EXPECT_EQ(Find(*picker, "color_show_btn").GetBkColor(), kRed);
  EXPECT_EQ(Edits(*picker), "255,0,0");
  EXPECT_EQ(empty.GetBkColor(), 0xFFFFFFFFu);
  EXPECT_EQ(Stored(), before);

  PressPalette(*picker, 0, 100);  // bottom: black
  EXPECT_EQ(empty.GetBkColor(), 0xFF000000u);
  EXPECT_EQ(empty.GetUserData(), "1");
  EXPECT_EQ(Stored().collected[6], (CollectedSwatch{0xFF000000, true}));
  EXPECT_EQ(Stored().collected_selected, 6);
  EXPECT_EQ(Stored().collected[5], before.collected[5]);
}

TEST_F(ColourPickerTest, AFilledCollectedSwatchBecomesTheColourAndAPresetOneAlsoFillsTheSelectedCollectedSwatch) {
  WriteFactoryCopy();
  auto picker = Open();
  picker->EnableMulticolour(true);
  picker->SetMulticolour(true);
  Find<COptionUI>(*picker, "collect_color_option_0").Activate();  // empty: only selected
  Find<COptionUI>(*picker, "collect_color_option_5").Activate();
  EXPECT_EQ(picker->GetColour(), 0xFF00FF00u);
  EXPECT_EQ(Edits(*picker), "0,255,0");
  EXPECT_FALSE(picker->IsMulticolour());
  EXPECT_EQ(Stored().collected_selected, 5);

  Find<COptionUI>(*picker, "color_option_3").Selected(false, false);
  Find<COptionUI>(*picker, "color_option_3").Activate();
  EXPECT_EQ(picker->GetColour(), 0xFF123456u);
  EXPECT_EQ(Find<CColorPaletteUI>(*picker, "Pallet").GetSelectedColour(), 0xFF123456u);
  EXPECT_EQ(Edits(*picker), "18,52,86");
  EXPECT_EQ(Find(*picker, "collect_color_option_5").GetBkColor(), 0xFF123456u);
  EXPECT_EQ(Stored().collected[5], (CollectedSwatch{0xFF123456, true}));
}

TEST_F(ColourPickerTest, TheSevenColourChoiceShowsInThePreviewAndAnyNewColourEndsIt) {
  auto picker = Open();
  auto& choice = Find<COptionUI>(*picker, "7color");
  CControlUI& preview = Find(*picker, "color_show_btn");
  picker->EnableMulticolour(true);
  ASSERT_TRUE(choice.Activate());
  EXPECT_TRUE(picker->IsMulticolour());
  EXPECT_FALSE(preview.GetBkImage().empty());
  PressPalette(*picker, 0, 50);
  EXPECT_FALSE(picker->IsMulticolour());
  EXPECT_FALSE(choice.IsSelected());
  EXPECT_TRUE(preview.GetBkImage().empty());

  picker->SetMulticolour(true);
  picker->EnableMulticolour(false);
  EXPECT_FALSE(picker->IsMulticolour());
  EXPECT_FALSE(choice.IsSelected());
  EXPECT_FALSE(choice.IsEnabled());
  EXPECT_FALSE(Find(*picker, "7color_layout").IsVisible());
  picker->SetMulticolour(true);
  EXPECT_FALSE(picker->IsMulticolour());
}

TEST_F(ColourPickerTest, PickColourHandsTheSevenColourChoiceInAndOutOnlyWhereItIsOffered) {
  for (const bool offered : {true, false}) {
    std::optional<bool> shown;
    WhenThePickerRuns([&shown](CColorSelectWnd& picker) {
      shown = picker.IsMulticolour();
      if (auto& choice = Find<COptionUI>(picker, "7color"); choice.IsReachable()) choice.Activate();
      Find<CButtonUI>(picker, "okbtn").Activate();
    });
    bool multicolour = true;
    EXPECT_EQ(PickColour(owner, 0xFF010203, 100, offered, &multicolour), 0xFF010203u);
    EXPECT_EQ(shown, offered);
    EXPECT_EQ(multicolour, !offered) << "offered " << offered;  // untouched when not offered
  }
}

TEST_F(ColourPickerTest, APressOrDragOnThePaletteSendsTheColourUnderThePointer) {
  auto picker = Open();
  picker->SetInitialColour(0xFF000000);
  std::vector<std::string> notes;
  struct Recorder : CNotifyPump {
    std::vector<std::string>* notes;
    void Notify(TNotifyUI& msg) override { notes->push_back(msg.type + " " + msg.sender->GetName()); }
  } recorder;
  recorder.notes = &notes;
  picker->GetPaintManager().AddNotifyPump(recorder);
  auto& palette = Find<CColorPaletteUI>(*picker, "Pallet");
  EXPECT_TRUE(notes.empty());  // the initial colour was set silently

  PressPalette(*picker, 0, 50);
  EXPECT_EQ(notes, std::vector<std::string>{"colorchanged Pallet"});
  EXPECT_EQ(palette.GetSelectedColour(), kRed);
  EXPECT_EQ(picker->GetColour(), kRed);
  EXPECT_EQ(Edits(*picker), "255,0,0");

  // A drag past the edge keeps to the edge; a move without a press is ignored.
  TEventUI press(UiEventType::kButtonDown, {50, 50}), drag(UiEventType::kMouseMove, {50, 500}),
      release(UiEventType::kButtonUp, {50, 500}), hover(UiEventType::kMouseMove, {50, 0});
  for (TEventUI* event : {&press, &drag, &release, &hover}) palette.Event(*event);
  EXPECT_EQ(palette.GetSelectedColour(), 0xFF000000u);
  EXPECT_EQ(notes.size(), 3u);
}

TEST(ColourPaletteTest, HueRunsAcrossAndLightnessDown) {
  struct Case {
    double across, down;
    std::uint32_t colour;
  };
  for (const Case& c : {Case{0, 0.5, 0xFFFF0000},
                        {1.0 / 3, 0.5, 0xFF00FF00},
                        {2.0 / 3, 0.5, 0xFF0000FF},
                        {0.5, 0.5, 0xFF00FFFF},
                        {0, 0, 0xFFFFFFFF},
                        {0, 1, 0xFF000000},
                        {2.0 / 3, 0.75, 0xFF000080},
                        {1, 0.5, 0xFFFF0000}}) {
    EXPECT_EQ(CColorPaletteUI::ColourAt({c.across, c.down}), c.colour) << c.across << " " << c.down;
    CColorPaletteUI palette;
    palette.SetSelectedColour(c.colour);
    const CColorPaletteUI::Place place = palette.SelectedPlace();
    EXPECT_EQ(CColorPaletteUI::ColourAt(place), c.colour) << std::hex << c.colour;
  }
}

}  // namespace
}  // namespace brontal::testing
