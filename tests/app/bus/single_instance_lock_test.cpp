#include "app/bus/single_instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "bus_fixture.h"

namespace brontal::testing {
namespace {

TEST(SingleInstanceLockTest, ASecondHolderFailsWhileTheFirstHoldsAndSucceedsAfterwards) {
  TemporaryFolder root;
  const auto folder = root.path() / "bus";  // made by the first Acquire
  SingleInstanceLock first(folder);
  SingleInstanceLock second(folder);
  EXPECT_EQ(first.Acquire(), InstanceLock::kAcquired);
  EXPECT_EQ(first.Acquire(), InstanceLock::kAcquired);  // asking again changes nothing
  EXPECT_EQ(second.Acquire(), InstanceLock::kHeldByAnother);
  EXPECT_FALSE(second.Held());
  first.Release();
  EXPECT_EQ(second.Acquire(), InstanceLock::kAcquired);
  {
    SingleInstanceLock third(folder);
    EXPECT_EQ(third.Acquire(), InstanceLock::kHeldByAnother);
  }
  std::optional<SingleInstanceLock> holder(std::in_place, folder);
  second.Release();
  EXPECT_EQ(holder->Acquire(), InstanceLock::kAcquired);
  holder.reset();  // the end of the object is the end of the lock
  EXPECT_EQ(first.Acquire(), InstanceLock::kAcquired);
  EXPECT_TRUE(std::filesystem::exists(folder / SingleInstanceLock::kFileName));
}

TEST(SingleInstanceLockTest, NoLockInAFolderOthersMayEnter) {
  TemporaryFolder root;
  ASSERT_EQ(::chmod(root.path().c_str(), 0755), 0);
  SingleInstanceLock lock(root.path());
  EXPECT_EQ(lock.Acquire(), InstanceLock::kUnavailable);
  EXPECT_FALSE(lock.Held());
  EXPECT_FALSE(std::filesystem::exists(root.path() / SingleInstanceLock::kFileName));
}

}  // namespace
}  // namespace brontal::testing
