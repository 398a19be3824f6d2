#include "app/audio_capture_supervisor.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "app/app_messages.h"
#include "app/bus/local_bus.h"
#include "app/child_program.h"
#include "audio_link/capture_link.h"
#include "support/debug_log.h"
#include "support/user_folders.h"
#include "ui/toolkit/registered_messages.h"

namespace brontal {
namespace {

using audio_link::CaptureCommand;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// While a program starts, its window is looked for this often.
constexpr milliseconds kStartPoll{50};

milliseconds Until(Clock::time_point at) {
  return std::max(milliseconds(0), std::chrono::ceil<milliseconds>(at - Clock::now()));
}

std::string Ms(milliseconds span) { return std::to_string(span.count()) + " ms"; }

// Whether some capture program runs: it holds the file's exclusive lock. The
// shared lock taken here to find out is given back at once.
bool LockHeld(const std::filesystem::path& file) {
  const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!fd) return false;
  if (::flock(fd.get(), LOCK_SH | LOCK_NB) == 0) {
    ::flock(fd.get(), LOCK_UN);
    return false;
  }
  return errno == EWOULDBLOCK;
}

}  // namespace

AudioCaptureSupervisor::Setup AudioCaptureSupervisor::InstalledSetup(const LocalBus& bus) {
  return {ProgramFolder() / kCaptureProgramName, bus.Folder() / audio_link::kCaptureLockFileName, Timing{}};
}

AudioCaptureSupervisor::AudioCaptureSupervisor(const LocalBus& bus, Setup setup,
                                               std::function<void(const std::string&)> notice)
    : bus_(bus),
      setup_(std::move(setup)),
      notice_(std::move(notice)),
      command_message_(RegisterWindowMessage(kAudioCaptureCommandName)),
      wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      backoff_(setup_.timing.first_retry, setup_.timing.longest_retry, setup_.timing.steady_run) {}

AudioCaptureSupervisor::~AudioCaptureSupervisor() { Stop(); }

void AudioCaptureSupervisor::Start() {
  if (thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = false;
  }
  thread_ = std::thread([this] { Run(); });
}

void AudioCaptureSupervisor::Stop() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  Wake();
  thread_.join();
}

void AudioCaptureSupervisor::SetCaptureWanted(bool wanted) {
  {
    const std::lock_guard lock(mutex_);
    if (wanted_ == wanted) return;
    wanted_ = wanted;
  }
  Wake();
}

void AudioCaptureSupervisor::SetStyleColour(const audio_link::StyleColour& colour) {
  {
    const std::lock_guard lock(mutex_);
    new_colour_ = colour;
  }
  Wake();
}

void AudioCaptureSupervisor::Wake() {
  const std::uint64_t one = 1;
  if (::write(wake_.get(), &one, sizeof one) < 0) Trace("audio capture: the supervisor cannot be woken");
}

bool AudioCaptureSupervisor::Stopping() const {
  const std::lock_guard lock(mutex_);
  return stopping_;
}

void AudioCaptureSupervisor::TakeRequests() {
  const std::lock_guard lock(mutex_);
  wanted_now_ = wanted_;
  if (new_colour_) {
    colour_ = std::exchange(new_colour_, std::nullopt);
    colour_told_ = false;
  }
}

void AudioCaptureSupervisor::Run() {
  while (!Stopping()) {
    TakeRequests();
    Watch();
    if (wanted_now_ && !linked() && Clock::now() >= next_start_) BringUp();
    // The colour first: the first frames after kCaptureOn are coloured right.
    // A colour not taken is not pressed on: the next greeting brings it again.
    if (linked() && colour_ && !colour_told_) {
      SendColour(*colour_);
      colour_told_ = true;
    }
    if (linked() && capture_told_ != wanted_now_) {
      if (Command(wanted_now_ ? CaptureCommand::kCaptureOn : CaptureCommand::kCaptureOff))
        capture_told_ = wanted_now_;
      else
        Lost("did not answer within " + Ms(setup_.timing.command_limit));
    }
    Wait(NextWake());
  }
  SayGoodbye();
}

void AudioCaptureSupervisor::Wait(milliseconds limit) {
  pollfd waits[2] = {{wake_.get(), POLLIN, 0}, {child_ ? child_->end_fd() : -1, POLLIN, 0}};
  if (::poll(waits, 2, limit.count() < 0 ? -1 : static_cast<int>(limit.count())) <= 0) return;
  std::uint64_t count = 0;
  if ((waits[0].revents & POLLIN) && ::read(wake_.get(), &count, sizeof count) < 0) count = 0;
}

milliseconds AudioCaptureSupervisor::NextWake() const {
  std::optional<Clock::time_point> due;
  auto take = [&due](Clock::time_point at) { due = due ? std::min(*due, at) : at; };
  if (wanted_now_ && !linked()) take(next_start_);
  if (linked() && !child_) take(next_probe_);
  // Without a pid file descriptor the child's end is looked for now and then.
  if (child_ && child_->end_fd() < 0) take(Clock::now() + setup_.timing.lock_probe);
  return due ? Until(*due) : milliseconds(-1);
}

void AudioCaptureSupervisor::Watch() {
  if (child_) {
    if (child_->Ended()) Lost(child_->how_it_ended());
    return;
  }
  if (!linked() || Clock::now() < next_probe_) return;
  next_probe_ = Clock::now() + setup_.timing.lock_probe;
  if (!LockHeld(setup_.lock_file)) Lost("ended");
}

void AudioCaptureSupervisor::BringUp() {
  // One found running is greeted; another could not take the lock anyway.
  if (!LockHeld(setup_.lock_file)) {
    std::string error;
    child_ = ChildProgram::Start(setup_.program, error);
    if (!child_) return Lost("could not be started (" + error + ")", true);
    starts_.fetch_add(1, std::memory_order_relaxed);
    Trace("audio capture: started " + setup_.program.string() + " as process " + std::to_string(child_->pid()));
  }
  const auto deadline = Clock::now() + setup_.timing.start_limit;
  while (!Command(CaptureCommand::kHello, ::getpid())) {
    if (Stopping()) return;
    if (child_ && child_->Ended()) return Lost(child_->how_it_ended() + " before it answered");
    if (!child_ && !LockHeld(setup_.lock_file)) return Lost("ended before it answered");
    if (Clock::now() >= deadline)
      return Lost("did not answer within " + Ms(setup_.timing.start_limit) + " of its start");
    Wait(kStartPoll);
  }
  if (!Command(CaptureCommand::kReset) || !Command(CaptureCommand::kReady))
    return Lost("did not take the greeting within " + Ms(setup_.timing.command_limit));
  const auto now = Clock::now();
  linked_.store(true, std::memory_order_relaxed);
  linked_since_ = now;
  next_probe_ = now + setup_.timing.lock_probe;
  capture_told_.reset();
  colour_told_ = false;
  Trace("audio capture: greeted");
}

void AudioCaptureSupervisor::Lost(std::string why, bool not_started) {
  const auto now = Clock::now();
  const milliseconds run = linked() ? std::chrono::duration_cast<milliseconds>(now - linked_since_) : milliseconds(0);
  if (child_) child_->Terminate(setup_.timing.kill_grace);
  child_.reset();
  linked_.store(false, std::memory_order_relaxed);
  capture_told_.reset();
  const milliseconds wait = backoff_.AfterLoss(run);
  next_start_ = now + wait;
  Trace("audio capture: " + why + "; the next start in " + Ms(wait));
  // Nobody misses the sound while no keyboard shows it.
  if (wanted_now_ && backoff_.FirstWordOfOutage() && notice_)
    notice_(std::string(not_started ? "Record open failed! " : "") + "The audio capture program (" +
            std::string(kCaptureProgramName) + ") " + why + "; it is started again.");
}

bool AudioCaptureSupervisor::Command(CaptureCommand command, std::intptr_t lparam) {
  const WindowMessage message(command_message_, static_cast<std::uintptr_t>(command), lparam);
  return bus_.SendTo(audio_link::kCaptureWindowName, message, setup_.timing.command_limit).has_value();
}

void AudioCaptureSupervisor::SendColour(const audio_link::StyleColour& colour) {
  WindowMessage message(kWmCopyData, static_cast<std::uintptr_t>(::getpid()));
  message.copy_kind = audio_link::kStyleColourKind;
  message.copy_data = audio_link::EncodeStyleColour(colour);
  if (!bus_.SendTo(audio_link::kCaptureWindowName, message, setup_.timing.colour_limit))
    Trace("audio capture: the style colour was not taken");
}

void AudioCaptureSupervisor::SayGoodbye() {
  const bool linked_here = linked();
  if (linked_here) {
    for (const CaptureCommand command : {CaptureCommand::kCaptureOff, CaptureCommand::kGoodbye, CaptureCommand::kQuit})
      Command(command);
    linked_.store(false, std::memory_order_relaxed);
  }
  if (!child_) return;
  // One that was asked gets the time to finish; one still starting does not need it.
  if (!linked_here || !child_->WaitForEnd(setup_.timing.quit_limit)) {
    if (linked_here) Trace("audio capture: no end within " + Ms(setup_.timing.quit_limit) + " of kQuit; terminated");
    child_->Terminate(setup_.timing.kill_grace);
  }
  child_.reset();
}

}  // namespace brontal
