#include "control/macro_record_command.h"

#include <memory>
#include <set>
#include <utility>
#include <variant>

#include "input_capture/capture_choice.h"
#include "macros/macro_editor.h"
#include "macros/macro_folder.h"
#include "ui/toolkit/message_loop.h"

namespace brontal::macro_record_command {
namespace {

DeviceReply Failure(const std::string& reason) { return {1, "", "brontalctl: macro: record: " + reason + "\n"}; }

// What is pressed while the command is being started (the Enter that ran it)
// is let go during the recording: a release whose press was not recorded is
// left out, or the macro would begin by releasing a key it never pressed.
class PressesSeen {
 public:
  bool Accept(const CapturedEvent& event) {
    const auto [id, down] = std::visit(
        [](const auto& input) {
          using Input = std::decay_t<decltype(input)>;
          if constexpr (std::is_same_v<Input, CapturedKey>)
            return std::pair(input.key.code | (input.key.extended ? 0x100 : 0), input.down);
          else
            return std::pair(0x1000 | static_cast<int>(input.button), input.down);
        },
        event);
    if (down) return held_.insert(id), true;
    return held_.erase(id) > 0;
  }

 private:
  std::set<int> held_;
};

struct Recording {
  std::unique_ptr<InputCapture> capture;
  MacroEditor editor;
  MacroRecorder recorder;
  MacroEventList list;
  PressesSeen presses;
  std::size_t rows_before = 0;
  bool made = false;  // the macro was made for this recording
  TimerId timer{};
};

// The macro of that name, made when there is none; nullopt, with the reason.
std::optional<std::size_t> MacroNamed(const MacroFolder& folder, std::string_view name, bool& made,
                                      std::string& reason) {
  if (std::optional<std::size_t> found = folder.Index().Find(name)) return found;
  if (folder.Index().Count() >= kMacroLimit) {
    reason = "there is no macro named '" + std::string(name) + "' and there are " + std::to_string(kMacroLimit) +
             " macros already";
    return std::nullopt;
  }
  const std::optional<std::size_t> added = folder.Add(std::chrono::system_clock::now());
  if (!added) {
    reason = "no macro was made: " + folder.Path().string() + " could not be written";
    return std::nullopt;
  }
  if (folder.Rename(*added, name) != MacroRename::kRenamed) {
    folder.Remove(*added);
    reason = "no macro could be named '" + std::string(name) + "'";
    return std::nullopt;
  }
  made = true;
  return added;
}

std::string Told(const Recording& recording, std::string_view name) {
  const std::size_t added = recording.list.events.size() - recording.rows_before;
  std::string told = std::to_string(added) + (added == 1 ? " event" : " events") + " recorded into " +
                     std::string(name) + " (" + std::to_string(recording.list.events.size()) + " in all)\n";
  if (recording.list.events.size() >= kRecordingRowLimit)
    told += "the macro is full: a recording adds nothing beyond " + std::to_string(kRecordingRowLimit) + " events\n";
  return told;
}

}  // namespace

std::optional<Options> ParseOptions(const ParsedArgs& args, std::string& error) {
  Options options;
  if (const std::optional<std::string> length = args.Value("--for")) {
    const std::optional<long> seconds = ParseNumber(*length, 1, kLongestLength.count());
    if (!seconds) {
      error = "--for takes a number of seconds from 1 to " + std::to_string(kLongestLength.count());
      return std::nullopt;
    }
    options.length = std::chrono::seconds(*seconds);
  }
  if (const std::optional<std::string> delay = args.Value("--delay")) {
    if (*delay == "recorded") {
      options.delay = DelayMode::kRecorded;
    } else if (*delay == "none") {
      options.delay = DelayMode::kNone;
    } else if (const std::optional<long> fixed = delay->starts_with("fixed=")
                                                     ? ParseNumber(std::string_view(*delay).substr(6), 0, 65535)
                                                     : std::nullopt) {
      options.delay = DelayMode::kFixed;
      options.fixed_delay_ms = static_cast<std::uint64_t>(*fixed);
    } else {
      error = "--delay takes recorded, none or fixed=MS (0-65535)";
      return std::nullopt;
    }
  }
  return options;
}

void Run(MessageLoop& loop, const MacroFolder& folder, std::string_view name, const Options& options,
         std::function<void(DeviceReply)> done) {
  std::string reason;
  // The capture first: without one no macro is made.
  std::unique_ptr<InputCapture> capture = MakeSystemWideCapture(loop, CaptureEnvironment::FromProcess(), reason);
  if (!capture) return done(Failure("nothing to record from: " + reason));
  bool made = false;
  const std::optional<std::size_t> index = MacroNamed(folder, name, made, reason);
  if (!index) return done(Failure(reason));
  std::optional<MacroEditor> editor = MacroEditor::Open(folder, *index);
  if (!editor) return done(Failure("the macro '" + std::string(name) + "' could not be read"));

  auto recording = std::make_shared<Recording>(Recording{.capture = std::move(capture),
                                                         .editor = std::move(*editor),
                                                         .recorder = {},
                                                         .list = {},
                                                         .presses = {},
                                                         .rows_before = 0,
                                                         .made = made,
                                                         .timer = {}});
  recording->list.events = recording->editor.Events();
  recording->rows_before = recording->list.events.size();
  recording->recorder.Start(RecordingKind::kAppend, options.delay, options.fixed_delay_ms, CaptureClock::now());
  const std::string macro_name = folder.Index().Name(*index);
  // The sink holds the recording weakly: the timer's hold ends it.
  const bool started = recording->capture->Start(
      [weak = std::weak_ptr<Recording>(recording)](const CapturedInput& input) {
        const std::shared_ptr<Recording> held = weak.lock();
        if (held && held->presses.Accept(input.event)) held->recorder.Record(input, held->list);
      },
      reason);
  if (!started) {
    if (made) folder.Remove(*index);
    return done(Failure("the capture did not start: " + reason));
  }
  recording->timer = loop.StartTimer(options.length, [&loop, recording, macro_name, done]() mutable {
    loop.StopTimer(recording->timer);
    recording->capture->Stop();
    recording->recorder.Stop();
    if (recording->editor.ReplaceEvents(recording->list.events, std::nullopt) != MacroEdit::kSaved)
      return done(Failure("the recording could not be saved into " + macro_name));
    done({0, Told(*recording, macro_name), ""});
  });
}

}  // namespace brontal::macro_record_command
