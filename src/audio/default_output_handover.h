#pragma once

#include <optional>
#include <string>

namespace brontal::audio {

class PipeWireConnection;

// The desktop's default output while the equaliser runs: handed to the
// equaliser's sink when it was the headset's own, so that what plays on the
// headset goes through the filter, and handed back when the equaliser goes.
// An output the user listens on elsewhere, or chooses meanwhile, is never
// overridden. Streams already playing move only if the session manager moves
// them with the default. Failures only cost the hand-over: they are logged,
// the equaliser still runs and can be chosen by hand.
class DefaultOutputHandover {
 public:
  // Called once the equaliser's sink is loaded in front of `card_sink`.
  void Take(PipeWireConnection& connection, const std::string& card_sink, const std::string& equaliser_sink);
  // Called before the equaliser's sink goes; does nothing after a Take that
  // took nothing.
  void GiveBack(PipeWireConnection& connection);

 private:
  struct Taken {
    std::string equaliser_sink;
    std::optional<std::string> replaced;  // the value that was there; nothing when the key was unset
  };
  std::optional<Taken> taken_;
};

// The node.name a default device value ({"name":"..."}) names; nothing when
// the value is not such an object.
std::optional<std::string> DefaultNodeName(const std::string& json);
// The default device value naming a node.
std::string DefaultNodeValue(const std::string& node_name);

}  // namespace brontal::audio
