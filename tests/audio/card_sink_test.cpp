#include "audio/card_sink.h"

#include <gtest/gtest.h>

namespace brontal::audio {
namespace {

TEST(CardSink, TheSinkThatPlaysOnTheCard) {
  const NodeProperties other_card = {{"node.name", "alsa_output.pci"}, {"api.alsa.pcm.card", "0"}};
  const NodeProperties by_pcm = {{"node.name", "alsa_output.usb-a"}, {"api.alsa.pcm.card", "3"}};
  const NodeProperties by_profile = {{"node.name", "alsa_output.usb-b"}, {"alsa.card", "3"}};
  const NodeProperties card_13 = {{"node.name", "alsa_output.usb-c"}, {"api.alsa.pcm.card", "13"}};
  const NodeProperties nameless = {{"api.alsa.pcm.card", "3"}};
  const NodeProperties virtual_sink = {{"node.name", "brontal_equaliser.card3"}};
  struct Case {
    const char* what;
    std::vector<NodeProperties> sinks;
    std::optional<std::string> sink;
  } cases[] = {
      {"by the PCM's card", {other_card, by_pcm}, "alsa_output.usb-a"},
      {"by the profile's card", {other_card, by_profile}, "alsa_output.usb-b"},
      {"the first of two", {by_profile, by_pcm}, "alsa_output.usb-b"},
      {"card 13 is not card 3", {card_13, virtual_sink}, std::nullopt},
      {"a sink without a name is skipped", {nameless, by_pcm}, "alsa_output.usb-a"},
      {"none", {}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(CardSinkName(c.sinks, 3), c.sink) << c.what;
}

}  // namespace
}  // namespace brontal::audio
