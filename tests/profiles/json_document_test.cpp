#include "profiles/json_document.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "profiles/scratch_folder.h"

namespace brontal {
namespace {

using testing::ScratchFolder;

TEST(ReadJsonDocument, UnreadableTextReadsAsNull) {
  ScratchFolder folder;
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"truncated", R"({"Device": [ {"LightInfo": {"Light": 4)"},
      {"not JSON", "LightInfo=4\n"},
      {"binary", std::string("\x00\x01\xFF{", 4)},
      {"lone surrogate", R"({"a": "\ud800"})"},
      {"number too large for a double", R"({"a": 1e999})"},
      {"nested past the reader's depth limit", std::string(5000, '[') + std::string(5000, ']')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(ReadJsonDocument(folder.Write("doc.json", c.text)).isNull());
  }
  EXPECT_TRUE(ReadJsonDocument(folder / "missing.json").isNull());
}

TEST(ReadJsonDocument, ReadsObjectsWithCommentsAndEmptyObjects) {
  ScratchFolder folder;
  EXPECT_TRUE(ReadJsonDocument(folder.Write("empty.json", "{}")).isObject());
  const Json::Value document =
      ReadJsonDocument(folder.Write("commented.json", "// factory\n{ \"a\" : 1, /* inline */ \"b\" : [2] }\n"));
  EXPECT_EQ(document["a"].asInt(), 1);
  EXPECT_EQ(document["b"][0].asInt(), 2);
}

TEST(ReadJsonDocument, RefusesWhatIsNotARegularFileWithoutBlocking) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder / "a folder");
  EXPECT_TRUE(ReadJsonDocument(folder / "a folder").isNull());
  // A FIFO without a writer would block an ordinary open for good.
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  EXPECT_TRUE(ReadJsonDocument(folder / "fifo").isNull());
  // A sparse file far larger than any document is not read into memory.
  const std::filesystem::path huge = folder.Write("huge.json", "{}");
  std::filesystem::resize_file(huge, std::uintmax_t{1} << 32);
  EXPECT_TRUE(ReadJsonDocument(huge).isNull());
}

TEST(WriteJsonDocument, WritesOneMemberPerLineAndReadsBack) {
  ScratchFolder folder;
  Json::Value document;
  document["Device"][0]["LightInfo"]["Light"] = 4;
  document["profilename"] = "Game";
  ASSERT_TRUE(WriteJsonDocument(folder / "p.Json", document));
  const std::string text = folder.Read("p.Json");
  EXPECT_NE(text.find("\n         \"LightInfo\" : {\n            \"Light\" : 4\n"), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with("}\n\n"));
  EXPECT_EQ(ReadJsonDocument(folder / "p.Json"), document);
  EXPECT_EQ(folder.Names(), std::set<std::string>{"p.Json"});  // no temporary file stays behind
}

TEST(WriteJsonDocument, TextOutsideAsciiStaysValidJson) {
  ScratchFolder folder;
  Json::Value document;
  document["name"] = "第一组";
  document["broken"] = std::string("ab\xC3(\xFF", 5);  // invalid UTF-8 read from some file
  ASSERT_TRUE(WriteJsonDocument(folder / "d.json", document));
  for (unsigned char c : folder.Read("d.json")) EXPECT_LT(c, 0x80);
  const Json::Value back = ReadJsonDocument(folder / "d.json");
  EXPECT_EQ(back["name"].asString(), "第一组");
  EXPECT_FALSE(back["broken"].isNull());

  // The library cuts member names at a NUL (found by the profile fuzzer): the
  // names change, the file stays JSON.
  Json::Value nul_names;
  nul_names["StageXY"] = 1;
  nul_names[std::string("StageXY\0StageDPIX", 17)] = 55;
  ASSERT_TRUE(WriteJsonDocument(folder / "nul.json", nul_names));
  EXPECT_TRUE(ReadJsonDocument(folder / "nul.json").isObject());
}

// A corrupt document is replaced, not merged into.
TEST(WriteJsonDocument, ReplacesACorruptFile) {
  ScratchFolder folder;
  folder.Write("d.json", "{ \"half\" : ");
  Json::Value document;
  document["whole"] = 1;
  ASSERT_TRUE(WriteJsonDocument(folder / "d.json", document));
  EXPECT_EQ(ReadJsonDocument(folder / "d.json"), document);
}

Json::Value Document(int size) {
  Json::Value document;
  document["payload"] = std::string(static_cast<std::size_t>(size), 'x');
  return document;
}

TEST(WriteJsonDocument, FailsWithoutTouchingTheOldFileWhereNoFileCanBeMade) {
  ScratchFolder folder;
  folder.Write("plain file", "x");
  EXPECT_FALSE(WriteJsonDocument(folder / "missing folder" / "d.json", Document(1)));
  EXPECT_FALSE(WriteJsonDocument(folder / "plain file" / "d.json", Document(1)));
  EXPECT_FALSE(WriteJsonDocument(folder.path(), Document(1)));
  EXPECT_EQ(folder.Names(), std::set<std::string>{"plain file"});
}

// Root ignores mode bits, so the folder is also made immutable where that works.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::filesystem::path& folder) : folder_(folder) {
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::geteuid() == 0) immutable_ = SetImmutable(true);
  }
  ~ReadOnlyFolder() {
    if (immutable_) SetImmutable(false);
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
  }
  bool Effective() const { return ::geteuid() != 0 || immutable_; }

 private:
  bool SetImmutable(bool on) const {
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) ::close(fd);
    return done;
  }
  std::filesystem::path folder_;
  bool immutable_ = false;
};

TEST(WriteJsonDocument, AReadOnlyFolderKeepsTheOldFile) {
  ScratchFolder folder;
  folder.Write("ro/d.json", "{ \"old\" : 1 }");
  {
    ReadOnlyFolder read_only(folder / "ro");
    if (!read_only.Effective()) GTEST_SKIP() << "running as root on a file system without immutable folders";
    EXPECT_FALSE(WriteJsonDocument(folder / "ro" / "d.json", Document(10)));
  }
  EXPECT_EQ(folder.Read("ro/d.json"), "{ \"old\" : 1 }");
  EXPECT_EQ(folder.Names("ro"), std::set<std::string>{"d.json"});
}

// The file size limit makes write() fail part way, as a full disk does.
TEST(WriteJsonDocument, ADiskThatFillsMidWriteKeepsTheOldFile) {
  ScratchFolder folder;
  const std::string old_text = FormatJsonDocument(Document(4000));
  folder.Write("d.json", old_text);

  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteJsonDocument(folder / "d.json", Document(3000));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_FALSE(written);
  EXPECT_EQ(folder.Read("d.json"), old_text);
  EXPECT_EQ(folder.Names(), std::set<std::string>{"d.json"});
}

}  // namespace
}  // namespace brontal
