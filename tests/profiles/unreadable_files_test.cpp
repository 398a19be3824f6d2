// Files of the user's folders that are no files: a FIFO, a folder or a device
// in place of a profile or setting reads as missing, at once, and stays as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "helpers/time_limit.h"
#include "profiles/file_contents.h"
#include "profiles/json_document.h"
#include "profiles/scratch_folder.h"
#include "profiles/skin_image_setting.h"
#include "support/safe_file.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct Read {
  bool ok;
  std::string contents;
  std::string error;
};

Read ReadWithin(const fs::path& path, std::size_t max_bytes) {
  const auto read = test::RunWithin(5s, [path, max_bytes] {
    Read r;
    r.ok = ReadRegularFile(path, max_bytes, r.contents, r.error);
    return r;
  });
  if (!read) return {false, {}, "did not return"};
  return *read;
}

TEST(ReadRegularFile, RefusesWhatIsNoRegularFileOfItsSize) {
  testing::ScratchFolder folder;
  const fs::path fifo = folder / "profile.Json";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path big = folder.Write("big.Json", std::string(17, 'x'));
  struct Case {
    fs::path path;
    std::size_t max_bytes;
    std::string error;
  };
  const Case cases[] = {
      {folder.path(), 100, "is a folder"},
      {fifo, 100, "is not a regular file (a FIFO)"},
      {"/dev/zero", 100, "is a device"},
      {"/dev/null", 100, "is a device"},
      {big, 16, "is larger than 16 bytes"},
      // Claims size 0 and is longer: the cap holds while reading too.
      {"/proc/self/status", 16, "is larger than 16 bytes"},
      {folder / "missing.Json", 100, "No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const Read r = ReadWithin(c.path, c.max_bytes);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.contents, "");
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(fs::file_size(big), 17u);
}

TEST(ReadRegularFile, ReadsAFileOfExactlyTheCapAndOneThatLiesAboutItsSize) {
  testing::ScratchFolder folder;
  const Read exact = ReadWithin(folder.Write("exact", "0123456789abcdef"), 16);
  EXPECT_TRUE(exact.ok) << exact.error;
  EXPECT_EQ(exact.contents, "0123456789abcdef");
  const Read proc = ReadWithin("/proc/self/status", 1 << 20);
  EXPECT_TRUE(proc.ok) << proc.error;
  EXPECT_NE(proc.contents.find("Name:"), std::string::npos);
}

TEST(UnreadableUserFiles, AProfileOrSettingThatIsAFifoOrFolderReadsAsMissing) {
  testing::ScratchFolder folder;
  const AppFolders folders{folder / "default", folder / "application", folder / "config"};
  fs::create_directories(folders.application);
  ASSERT_EQ(::mkfifo((folders.application / "main.ini").c_str(), 0600), 0);
  fs::create_directory(folders.application / "keyboard.Json");

  const auto skin = test::RunWithin(5s, [folders] { return ReadSkinImage(folders); });
  ASSERT_TRUE(skin) << "reading main.ini did not return";
  EXPECT_EQ(*skin, std::nullopt);
  const auto json =
      test::RunWithin(5s, [path = folders.application / "keyboard.Json"] { return ReadJsonDocument(path); });
  ASSERT_TRUE(json);
  EXPECT_TRUE(json->isNull());
  std::string contents, error;
  EXPECT_FALSE(ReadFileContents(folders.application / "keyboard.Json", contents, error));
  EXPECT_EQ(error, "is a folder");
  EXPECT_TRUE(fs::is_fifo(folders.application / "main.ini"));
  EXPECT_TRUE(fs::is_directory(folders.application / "keyboard.Json"));
}

}  // namespace
}  // namespace brontal
