// The default device values as session managers and desktop mixers write them.
#include "audio/default_output_handover.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace brontal::audio {
namespace {

TEST(DefaultNodeName, ReadsTheNameOfAnyWellFormedValue) {
  const struct {
    const char* value;
    std::optional<std::string> name;
  } cases[] = {
      {R"({"name":"test_sink"})", "test_sink"},
      {R"({ "name": "alsa_output.usb-07.analog-stereo" })", "alsa_output.usb-07.analog-stereo"},
      {R"({"name":"test_sink","extra":1})", "test_sink"},
      {R"("test_sink")", std::nullopt},
      {R"({"name":7})", std::nullopt},
      {"{}", std::nullopt},
      {"{ name", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(DefaultNodeName(c.value), c.name) << c.value;
}

TEST(DefaultNodeValue, NamesTheNodeEvenWithQuotesInItsName) {
  const std::string name = R"(a "quoted" \ name)";
  EXPECT_EQ(DefaultNodeName(DefaultNodeValue(name)), name);
}

}  // namespace
}  // namespace brontal::audio
