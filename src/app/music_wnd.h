#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "profiles/audio_styles_file.h"
#include "ui/toolkit/window.h"

namespace brontal {

// The music lighting window: the four audio light styles, each a name and
// three colour levels 0..9; the selected tab is the style the keyboards'
// sound colour comes from. It edits a copy of the styles.
class CMusicWnd final : public WindowImplBase {
 public:
  // ShowModal results.
  static constexpr int kCancelled = 0;
  static constexpr int kAccepted = 1;

  CMusicWnd(Toolkit& toolkit, AudioStyles styles);

  std::string_view GetWindowClassName() const override { return "MusicWnd"; }
  void Notify(TNotifyUI& msg) override;
  const AudioStyles& styles() const { return styles_; }

 protected:
  std::string GetSkinFile() const override { return "XML/music.xml"; }
  void InitWindow() override;

 private:
  // The selected style's tab and levels; false when the layout lacks a tab or a slider.
  bool ShowSelectedStyle();
  // An edit's text becomes the name of its style; an empty one the default name, in the edit too.
  void TakeName(std::size_t style);

  AudioStyles styles_;
};

// The styles as the user leaves them in a CMusicWnd owned by `owner`, scaled
// by `scale` percent; nothing when the window is closed without OK or cannot
// be built.
std::optional<AudioStyles> EditAudioStyles(WindowImplBase& owner, const AudioStyles& styles, int scale);

}  // namespace brontal
