// `brontalctl describe` on files that are not descriptor files: each is
// refused at once with one line naming the file and why, and left as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/brontalctl.h"
#include "cli/run_brontalctl.h"
#include "helpers/temporary_folder.h"
#include "helpers/time_limit.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct FileState {
  fs::file_type type;
  std::uintmax_t size;
  bool operator==(const FileState&) const = default;
};

FileState StateOf(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  const std::uintmax_t size = fs::is_regular_file(status) ? fs::file_size(path, ec) : 0;
  return {status.type(), size};
}

TEST(DescribeUnusualFiles, RefusedAtOnceWithTheFileAndTheReason) {
  test::TemporaryFolder folder;
  const fs::path fifo = folder.path() / "descriptor.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path huge = folder.path() / "huge.bin";  // sparse: 200 MB on paper, nothing on disk
  {
    const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 200'000'000), 0);
    ::close(fd);
  }
  const fs::path zero_link = folder.path() / "zero.hex";
  fs::create_symlink("/dev/zero", zero_link);

  struct Case {
    fs::path file;
    std::string reason;
  };
  const Case cases[] = {
      {folder.path(), "is a folder"},       {fifo, "is not a regular file (a FIFO)"},
      {"/dev/zero", "is a device"},         {zero_link, "is a device"},
      {huge, "is larger than 65536 bytes"}, {folder.path() / "missing.hex", "No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const FileState before = StateOf(c.file);
    const auto result = test::RunWithin(5s, [file = c.file.string()] { return test::RunCli({"describe", file}); });
    ASSERT_TRUE(result) << "describe did not return";
    EXPECT_EQ(result->status, kExitUsage);
    EXPECT_EQ(result->out, "");
    EXPECT_EQ(result->err, "brontalctl: cannot read " + c.file.string() + ": " + c.reason + "\n");
    EXPECT_EQ(StateOf(c.file), before);
  }
}

TEST(DescribeUnusualFiles, ALinkToADescriptorFileIsFollowed) {
  test::TemporaryFolder folder;
  const fs::path target = folder.path() / "mouse.hex";
  std::ofstream(target) << "05 01 09 02 a1 01 c0\n";
  const fs::path link = folder.path() / "link.hex";
  fs::create_symlink(target, link);
  const auto result = test::RunWithin(5s, [file = link.string()] { return test::RunCli({"describe", file}); });
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, kExitOk) << result->err;
  EXPECT_EQ(result->out.substr(0, result->out.find("  input")), "collection 1  usage 0001:0002");
}

}  // namespace
}  // namespace brontal
