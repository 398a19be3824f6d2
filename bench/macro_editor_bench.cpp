// The macro editor on a macro of the most events a recording makes: opening
// it, saving it, and moving one event (a move saves the whole file).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "helpers/temporary_folder.h"
#include "macros/macro_editor.h"
#include "macros/macro_file.h"

namespace brontal {
namespace {

// A folder holding one macro of kMacroEventLimit key presses and releases.
class LongMacro {
 public:
  LongMacro() {
    macros_.Add(std::chrono::system_clock::now());
    std::vector<MacroEvent> events;
    for (std::size_t i = 0; i < kMacroEventLimit; ++i)
      events.push_back({macro_event_type::kKey, static_cast<std::uint8_t>(0x04 + i % 26), i % 2 == 0,
                        static_cast<std::uint16_t>(i)});
    SaveMacroFile(folder_.path(), Guid(), "macro_1", events);
  }

  const MacroFolder& macros() const { return macros_; }
  std::string Guid() const { return macros_.Index().Guid(0); }
  double FileBytes() const {
    return static_cast<double>(std::filesystem::file_size(*MacroFilePath(folder_.path(), Guid())));
  }

 private:
  test::TemporaryFolder folder_{"brontal_macro_bench"};
  MacroFolder macros_{folder_.path()};
};

void BM_OpenLongMacro(benchmark::State& state) {
  const LongMacro macro;
  for (auto _ : state) {
    const std::optional<MacroEditor> editor = MacroEditor::Open(macro.macros(), 0);
    if (!editor || editor->Events().size() != kMacroEventLimit) state.SkipWithError("the macro did not load");
  }
  state.counters["file_bytes"] = macro.FileBytes();
}
BENCHMARK(BM_OpenLongMacro)->Unit(benchmark::kMillisecond);

void BM_SaveLongMacro(benchmark::State& state) {
  const LongMacro macro;
  const MacroEditor editor = *MacroEditor::Open(macro.macros(), 0);
  for (auto _ : state) {
    if (editor.Save() != MacroEdit::kSaved) state.SkipWithError("the macro was not saved");
  }
}
BENCHMARK(BM_SaveLongMacro)->Unit(benchmark::kMillisecond);

void BM_MoveInLongMacro(benchmark::State& state) {
  const LongMacro macro;
  MacroEditor editor = *MacroEditor::Open(macro.macros(), 0);
  editor.Select(kMacroEventLimit / 2);
  bool up = true;
  for (auto _ : state) {
    if (editor.MoveSelected(up ? MacroMove::kUp : MacroMove::kDown) != MacroEdit::kSaved)
      state.SkipWithError("the move was not saved");
    up = !up;
  }
}
BENCHMARK(BM_MoveInLongMacro)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brontal
