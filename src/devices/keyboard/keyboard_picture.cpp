#include "devices/keyboard/keyboard_picture.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/select_panel_ui.h"

namespace brontal {
namespace {

constexpr KeyAction kFnAction = {0xA0, 0x01, 0x00};

// Boards are written in quarter key units, the finest step of standard cap sizes.
constexpr int kQuarter = kKeyUnit / 4;

// The last index wins: the key events report the upper one of a duplicate pair.
std::optional<std::size_t> LogicalKeyOf(const KeyAction& action) {
  for (std::size_t k = kLogicalKeyCount; k-- > 0;) {
    if (kLogicalKeyActions[k] == action) return k;
  }
  return std::nullopt;
}

class Board {
 public:
  // One run of keys from left to right; sizes in quarter units, 4 = one key.
  class Row {
   public:
    Row(Board& board, int top, int left) : board_(board), top_(top), x_(left) {}
    Row& Key(std::uint8_t usage, int width = 4, int height = 4) { return Place({0x20, 0x00, usage}, width, height); }
    Row& Keys(std::initializer_list<std::uint8_t> usages) {
      for (const std::uint8_t usage : usages) Key(usage);
      return *this;
    }
    Row& Range(std::uint8_t first, std::uint8_t last) {
      for (int usage = first; usage <= last; ++usage) Key(static_cast<std::uint8_t>(usage));
      return *this;
    }
    Row& Modifier(std::uint8_t mask, int width) { return Place({0x20, mask, 0x00}, width, 4); }
    Row& Fn(int width) { return Place(kFnAction, width, 4); }
    Row& Gap(int width) {
      x_ += width;
      return *this;
    }

   private:
    Row& Place(const KeyAction& action, int width, int height) {
      if (const auto key = LogicalKeyOf(action)) {
        board_.places_.push_back({*key, Rect{x_ * kQuarter, top_ * kQuarter, (x_ + width) * kQuarter - kKeyGap,
                                             (top_ + height) * kQuarter - kKeyGap}});
      }
      x_ += width;
      return *this;
    }

    Board& board_;
    int top_;
    int x_;
  };

  Row At(int top, int left) { return Row(*this, top, left); }
  std::vector<KeyPlace> Take() { return std::move(places_); }

 private:
  std::vector<KeyPlace> places_;
};

constexpr std::uint8_t kLeftCtrl = 0x01, kLeftShift = 0x02, kLeftAlt = 0x04, kLeftGui = 0x08;
constexpr std::uint8_t kRightCtrl = 0x10, kRightShift = 0x20, kRightAlt = 0x40;

// The 15-unit main block shared by all pictures, below the function row;
// `top` is the number row's, each row one unit lower. The compact board
// shortens the right shift for the up arrow and drops the menu key.
void MainBlock(Board& board, int top, bool compact) {
  board.At(top, 0).Key(0x35).Range(0x1E, 0x27).Keys({0x2D, 0x2E}).Key(0x2A, 8);
  board.At(top + 4, 0)
      .Key(0x2B, 6)
      .Keys({0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12, 0x13, 0x2F, 0x30})
      .Key(0x31, 6);
  board.At(top + 8, 0)
      .Key(0x39, 7)
      .Keys({0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B, 0x0D, 0x0E, 0x0F, 0x33, 0x34})
      .Key(0x28, 9);
  board.At(top + 12, 0)
      .Modifier(kLeftShift, 9)
      .Keys({0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10, 0x36, 0x37, 0x38})
      .Modifier(kRightShift, compact ? 7 : 11);
  Board::Row bottom = board.At(top + 16, 0);
  bottom.Modifier(kLeftCtrl, 5).Modifier(kLeftGui, 5).Modifier(kLeftAlt, 5).Key(0x2C, 25);
  if (compact) {
    bottom.Modifier(kRightAlt, 4).Fn(4).Modifier(kRightCtrl, 4);
  } else {
    bottom.Modifier(kRightAlt, 5).Fn(5).Key(0x65, 5).Modifier(kRightCtrl, 5);
  }
}

// Esc, F1..F12 in groups of four, and the three system keys over the
// navigation cluster at `system_left`.
void FunctionRow(Board& board, int system_left) {
  board.At(0, 0).Key(0x29).Gap(4).Range(0x3A, 0x3D).Gap(2).Range(0x3E, 0x41).Gap(2).Range(0x42, 0x45);
  board.At(0, system_left).Range(0x46, 0x48);
}

// Insert .. Page Down over the arrows; `top` is the number row's.
void NavigationCluster(Board& board, int top, int left) {
  board.At(top, left).Keys({0x49, 0x4A, 0x4B});
  board.At(top + 4, left).Keys({0x4C, 0x4D, 0x4E});
  board.At(top + 12, left + 4).Key(0x52);
  board.At(top + 16, left).Keys({0x50, 0x51, 0x4F});
}

void NumberPad(Board& board, int top, int left) {
  board.At(top, left).Keys({0x53, 0x54, 0x55, 0x56});
  board.At(top + 4, left).Keys({0x5F, 0x60, 0x61}).Key(0x57, 4, 8);
  board.At(top + 8, left).Keys({0x5C, 0x5D, 0x5E});
  board.At(top + 12, left).Keys({0x59, 0x5A, 0x5B}).Key(0x58, 4, 8);
  board.At(top + 16, left).Key(0x62, 8).Key(0x63);
}

// Quarter units: the main block is 60 wide, a quarter-unit gap before the
// navigation cluster (12) and the number pad (16), half a unit below the
// function row.
constexpr int kRowTop = 6;
constexpr int kNavigationLeft = 61;
constexpr int kNumberPadLeft = 74;

std::vector<KeyPlace> FullSize() {
  Board board;
  FunctionRow(board, kNavigationLeft);
  MainBlock(board, kRowTop, false);
  NavigationCluster(board, kRowTop, kNavigationLeft);
  NumberPad(board, kRowTop, kNumberPadLeft);
  return board.Take();
}

std::vector<KeyPlace> Tenkeyless() {
  Board board;
  FunctionRow(board, kNavigationLeft);
  MainBlock(board, kRowTop, false);
  NavigationCluster(board, kRowTop, kNavigationLeft);
  return board.Take();
}

// 16 units wide with no gaps across: a column of six keys and the arrows sit
// against the main block.
std::vector<KeyPlace> Compact() {
  constexpr int top = 5;
  Board board;
  board.At(0, 0).Key(0x29).Range(0x3A, 0x45).Keys({0x46, 0x49, 0x4C});
  MainBlock(board, top, true);
  board.At(top, 60).Key(0x4A);
  board.At(top + 4, 60).Key(0x4B);
  board.At(top + 8, 60).Key(0x4E);
  board.At(top + 12, 56).Keys({0x52, 0x4D});
  board.At(top + 16, 52).Keys({0x50, 0x51, 0x4F});
  return board.Take();
}

struct Picture {
  std::vector<KeyPlace> keys;
  Size size;  // quarter units
};

const std::array<Picture, kKeyPictureVariantCount>& Pictures() {
  static const std::array<Picture, kKeyPictureVariantCount> pictures = {{
      {FullSize(), {(kNumberPadLeft + 16) * kQuarter, (kRowTop + 20) * kQuarter}},
      {Tenkeyless(), {(kNavigationLeft + 12) * kQuarter, (kRowTop + 20) * kQuarter}},
      {Compact(), {64 * kQuarter, 25 * kQuarter}},
  }};
  return pictures;
}

// Cap labels by HID usage of the keyboard page.
constexpr std::array<std::string_view, 0x92> kUsageLabels = [] {
  std::array<std::string_view, 0x92> labels{};
  constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (std::size_t i = 0; i < kLetters.size(); ++i) labels[0x04 + i] = kLetters.substr(i, 1);
  constexpr std::string_view kDigits = "1234567890";
  for (std::size_t i = 0; i < kDigits.size(); ++i) {
    labels[0x1E + i] = kDigits.substr(i, 1);
    labels[0x59 + i] = kDigits.substr(i, 1);  // the pad's 1..9, 0
  }
  constexpr std::array<std::string_view, 12> kFunctionKeys = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                                              "F7", "F8", "F9", "F10", "F11", "F12"};
  for (std::size_t i = 0; i < kFunctionKeys.size(); ++i) labels[0x3A + i] = kFunctionKeys[i];
  labels[0x28] = "Enter";
  labels[0x29] = "Esc";
  labels[0x2A] = "Bksp";
  labels[0x2B] = "Tab";
  labels[0x2C] = "Space";
  labels[0x2D] = "-";
  labels[0x2E] = "=";
  labels[0x2F] = "[";
  labels[0x30] = "]";
  labels[0x31] = "\\";
  labels[0x32] = "#";
  labels[0x33] = ";";
  labels[0x34] = "'";
  labels[0x35] = "`";
  labels[0x36] = ",";
  labels[0x37] = ".";
  labels[0x38] = "/";
  labels[0x39] = "Caps";
  labels[0x46] = "PrtSc";
  labels[0x47] = "ScrLk";
  labels[0x48] = "Pause";
  labels[0x49] = "Ins";
  labels[0x4A] = "Home";
  labels[0x4B] = "PgUp";
  labels[0x4C] = "Del";
  labels[0x4D] = "End";
  labels[0x4E] = "PgDn";
  labels[0x4F] = "→";
  labels[0x50] = "←";
  labels[0x51] = "↓";
  labels[0x52] = "↑";
  labels[0x53] = "Num";
  labels[0x54] = "/";
  labels[0x55] = "*";
  labels[0x56] = "-";
  labels[0x57] = "+";
  labels[0x58] = "Enter";
  labels[0x63] = ".";
  labels[0x64] = "\\";
  labels[0x65] = "Menu";
  labels[0x85] = ",";
  labels[0x87] = "Ro";
  labels[0x88] = "Kana";
  labels[0x89] = "Yen";
  labels[0x8A] = "Henkan";
  labels[0x8B] = "Muhenkan";
  labels[0x90] = "Hangul";
  labels[0x91] = "Hanja";
  return labels;
}();

std::string_view ModifierLabel(std::uint8_t mask) {
  switch (mask) {
    case 0x01:
    case 0x10: return "Ctrl";
    case 0x02:
    case 0x20: return "Shift";
    case 0x04:
    case 0x40: return "Alt";
    case 0x08:
    case 0x80: return "Win";
    default: return {};
  }
}

}  // namespace

std::span<const KeyPlace> KeyPictureLayout(int variant) {
  if (variant < 0 || variant >= kKeyPictureVariantCount) return {};
  return Pictures()[static_cast<std::size_t>(variant)].keys;
}

Size KeyPictureSize(int variant) {
  if (variant < 0 || variant >= kKeyPictureVariantCount) return {};
  return Pictures()[static_cast<std::size_t>(variant)].size;
}

std::optional<int> KeyPictureVariantOf(std::uint16_t product_id) {
  switch (product_id) {
    case 0x50EB:
    case 0x50EC: return 0;
    case 0x5100:
    case 0x5103: return 1;
    case 0x5101:
    case 0x5104: return 2;
    default: return std::nullopt;
  }
}

std::string_view KeyCapLabel(std::size_t logical_key) {
  if (logical_key >= kLogicalKeyCount) return {};
  const KeyAction& action = kLogicalKeyActions[logical_key];
  if (action == kFnAction) return "Fn";
  if (action[0] != 0x20) return {};
  if (action[2] != 0) return action[2] < kUsageLabels.size() ? kUsageLabels[action[2]] : std::string_view{};
  return ModifierLabel(action[1]);
}

std::array<CDeviceKeyButtonUI*, kLogicalKeyCount> BuildKeyboardPicture(CSelectPanelUI& panel, int variant,
                                                                       std::optional<Rect> area) {
  const Size size = KeyPictureSize(variant);
  const Rect into = area.value_or(Rect{0, 0, size.cx, size.cy});
  // Never larger than drawn, smaller where the area is: the proportions stay.
  double scale = 1.0;
  if (size.cx > 0 && size.cy > 0)
    scale = std::min({1.0, static_cast<double>(into.Width()) / size.cx, static_cast<double>(into.Height()) / size.cy});
  const int left = into.left + (into.Width() - static_cast<int>(size.cx * scale)) / 2;
  const int top = into.top;
  auto at = [scale](int v) { return static_cast<int>(v * scale); };

  std::array<CDeviceKeyButtonUI*, kLogicalKeyCount> buttons{};
  for (const KeyPlace& place : KeyPictureLayout(variant)) {
    auto key = std::make_unique<CDeviceKeyButtonUI>();
    CDeviceKeyButtonUI* const button = key.get();
    key->SetName("key_" + std::to_string(place.logical_key));
    key->SetText(std::string(KeyCapLabel(place.logical_key)));
    key->SetFloat(true);
    const Rect& r = place.rect;
    const Rect placed{left + at(r.left), top + at(r.top), left + at(r.right), top + at(r.bottom)};
    key->SetPos(placed);
    // As the layout's "pos" does: a floating control is also sized by it.
    key->SetFixedWidth(placed.Width());
    key->SetFixedHeight(placed.Height());
    if (panel.Add(std::move(key))) buttons[place.logical_key] = button;
  }
  return buttons;
}

}  // namespace brontal
