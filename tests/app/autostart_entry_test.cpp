#include "app/autostart_entry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"

namespace brontal {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

TEST(AutostartEntry, ExecWordsAreQuotedAndEscapedTwiceWhereTheRulesSay) {
  struct Case {
    std::string_view word;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"/usr/lib/brontal-driver/brontal-driver", "/usr/lib/brontal-driver/brontal-driver"},
      {"/home/a b/brontal-driver", R"("/home/a b/brontal-driver")"},
      {"/opt/it's", R"("/opt/it's")"},
      {"/opt/100%/x", "/opt/100%%/x"},  // not a field code
      {"/opt/$HOME/x", R"("/opt/\\$HOME/x")"},
      {"/opt/`x`", R"("/opt/\\`x\\`")"},
      {R"(/opt/"q"/x)", R"("/opt/\\"q\\"/x")"},
      {R"(/opt/back\slash)", R"("/opt/back\\\\slash")"},
      {"/opt/程序/x", "/opt/程序/x"},
      {"", R"("")"},
      {"/opt/a\nb", std::nullopt},
      {"/opt/a\tb", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(autostart_entry::ExecWord(c.word), c.expected) << c.word;
}

TEST(AutostartEntry, WrittenAndRemovedInTheXdgConfigFolderOrBelowHome) {
  test::TemporaryFolder folder;
  struct Case {
    std::string config_home;  // "" unsets it
    fs::path expected;
  };
  const Case cases[] = {
      {(folder.path() / "config").string(), folder.path() / "config/autostart/brontal-driver.desktop"},
      {"", folder.path() / "home/.config/autostart/brontal-driver.desktop"},
      // Relative values do not count under the XDG rules.
      {"relative/config", folder.path() / "home/.config/autostart/brontal-driver.desktop"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config_home);
    test::ScopedEnvironment environment(
        {{"XDG_CONFIG_HOME", c.config_home}, {"HOME", (folder.path() / "home").string()}});
    EXPECT_EQ(autostart_entry::Path(), c.expected);
    EXPECT_FALSE(autostart_entry::Enabled());

    std::string error;
    ASSERT_TRUE(autostart_entry::Write("/opt/my apps/brontal-driver", error)) << error;
    EXPECT_TRUE(autostart_entry::Enabled());
    const std::string text = ReadText(c.expected);
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\n")) << text;
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nExec=\"/opt/my apps/brontal-driver\" --minimized\n"), std::string::npos) << text;
    // Nothing is left beside the entry.
    EXPECT_EQ(std::distance(fs::directory_iterator(c.expected.parent_path()), fs::directory_iterator()), 1);

    ASSERT_TRUE(autostart_entry::Remove(error)) << error;
    EXPECT_FALSE(fs::exists(c.expected));
    EXPECT_FALSE(autostart_entry::Enabled());
    EXPECT_TRUE(autostart_entry::Remove(error)) << "none left is what was asked";
  }
}

TEST(AutostartEntry, TheDesktopsOwnSwitchesInTheMainGroupTurnItOff) {
  test::TemporaryFolder folder;
  test::ScopedEnvironment environment({{"XDG_CONFIG_HOME", folder.path().string()}});
  struct Case {
    std::string_view lines;  // after the main group's header
    bool enabled;
  };
  const Case cases[] = {
      {"Exec=brontal-driver --minimized\n", true},
      {"Hidden=true\n", false},
      {"Hidden = true\r\n", false},
      {"Hidden=false\n", true},
      {"X-GNOME-Autostart-enabled=false\n", false},
      {"X-GNOME-Autostart-enabled=true\n", true},
      {"\n[Desktop Action quit]\nHidden=true\n", true},  // another group's key
  };
  for (const Case& c : cases) {
    WriteText(autostart_entry::Path(), "[Desktop Entry]\nType=Application\n" + std::string(c.lines));
    EXPECT_EQ(autostart_entry::Enabled(), c.enabled) << c.lines;
  }
  // Switching it on again writes an entry that the desktop does not hide.
  WriteText(autostart_entry::Path(), "[Desktop Entry]\nHidden=true\n");
  std::string error;
  ASSERT_TRUE(autostart_entry::Write("/usr/bin/brontal-driver", error)) << error;
  EXPECT_TRUE(autostart_entry::Enabled());
}

TEST(AutostartEntry, FoldersThatCannotBeWrittenAreReported) {
  test::TemporaryFolder folder;
  std::string error;
  {
    // The configuration folder is a file: no autostart folder can be made in it.
    WriteText(folder.path() / "file", "");
    test::ScopedEnvironment environment({{"XDG_CONFIG_HOME", (folder.path() / "file").string()}});
    EXPECT_FALSE(autostart_entry::Write("/usr/bin/brontal-driver", error));
    EXPECT_NE(error.find("autostart"), std::string::npos) << error;
    EXPECT_FALSE(autostart_entry::Enabled());
  }
  {
    // A folder where the entry should be cannot be replaced or removed.
    test::ScopedEnvironment environment({{"XDG_CONFIG_HOME", folder.path().string()}});
    WriteText(autostart_entry::Path() / "inside", "");
    error.clear();
    EXPECT_FALSE(autostart_entry::Enabled());
    EXPECT_FALSE(autostart_entry::Write("/usr/bin/brontal-driver", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(autostart_entry::Path().parent_path()), fs::directory_iterator()),
              1);
    error.clear();
    EXPECT_FALSE(autostart_entry::Remove(error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace brontal
