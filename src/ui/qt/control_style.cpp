#include "ui/qt/control_style.h"

#include <QPixmapCache>
#include <filesystem>
#include <set>
#include <string>

#include "support/debug_log.h"
#include "support/safe_file.h"
#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/toolkit.h"

namespace brontal {
namespace {

const std::string kNoImage;

const std::string& FirstImage(const CControlUI& control, std::initializer_list<std::string_view> attributes) {
  for (const std::string_view attribute : attributes) {
    const std::string& image = control.GetAttribute(attribute);
    if (!image.empty()) return image;
  }
  return kNoImage;
}

QString CssColor(std::uint32_t argb) {
  const QColor color = QtColor(argb);
  return QStringLiteral("rgba(%1, %2, %3, %4)")
      .arg(color.red())
      .arg(color.green())
      .arg(color.blue())
      .arg(color.alpha());
}

// A colour swatch that takes no clicks fades into what lies behind it.
std::uint32_t DisabledBackground(std::uint32_t argb) {
  const std::uint32_t alpha = (argb >> 24) / 4;
  return alpha << 24 | (argb & 0x00FFFFFF);
}

}  // namespace

QColor QtColor(std::uint32_t argb) {
  return QColor::fromRgba(argb);  // QRgb is ARGB as well
}

QFont QtFont(const FontSpec& spec) {
  QFont font(QString::fromStdString(spec.face));
  if (spec.size > 0) font.setPixelSize(spec.size);
  font.setBold(spec.bold);
  font.setUnderline(spec.underline);
  font.setItalic(spec.italic);
  return font;
}

std::optional<QFont> ControlFont(const CControlUI& control) {
  const auto id = ParseIntAttribute(control.GetAttribute("font"));
  if (!id || !control.GetManager()) return std::nullopt;
  const FontSpec* spec = control.GetManager()->GetFont(*id);
  if (!spec) return std::nullopt;
  return QtFont(*spec);
}

Qt::Alignment TextAlignment(const CControlUI& control, Qt::Alignment fallback) {
  const std::string& align = control.GetAttribute("align");
  const std::string& valign = control.GetAttribute("valign");
  Qt::Alignment horizontal = fallback & Qt::AlignHorizontal_Mask;
  Qt::Alignment vertical = fallback & Qt::AlignVertical_Mask;
  if (align == "left") horizontal = Qt::AlignLeft;
  if (align == "center") horizontal = Qt::AlignHCenter;
  if (align == "right") horizontal = Qt::AlignRight;
  if (valign == "top") vertical = Qt::AlignTop;
  if (valign == "vcenter") vertical = Qt::AlignVCenter;
  if (valign == "bottom") vertical = Qt::AlignBottom;
  return horizontal | vertical;
}

const std::string& StatusImage(const CControlUI& control) {
  const auto* button = dynamic_cast<const CButtonUI*>(&control);
  if (!button) return kNoImage;
  if (!control.IsEnabled()) return FirstImage(control, {"disabledimage", "normalimage"});
  const auto* option = dynamic_cast<const COptionUI*>(&control);
  if (option && option->IsSelected()) {
    const std::string& selected = control.IsHot() ? FirstImage(control, {"selectedhotimage", "selectedimage"})
                                                  : control.GetAttribute("selectedimage");
    if (!selected.empty()) return selected;
  }
  if (button->IsPushed()) return FirstImage(control, {"pushedimage", "normalimage"});
  if (control.IsHot()) return FirstImage(control, {"hotimage", "normalimage"});
  return control.GetAttribute("normalimage");
}

std::string_view SkinImageFile(std::string_view image) {
  constexpr std::string_view kFileKey = "file='";
  const auto key = image.find(kFileKey);
  if (key == std::string_view::npos) return image;
  const auto start = key + kFileKey.size();
  const auto end = image.find('\'', start);
  return image.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

QString SkinImagePath(const CControlUI& control, std::string_view image) {
  std::filesystem::path folder;
  if (const CPaintManagerUI* manager = control.GetManager()) folder = manager->GetToolkit().Resources().SkinFolder();
  return QString::fromStdString(std::filesystem::absolute(folder / SkinImageFile(image)).lexically_normal().string());
}

namespace {

// Far above the skin's images (a few KiB each) and a screen-sized photo.
constexpr std::size_t kLargestImageFile = 64u << 20;

// Qt opens an image file blocking and reads it whole: a FIFO named as the
// background would keep the window from ever showing, /dev/zero would fill
// the memory. Such paths are left out; each is traced once.
bool UsableImageFile(const QString& path) {
  const std::string file = path.toStdString();
  const std::string problem = RegularFileProblem(file, kLargestImageFile);
  if (problem.empty()) return true;
  static std::set<std::string> reported;  // the UI thread's alone
  if (reported.insert(file).second) Trace("skin image " + file + ": " + problem + "; not shown");
  return false;
}

}  // namespace

QPixmap SkinPixmap(const CControlUI& control, std::string_view image) {
  if (image.empty()) return {};
  const QString path = SkinImagePath(control, image);
  if (!UsableImageFile(path)) return {};
  QPixmap pixmap;
  if (!QPixmapCache::find(path, &pixmap) && pixmap.load(path)) QPixmapCache::insert(path, pixmap);
  return pixmap;
}

QString ControlStyleSheet(const CControlUI& control) {
  const bool check_box = dynamic_cast<const CCheckBoxUI*>(&control) != nullptr;
  // A check box's status images draw its box; a button's draw the whole button.
  const QString status_target = check_box ? QStringLiteral("::indicator") : QString();
  const QString status_property = check_box ? QStringLiteral("image") : QStringLiteral("border-image");

  const auto image = [&](std::string_view attribute, const QString& property) {
    const std::string& value = control.GetAttribute(attribute);
    if (value.empty()) return QString();
    const QString path = SkinImagePath(control, value);
    if (!UsableImageFile(path)) return QString();
    return QStringLiteral("%1: url(\"%2\"); ").arg(property, path);
  };
  const auto color = [&](std::string_view attribute, const QString& property) {
    const auto argb = ParseColorAttribute(control.GetAttribute(attribute));
    return argb ? QStringLiteral("%1: %2; ").arg(property, CssColor(*argb)) : QString();
  };

  QString sheet;
  const auto rule = [&sheet](const QString& selector, const QString& declarations) {
    if (!declarations.isEmpty()) sheet += selector + QStringLiteral(" { ") + declarations + QStringLiteral("}\n");
  };
  QString plain;
  if (control.GetBkColor() != 0) plain += QStringLiteral("background-color: %1; ").arg(CssColor(control.GetBkColor()));
  plain += color("textcolor", QStringLiteral("color")) + image("bkimage", QStringLiteral("border-image")) +
           image("foreimage", QStringLiteral("image"));
  rule(QStringLiteral("*"), plain);
  QString disabled = color("disabledtextcolor", QStringLiteral("color"));
  if (control.GetBkColor() != 0) {
    disabled += QStringLiteral("background-color: %1; ").arg(CssColor(DisabledBackground(control.GetBkColor())));
  }
  rule(QStringLiteral("*:disabled"), disabled);
  if (dynamic_cast<const CButtonUI*>(&control)) {
    rule("*" + status_target, image("normalimage", status_property));
    rule("*" + status_target + ":hover", image("hotimage", status_property));
    rule("*" + status_target + ":pressed", image("pushedimage", status_property));
    rule("*" + status_target + ":checked", image("selectedimage", status_property));
    rule("*" + status_target + ":checked:hover", image("selectedhotimage", status_property));
    rule("*" + status_target + ":disabled", image("disabledimage", status_property));
  }
  return sheet;
}

}  // namespace brontal
