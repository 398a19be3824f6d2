#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/toolkit/window.h"

namespace brontal::testing {

// Registered in every process of the bus tests, so that they travel by name.
inline constexpr std::string_view kPingMessage = "BusTest.Ping";    // answered with wParam + lParam
inline constexpr std::string_view kEchoMessage = "BusTest.Echo";    // posted back by the peer program
inline constexpr std::string_view kReadyMessage = "BusTest.Ready";  // the peer program is on the bus

// A window that records what reaches it and answers through `answer`. Close
// and destroy take the default path.
class BusTestWindow : public WindowImplBase {
 public:
  using WindowImplBase::WindowImplBase;

  // Creates the window on the test skin and lets `allowed` in from the bus.
  bool Open(const std::string& title, const std::vector<std::uint32_t>& allowed);

  std::string_view GetWindowClassName() const override { return "BusTestWnd"; }

  std::vector<WindowMessage> received;
  std::function<LRESULT(const WindowMessage&)> answer;
  std::function<void()> on_received;
  std::function<void()> on_final;

 protected:
  std::string GetSkinFile() const override { return "bus_window.xml"; }
  LRESULT HandleMessage(const WindowMessage& message, bool& handled) override;
  void OnFinalMessage() override {
    if (on_final) on_final();
  }
};

// The sum of the bytes, the peer's answer to copy data.
LRESULT ByteSum(const std::vector<std::uint8_t>& bytes);

}  // namespace brontal::testing
