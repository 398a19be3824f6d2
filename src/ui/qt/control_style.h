#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/toolkit/font_table.h"

namespace brontal {

class CControlUI;

// How a control's colours, images, fonts and text alignment look in Qt.
//
// Layout attributes read here: "bkcolor", "textcolor" and "disabledtextcolor"
// (ARGB); images, each a file below the skin folder (SkinImageFile): "bkimage",
// "foreimage", and the status images of buttons "normalimage", "hotimage",
// "pushedimage", "disabledimage", of options and check boxes also
// "selectedimage" and "selectedhotimage" (on a check box they draw the box);
// "font", an id of the window's font table; "align" (left, center, right) and
// "valign" (top, vcenter, bottom).

QColor QtColor(std::uint32_t argb);
QFont QtFont(const FontSpec& font);
// The font the control's "font" attribute names; nothing when it names none
// that the window knows.
std::optional<QFont> ControlFont(const CControlUI& control);
Qt::Alignment TextAlignment(const CControlUI& control, Qt::Alignment fallback);

// The status image for the control's state (disabled, selected, pushed, hot),
// falling back to "normalimage"; empty for controls that are not buttons.
const std::string& StatusImage(const CControlUI& control);

// The file of an image attribute's value: the value itself, or in the form
// "file='keys/light.png' ..." the quoted path (the other keys of that form are
// not drawn).
std::string_view SkinImageFile(std::string_view image);

// An image of the control's skin, by the value of an image attribute; the
// path is absolute, the pixmap null when the file cannot be read.
QString SkinImagePath(const CControlUI& control, std::string_view image);
QPixmap SkinPixmap(const CControlUI& control, std::string_view image);

// A widget style sheet showing the control's colours and images on the native
// widget of its kind; empty when the control has none. A disabled control's
// background colour shows at a quarter of its opacity.
QString ControlStyleSheet(const CControlUI& control);

}  // namespace brontal
