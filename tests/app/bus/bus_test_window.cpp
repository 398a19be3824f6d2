#include "bus_test_window.h"

#include <numeric>

#include "ui/toolkit/toolkit.h"

namespace brontal::testing {

bool BusTestWindow::Open(const std::string& title, const std::vector<std::uint32_t>& allowed) {
  GetToolkit().Resources().SetSkinFolder(BUS_TEST_DATA);
  if (!Create(nullptr, title)) return false;
  for (const std::uint32_t id : allowed) GetPaintManager().AllowExternalMessage(id);
  return true;
}

LRESULT BusTestWindow::HandleMessage(const WindowMessage& message, bool& handled) {
  if (message.id == kWmClose || message.id == kWmDestroy) return 0;
  handled = true;
  received.push_back(message);
  const LRESULT result = answer ? answer(message) : 0;
  if (on_received) on_received();
  return result;
}

LRESULT ByteSum(const std::vector<std::uint8_t>& bytes) {
  return std::accumulate(bytes.begin(), bytes.end(), LRESULT{0});
}

}  // namespace brontal::testing
