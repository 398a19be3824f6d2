// Feeds arbitrary bytes to the bus frame decoders. A request that decodes must
// encode back to the same bytes, so nothing is read that was not checked.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "app/bus/bus_frame.h"
#include "ui/toolkit/registered_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = [] {
    for (const char* name : {"Brontal Driver", "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", "Game_Start"})
      brontal::RegisterWindowMessage(name);
    return true;
  }();
  (void)registered;
  const std::span<const std::uint8_t> frame(data, size);
  brontal::DecodeBusReply(frame);
  brontal::BusRequest request;
  std::string error;
  if (!brontal::DecodeBusRequest(frame, request, error)) return 0;
  std::vector<std::uint8_t> again;
  if (!brontal::EncodeBusRequest(request, again, error)) std::abort();
  if (!std::equal(again.begin(), again.end(), frame.begin(), frame.end())) std::abort();
  return 0;
}
