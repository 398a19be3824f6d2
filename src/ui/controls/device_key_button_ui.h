#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit/button.h"

namespace brontal {

// One key (or lighting zone) of a device picture. Over the button's status
// images the view draws, in the button's rectangle, the key's light overlay and
// its assignment marks (GetImageLayers). A double click sends "dbclick"; the
// selection panel around the keys sets the selected flag.
//
// Layout attributes: "lightimage", "keysetimage", "keyunsetimage";
// "gmnametextcolor" is accepted as a colour and ignored.
class CDeviceKeyButtonUI : public CButtonUI {
 public:
  static constexpr std::string_view kClassName = "DeviceKeyButton";

  // The light overlay's two drawing parameters, in the order the view's image
  // drawing takes them, followed by the overlay flag.
  struct OverlayParameters {
    int first = 255;
    int second = 200;
    friend bool operator==(const OverlayParameters&, const OverlayParameters&) = default;
  };

  // An image drawn over the status image; the light overlay is drawn with the
  // overlay parameters.
  struct ImageLayer {
    std::string image;
    bool light_overlay = false;
    friend bool operator==(const ImageLayer&, const ImageLayer&) = default;
  };

  std::string_view GetClass() const override { return kClassName; }

  const std::string& GetLightImage() const { return GetAttribute("lightimage"); }
  const std::string& GetKeySetImage() const { return GetAttribute("keysetimage"); }
  const std::string& GetKeyUnsetImage() const { return GetAttribute("keyunsetimage"); }
  OverlayParameters GetOverlayParameters() const { return overlay_parameters_; }

  bool IsLightShown() const { return light_shown_; }
  void SetLightShown(bool shown);
  // Hidden marks draw nothing; both start hidden.
  bool IsKeySetHidden() const { return key_set_hidden_; }
  void SetKeySetHidden(bool hidden);
  bool IsKeyUnsetHidden() const { return key_unset_hidden_; }
  void SetKeyUnsetHidden(bool hidden);

  bool IsSelected() const { return selected_; }
  void SetSelected(bool selected);

  // Bottom first: the light overlay, the unassigned mark, the assigned mark,
  // each only while shown.
  std::vector<ImageLayer> GetImageLayers() const;

  bool SetAttribute(std::string_view name, std::string_view value) override;

 protected:
  void DoEvent(TEventUI& event) override;

 private:
  void SetFlag(bool& flag, bool value);

  OverlayParameters overlay_parameters_;
  bool light_shown_ = false;
  bool key_set_hidden_ = true;
  bool key_unset_hidden_ = true;
  bool selected_ = false;
};

}  // namespace brontal
