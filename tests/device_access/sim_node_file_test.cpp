// The node files of a simulated bus are written by another program: a node
// whose file is not what brontal-sim writes is left out of the listing, and
// reading it neither throws nor blocks.
#include "device_access/sim_node_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device_access/hid_sim_dir.h"
#include "helpers/temporary_folder.h"
#include "helpers/time_limit.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kGoodNode = "vendor 320f\nproduct 5000\nversion 1\ninterface 2\ninstance 7\ndescriptor 5 1 c0\n";

void WriteNode(const fs::path& folder, const std::string& name, const std::string& text) {
  std::ofstream(folder / (name + kSimNodeInfoSuffix)) << text;
}

std::vector<std::string> Instances(const fs::path& folder) {
  const auto listed = test::RunWithin(5s, [folder] {
    std::vector<HidNodeInfo> nodes;
    SimulatedDirBackend(folder).Enumerate(nodes);
    std::vector<std::string> instances;
    for (const HidNodeInfo& n : nodes) instances.push_back(n.instance);
    return instances;
  });
  if (!listed) {
    ADD_FAILURE() << "listing did not return";
    return {};
  }
  return *listed;
}

TEST(SimNodeFile, ReadsWhatTheDaemonWrites) {
  test::TemporaryFolder folder;
  WriteNode(folder.path(), "good", kGoodNode);
  HidNodeInfo info;
  ASSERT_TRUE(ReadSimNodeFile(folder.path(), "good", info));
  EXPECT_EQ(info.vendor_id, 0x320f);
  EXPECT_EQ(info.product_id, 0x5000);
  EXPECT_EQ(info.interface_number, 2);
  EXPECT_EQ(info.instance, "7");
  EXPECT_EQ(info.report_descriptor, (std::vector<std::uint8_t>{0x05, 0x01, 0xc0}));
}

TEST(SimNodeFile, ABadNumberLeavesTheNodeOutOfTheListing) {
  const std::string cases[] = {
      "instance abc\ndescriptor 5\n",
      "instance 123456789012345678901\ndescriptor 5\n",  // beyond 64 bits
      "instance -1\ndescriptor 5\n",
      "instance 7\nvendor 1ffff\ndescriptor 5\n",  // beyond 16 bits
      "instance 7\nvendor zz\ndescriptor 5\n",
      "instance 7\nproduct 123456789012345678901234\ndescriptor 5\n",
      "instance 7\ndescriptor 5 100\n",  // a byte beyond 8 bits
      "instance 7\ndescriptor 5 x\n",
      "instance\n",
      "",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    test::TemporaryFolder folder;
    WriteNode(folder.path(), "bad", text);
    WriteNode(folder.path(), "good", kGoodNode);
    EXPECT_EQ(Instances(folder.path()), std::vector<std::string>{"7"});
    HidNodeInfo info;
    EXPECT_FALSE(ReadSimNodeFile(folder.path(), "bad", info));
  }
}

TEST(SimNodeFile, ANodeFileThatIsNoFileIsLeftOutWithoutBlocking) {
  test::TemporaryFolder folder;
  WriteNode(folder.path(), "good", kGoodNode);
  ASSERT_EQ(::mkfifo((folder.path() / "fifo.node").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", folder.path() / "zero.node");
  fs::create_directory(folder.path() / "folder.node");
  EXPECT_EQ(Instances(folder.path()), std::vector<std::string>{"7"});
}

TEST(SimNodeFile, NodesAreListedInPlugOrder) {
  test::TemporaryFolder folder;
  for (const char* instance : {"10", "9", "100", "2"})
    WriteNode(folder.path(), std::string("n") + instance, std::string("instance ") + instance + "\ndescriptor 5\n");
  EXPECT_EQ(Instances(folder.path()), (std::vector<std::string>{"2", "9", "10", "100"}));
}

}  // namespace
}  // namespace brontal
