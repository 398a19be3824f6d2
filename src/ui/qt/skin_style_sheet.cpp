#include "ui/qt/skin_style_sheet.h"

#include <QDir>
#include <QRegularExpression>

#include "support/safe_file.h"

namespace brontal {
namespace {

// The skin's sheet is about 10 KiB.
constexpr std::size_t kLargestStyleSheet = 1u << 20;

}  // namespace

std::optional<QString> LoadSkinStyleSheet(const std::filesystem::path& skin_folder, std::string& error) {
  const std::filesystem::path path = skin_folder / kSkinStyleSheetFile;
  std::error_code exists_error;
  if (!std::filesystem::exists(path, exists_error)) return QString();
  std::string text, reason;
  if (!ReadRegularFile(path, kLargestStyleSheet, text, reason)) {
    error = path.string() + ": " + reason;
    return std::nullopt;
  }
  return ResolveSkinUrls(QString::fromStdString(text), skin_folder);
}

QString ResolveSkinUrls(const QString& sheet, const std::filesystem::path& skin_folder) {
  static const QRegularExpression kUrl(QStringLiteral(R"(url\(\s*(["']?)([^"')]*)\1\s*\))"));
  const QDir folder(QString::fromStdString(std::filesystem::absolute(skin_folder).string()));
  QString resolved;
  qsizetype copied = 0;
  for (auto it = kUrl.globalMatch(sheet); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    const QString reference = match.captured(2).trimmed();
    if (reference.isEmpty() || reference.contains(QLatin1Char(':')) || QDir::isAbsolutePath(reference)) continue;
    resolved += sheet.mid(copied, match.capturedStart() - copied);
    resolved += QStringLiteral("url(\"%1\")").arg(QDir::cleanPath(folder.absoluteFilePath(reference)));
    copied = match.capturedEnd();
  }
  return resolved + sheet.mid(copied);
}

}  // namespace brontal
