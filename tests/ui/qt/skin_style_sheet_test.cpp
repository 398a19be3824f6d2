#include "ui/qt/skin_style_sheet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ostream>

#include "ui/qt/qt_message_loop.h"
#include "ui/qt/qt_view.h"
#include "ui/toolkit/toolkit.h"

namespace brontal::testing {
namespace {

struct UrlCase {
  const char* name;
  const char* sheet;
  const char* expected;
  friend void PrintTo(const UrlCase& c, std::ostream* out) { *out << c.name; }
};

class SkinUrlTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(SkinUrlTest, RelativeReferencesLeadIntoTheSkin) {
  EXPECT_EQ(ResolveSkinUrls(GetParam().sheet, "/opt/brontal/skin").toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, SkinUrlTest,
    ::testing::Values(UrlCase{"Plain", "QPushButton { border-image: url(img/a.png); }",
                              "QPushButton { border-image: url(\"/opt/brontal/skin/img/a.png\"); }"},
                      UrlCase{"QuotedAndSpaced", "a { image: url( 'b.png' ) } b { image: url(\"../c.png\") }",
                              "a { image: url(\"/opt/brontal/skin/b.png\") } b { image: url(\"/opt/brontal/c.png\") }"},
                      UrlCase{
                          "LeftAlone",
                          "a { image: url(/usr/x.png) } b { image: url(:/icons/y.png) } c { image: url(skin:z.png) }",
                          "a { image: url(/usr/x.png) } b { image: url(:/icons/y.png) } c { image: url(skin:z.png) }"},
                      UrlCase{"NoReferences", "QLabel { color: #fff; }", "QLabel { color: #fff; }"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

class SkinStyleSheetTest : public ::testing::Test {
 protected:
  QTemporaryDir skin;
  std::string error;
};

TEST_F(SkinStyleSheetTest, ASkinWithoutASheetHasAnEmptyOne) {
  const auto sheet = LoadSkinStyleSheet(skin.path().toStdString(), error);
  ASSERT_TRUE(sheet.has_value());
  EXPECT_TRUE(sheet->isEmpty());
}

TEST_F(SkinStyleSheetTest, AnUnreadableSheetIsAnError) {
  ASSERT_TRUE(QDir(skin.path()).mkdir(kSkinStyleSheetFile));
  EXPECT_FALSE(LoadSkinStyleSheet(skin.path().toStdString(), error).has_value());
  EXPECT_NE(error.find(kSkinStyleSheetFile), std::string::npos) << error;
}

TEST_F(SkinStyleSheetTest, TheViewGivesItToTheApplication) {
  QFile file(skin.filePath(kSkinStyleSheetFile));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("QWidget#root { border-image: url(back.png); }");
  file.close();
  QtMessageLoop loop;
  Toolkit toolkit(loop);
  toolkit.Resources().SetSkinFolder(skin.path().toStdString());
  const QtView view(toolkit);
  ASSERT_TRUE(view.ApplySkinStyleSheet(error)) << error;
  EXPECT_EQ(qApp->styleSheet(),
            QStringLiteral("QWidget#root { border-image: url(\"%1\"); }").arg(skin.filePath("back.png")));
  qApp->setStyleSheet({});
}

}  // namespace
}  // namespace brontal::testing
