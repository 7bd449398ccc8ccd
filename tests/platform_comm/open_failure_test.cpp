// Why a port did not open, as the user reads it: the system's reason and the
// usual fix, and the facts behind the fix looked up on the real system (a
// pty held by another program, a lock file, a device owned by a group).
#include "platform/comm/open_failure.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <grp.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "support/temp_dir.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): for posix_spawnp

namespace norix::platform::comm {
namespace {

using norix::testing::TempDir;

struct DescribeCase {
  const char* name;
  int error;
  OpenFailureFacts facts;
  std::string message;
};

class DescribeOpenFailureTest : public ::testing::TestWithParam<DescribeCase> {};

TEST_P(DescribeOpenFailureTest, TellsTheReasonAndThePlausibleFix) {
  const DescribeCase& c = GetParam();
  EXPECT_EQ(DescribeOpenFailure("/dev/ttyUSB0", c.error, c.facts), c.message);
}

OpenFailureFacts Group(const char* group, bool inProcess, bool listed) {
  OpenFailureFacts facts;
  facts.deviceGroup = group;
  facts.processInGroup = inProcess;
  facts.userListedInGroup = listed;
  return facts;
}

OpenFailureFacts Holder(const char* holder, bool here = false) {
  OpenFailureFacts facts;
  facts.holder = holder;
  facts.heldByThisProcess = here;
  return facts;
}

const std::string kDenied = "cannot open /dev/ttyUSB0: Permission denied";
const std::string kBusy = "cannot open /dev/ttyUSB0: Device or resource busy";

INSTANTIATE_TEST_SUITE_P(
    Cases, DescribeOpenFailureTest,
    ::testing::Values(
        DescribeCase{"NotInTheDevicesGroup", EACCES, Group("dialout", false, false),
                     kDenied + " (the user is not in group dialout, which may use the device: "
                               "sudo usermod -aG dialout $USER, then log in again)"},
        DescribeCase{"JoinedAfterTheSessionBegan", EACCES, Group("uucp", false, true),
                     kDenied + " (the user is in group uucp, but this session began before: log "
                               "out and in again)"},
        // The group is not what keeps the user out: no advice to join it.
        DescribeCase{"InTheGroupAlready", EACCES, Group("dialout", true, true), kDenied},
        DescribeCase{
            "GroupMayNotUseIt", EPERM, {}, "cannot open /dev/ttyUSB0: Operation not permitted"},
        DescribeCase{"HolderKnown", EBUSY, Holder("minicom, process 4242"),
                     kBusy + " (in use by minicom, process 4242: end it and try again)"},
        DescribeCase{"HeldHere", EBUSY, Holder("this program itself (process 7)", true),
                     kBusy + " (in use by this program itself (process 7))"},
        DescribeCase{"HolderUnknown",
                     EBUSY,
                     {},
                     kBusy + " (another program holds the port; ModemManager or a terminal "
                             "program often does: end it or tell it to leave the port alone, "
                             "and try again)"},
        DescribeCase{"Unplugged",
                     ENODEV,
                     {},
                     "cannot open /dev/ttyUSB0: No such device (the device is not there: check "
                     "that the product is plugged in and switched on)"},
        DescribeCase{"NoHardwareBehind",
                     ENXIO,
                     {},
                     "cannot open /dev/ttyUSB0: No such device or address (the device is not "
                     "there: check that the product is plugged in and switched on)"},
        DescribeCase{"NoTerminal", ENOTTY, Holder("ignored"),
                     "cannot open /dev/ttyUSB0: Inappropriate ioctl for device"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// A program started for the test, ended with it.
class Child {
 public:
  explicit Child(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) {
      args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    if (posix_spawnp(&pid_, args[0], nullptr, nullptr, args.data(), environ) != 0) {
      pid_ = -1;
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  Child(Child&&) = delete;
  Child& operator=(Child&&) = delete;
  ~Child() { End(); }

  [[nodiscard]] pid_t Pid() const { return pid_; }

  void End() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }

 private:
  pid_t pid_ = -1;
};

// Waits up to 2 s until the process has become `name` (it runs its program).
bool WaitForName(pid_t pid, const std::string& name) {
  const auto file = "/proc/" + std::to_string(pid) + "/comm";
  for (int i = 0; i < 200; ++i) {
    std::ifstream in(file);
    std::string comm;
    if (std::getline(in, comm) && comm == name) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Another program holds the port with flock(), as OpenSerialPort does: the
// open that fails names it, from /proc/locks.
TEST(OpenFailureFacts, NamesTheProgramHoldingTheLock) {
  const PtyLine pty = OpenPtyLine();
  ASSERT_NE(pty.device, nullptr) << pty.message;
  const Child holder({"flock", "--no-fork", pty.slavePath, "sleep", "60"});
  ASSERT_GT(holder.Pid(), 0) << "flock (util-linux) is needed";

  // flock takes the lock, then becomes sleep, which keeps it.
  ASSERT_TRUE(WaitForName(holder.Pid(), "sleep"));
  const OpenPortResult opened = OpenSerialPort(pty.slavePath);
  ASSERT_EQ(opened.error, EBUSY) << opened.message;
  EXPECT_EQ(opened.failure, OpenFailure::InUse);
  EXPECT_EQ(opened.message, "cannot open " + pty.slavePath +
                                ": Device or resource busy (in use by sleep, process " +
                                std::to_string(holder.Pid()) + ": end it and try again)");
}

// A lock file names its owner while the owner runs; one left by a program
// that has ended is ignored, and the open files of the processes are looked
// at instead (here this process's own device end).
TEST(OpenFailureFacts, TakesTheOwnerOfALockFileWhileItRuns) {
  const PtyLine pty = OpenPtyLine();
  ASSERT_NE(pty.device, nullptr) << pty.message;
  const TempDir locks;
  FactSources sources;
  sources.lockDirs = {locks.Path() / "none", locks.Path()};
  const std::string lockName = "LCK.." + std::filesystem::path(pty.slavePath).filename().string();

  Child owner({"sleep", "60"});
  ASSERT_GT(owner.Pid(), 0);
  locks.Write(lockName, "      " + std::to_string(owner.Pid()) + "\n");
  ASSERT_TRUE(WaitForName(owner.Pid(), "sleep"));
  EXPECT_EQ(GatherOpenFailureFacts(pty.slavePath, EBUSY, sources).holder,
            "sleep, process " + std::to_string(owner.Pid()));

  owner.End();
  const OpenFailureFacts stale = GatherOpenFailureFacts(pty.slavePath, EBUSY, sources);
  EXPECT_EQ(stale.holder, "this program itself (process " + std::to_string(getpid()) + ")");
  EXPECT_TRUE(stale.heldByThisProcess);
}

// The group advice needs the device's group to grant read and write and the
// process to lack it. Root opens anything, so as root the failure is given
// to the look-up (the errno seam); others meet it for real.
TEST(OpenFailureFacts, GroupOfADeviceTheUserMayNotOpen) {
  const TempDir dir;
  const auto device = dir.Write("ttyNORIX0", "");
  if (geteuid() == 0) {
    const group* dialout = getgrnam("dialout");  // NOLINT(concurrency-mt-unsafe)
    if (dialout == nullptr) {
      GTEST_SKIP() << "no group dialout on this system";
    }
    ASSERT_EQ(chown(device.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(device.c_str(), 0660), 0);
    const OpenFailureFacts facts = GatherOpenFailureFacts(device.string(), EACCES);
    EXPECT_EQ(facts.deviceGroup, "dialout");
    EXPECT_FALSE(facts.processInGroup);
    EXPECT_FALSE(facts.userListedInGroup);

    ASSERT_EQ(chmod(device.c_str(), 0600), 0);  // the group may not use it: nothing to join
    EXPECT_EQ(GatherOpenFailureFacts(device.string(), EACCES).deviceGroup, "");
  } else {
    ASSERT_EQ(chmod(device.c_str(), 0), 0);
    const OpenPortResult opened = OpenSerialPort(device.string());
    EXPECT_EQ(opened.error, EACCES);
    EXPECT_EQ(opened.failure, OpenFailure::NoAccess);
    EXPECT_EQ(opened.message, "cannot open " + device.string() + ": Permission denied");
  }
}

// A pty whose far side has gone is a device that was unplugged.
TEST(OpenFailureFacts, AGoneDeviceIsSaidToBeGone) {
  PtyLine pty = OpenPtyLine();
  ASSERT_NE(pty.device, nullptr) << pty.message;
  pty.device.reset();
  const OpenPortResult opened = OpenSerialPort(pty.slavePath);
  EXPECT_EQ(opened.port, nullptr);
  EXPECT_EQ(opened.failure, OpenFailure::Gone) << opened.message;
  EXPECT_NE(opened.message.find("check that the product is plugged in"), std::string::npos);
}

}  // namespace
}  // namespace norix::platform::comm
