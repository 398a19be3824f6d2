#include "support/private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "bus_fixture.h"

namespace brontal::testing {
namespace {

TEST(PrivateFolderTest, IsMadeForThisUserAlone) {
  TemporaryFolder root;
  const auto folder = root.path() / "brontal";
  const mode_t umask = ::umask(0277);  // would take even the owner's write permission
  std::string error;
  const bool made = PreparePrivateFolder(folder, error);
  ::umask(umask);
  ASSERT_TRUE(made) << error;
  struct stat status {};
  ASSERT_EQ(::lstat(folder.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  EXPECT_TRUE(PreparePrivateFolder(folder, error)) << error;  // the second time finds it ready
}

// One sound folder spoiled in one way per case; each is refused, not repaired.
TEST(PrivateFolderTest, FoldersOthersCouldWriteToAreRefused) {
  const struct {
    const char* what;
    void (*spoil)(const std::filesystem::path& folder);
    const char* reason;
  } cases[] = {
      {"group may enter", [](const auto& f) { ::chmod(f.c_str(), 0750); }, "open to other users"},
      {"anyone may write", [](const auto& f) { ::chmod(f.c_str(), 0703); }, "open to other users"},
      {"a link to a private folder",
       [](const auto& f) {
         std::filesystem::rename(f, f.string() + ".real");
         std::filesystem::create_directory_symlink(f.string() + ".real", f);
       },
       "is not a folder"},
      {"a file", [](const auto& f) {
         std::filesystem::remove(f);
         std::ofstream(f) << "x";
       },
       "is not a folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TemporaryFolder root;
    const auto folder = root.path() / "brontal";
    std::string error;
    ASSERT_TRUE(PreparePrivateFolder(folder, error)) << error;
    c.spoil(folder);
    EXPECT_FALSE(PreparePrivateFolder(folder, error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

TEST(PrivateFolderTest, AFolderOfAnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
  TemporaryFolder root;
  const auto folder = root.path() / "brontal";
  std::string error;
  ASSERT_TRUE(PreparePrivateFolder(folder, error)) << error;
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  EXPECT_FALSE(IsPrivateFolder(folder, error));
  EXPECT_NE(error.find("belongs to user 65534"), std::string::npos) << error;
}

}  // namespace
}  // namespace brontal::testing
