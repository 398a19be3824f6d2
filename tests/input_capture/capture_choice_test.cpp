// Which backend serves a session, and what is said when none can.
#include "input_capture/capture_choice.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "helpers/temporary_folder.h"
#include "ui/toolkit/manual_message_loop.h"

namespace brontal {
namespace {

struct SessionCase {
  const char* display;
  const char* wayland_display;
  const char* session_type;
  bool x11;
};

TEST(CaptureChoice, OnlyAnX11SessionCountsAsX11NotXWayland) {
  for (const SessionCase& c :
       {SessionCase{":0", "", "x11", true}, SessionCase{":0", "", "", true},
        SessionCase{"localhost:10.0", "", "tty", true}, SessionCase{":0", "wayland-0", "", false},
        SessionCase{":0", "", "wayland", false}, SessionCase{":0", "wayland-0", "wayland", false},
        SessionCase{"", "", "x11", false}, SessionCase{"", "wayland-0", "wayland", false}}) {
    const CaptureEnvironment environment{
        .display = c.display, .wayland_display = c.wayland_display, .session_type = c.session_type};
    EXPECT_EQ(IsX11Session(environment), c.x11) << c.display << " / " << c.wayland_display << " / " << c.session_type;
  }
}

class CaptureChoiceWithoutX11 : public ::testing::Test {
 protected:
  test::TemporaryFolder input_folder_{"brontal_input"};
  ManualMessageLoop loop_;
  // A Wayland session whose input folder holds an "event" file that is no input device.
  CaptureEnvironment wayland_{
      .display = ":0", .wayland_display = "wayland-0", .session_type = "wayland", .input_folder = input_folder_.path()};

  void SetUp() override { ASSERT_EQ(::mkfifo((input_folder_.path() / "event0").c_str(), 0600), 0); }
};

TEST_F(CaptureChoiceWithoutX11, NoSystemWideCaptureAndTheReasonSaysHowToGetOne) {
  std::string reason;
  EXPECT_EQ(MakeSystemWideCapture(loop_, wayland_, reason), nullptr);
  EXPECT_NE(reason.find("input group"), std::string::npos) << reason;
  EXPECT_NE(reason.find("brontalctl udev-rules --input"), std::string::npos) << reason;
}

TEST_F(CaptureChoiceWithoutX11, OurOwnWindowIsWhatIsLeft) {
  const std::unique_ptr<InputCapture> capture = MakeInputCapture(loop_, wayland_);
  ASSERT_NE(capture, nullptr);
  EXPECT_EQ(capture->backend(), CaptureBackend::kOwnWindow);
}

TEST(CaptureChoice, AnX11SessionIsCapturedThroughX11) {
  ManualMessageLoop loop;
  std::string reason;
  const std::unique_ptr<InputCapture> capture =
      MakeSystemWideCapture(loop, {.display = ":0", .wayland_display = "", .session_type = "x11"}, reason);
  ASSERT_NE(capture, nullptr);
  EXPECT_EQ(capture->backend(), CaptureBackend::kX11);
}

}  // namespace
}  // namespace brontal
