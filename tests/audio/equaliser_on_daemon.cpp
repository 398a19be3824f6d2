#include "equaliser_on_daemon.h"

#include "audio/pipewire_equaliser.h"

namespace brontal::audio {
namespace {

bool HasGains(const Json::Value& node, const EqBands& gains) {
  const std::map<std::string, double> controls = FilterControls(node);
  for (std::size_t band = 0; band < kEqBandCount; ++band) {
    const auto it = controls.find("eq_band_" + std::to_string(band + 1) + ":Gain");
    if (it == controls.end() || it->second != gains[band]) return false;
  }
  return true;
}

}  // namespace

std::map<std::string, double> FilterControls(const Json::Value& node) {
  std::map<std::string, double> controls;
  for (const Json::Value& props : node["info"]["params"]["Props"]) {
    const Json::Value& params = props["params"];
    for (Json::ArrayIndex i = 0; i + 1 < params.size(); i += 2)
      if (params[i].isString() && params[i + 1].isNumeric()) controls[params[i].asString()] = params[i + 1].asDouble();
  }
  return controls;
}

Json::Value EqualiserOnDaemonTest::SinkWithGains(const EqBands& gains, int card) {
  Json::Value sink;
  test::WaitFor([&] {
    sink = test::NodeNamed(daemon_.Dump(), PipeWireEqualiser::SinkName(card));
    return HasGains(sink, gains);
  });
  return HasGains(sink, gains) ? sink : Json::Value();
}

bool EqualiserOnDaemonTest::EqualiserGone(int card) {
  return test::WaitFor([&] {
    const Json::Value objects = daemon_.Dump();
    return objects.size() > 0 && test::NodeNamed(objects, PipeWireEqualiser::SinkName(card)).isNull() &&
           test::NodeNamed(objects, PipeWireEqualiser::SinkName(card) + ".output").isNull();
  });
}

}  // namespace brontal::audio
