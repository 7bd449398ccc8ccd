// One instance per user: the socket's place, a second start finding the
// first and asking it to come forward, a stale socket of a dead instance,
// files that are not ours, and starts at the same moment.
#include "shell/single_instance.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <latch>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace norix::shell {
namespace {

namespace fs = std::filesystem;
using Outcome = InstanceGuard::Outcome;

using norix::testing::TempDir;

TEST(InstanceSocketPathTest, RuntimeFolderOrTmpWithTheUid) {
  EXPECT_EQ(InstanceSocketPath("/run/user/1000", 1000), "/run/user/1000/norix-config.sock");
  EXPECT_EQ(InstanceSocketPath(nullptr, 1000), "/tmp/norix-config-1000.sock");
  EXPECT_EQ(InstanceSocketPath("", 7), "/tmp/norix-config-7.sock");
  EXPECT_EQ(InstanceSocketPath("relative/run", 7), "/tmp/norix-config-7.sock");
}

class InstanceGuardTest : public ::testing::Test {
 protected:
  TempDir folder_;
  fs::path socket_ = folder_.Path() / "norix-config.sock";
};

TEST_F(InstanceGuardTest, ASecondStartAsksTheFirstToComeForward) {
  InstanceGuard first = InstanceGuard::Claim(socket_);
  ASSERT_EQ(first.Result(), Outcome::kFirst) << first.Problem();
  std::atomic<int> calls{0};
  ASSERT_TRUE(first.Listen([&calls] { ++calls; }));
  EXPECT_FALSE(first.Listen([] {})) << "one listener";

  InstanceGuard second = InstanceGuard::Claim(socket_);
  ASSERT_EQ(second.Result(), Outcome::kOtherRunning) << second.Problem();
  EXPECT_FALSE(second.Listen([] {}));
  EXPECT_TRUE(second.AskToComeForward());
  EXPECT_EQ(calls.load(), 1);
  second.Stop();
  EXPECT_TRUE(fs::exists(socket_)) << "only the first removes the socket";

  // Once the first has ended, the next start is the first again.
  first.Stop();
  EXPECT_FALSE(fs::exists(socket_));
  InstanceGuard third = InstanceGuard::Claim(socket_);
  EXPECT_EQ(third.Result(), Outcome::kFirst) << third.Problem();
}

TEST_F(InstanceGuardTest, AStaleSocketOfADeadInstanceDoesNotBlockANewStart) {
  {
    // A socket file that nobody listens on any more, as a crashed instance
    // leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket_.c_str(), sizeof(address.sun_path) - 1);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    ::close(fd);
  }
  ASSERT_TRUE(fs::is_socket(socket_));
  InstanceGuard guard = InstanceGuard::Claim(socket_);
  EXPECT_EQ(guard.Result(), Outcome::kFirst) << guard.Problem();
  std::atomic<int> calls{0};
  ASSERT_TRUE(guard.Listen([&calls] { ++calls; }));
  InstanceGuard second = InstanceGuard::Claim(socket_);
  ASSERT_EQ(second.Result(), Outcome::kOtherRunning);
  EXPECT_TRUE(second.AskToComeForward());
  EXPECT_EQ(calls.load(), 1);
}

TEST_F(InstanceGuardTest, AFileThatIsNoSocketIsLeftAloneAndTheRunIsUnguarded) {
  { std::ofstream(socket_) << "keep me\n"; }
  const InstanceGuard guard = InstanceGuard::Claim(socket_);
  EXPECT_EQ(guard.Result(), Outcome::kUnguarded);
  EXPECT_NE(guard.Problem().find(socket_.string()), std::string::npos) << guard.Problem();
  std::ifstream kept(socket_);
  std::string line;
  std::getline(kept, line);
  EXPECT_EQ(line, "keep me");
}

TEST_F(InstanceGuardTest, UnusablePathsRunUnguarded) {
  EXPECT_EQ(InstanceGuard::Claim({}).Result(), Outcome::kUnguarded);
  EXPECT_EQ(InstanceGuard::Claim(folder_.Path() / std::string(200, 'x')).Result(),
            Outcome::kUnguarded);
  EXPECT_EQ(InstanceGuard::Claim(folder_.Path() / "no-such-folder" / "s.sock").Result(),
            Outcome::kUnguarded);
}

TEST_F(InstanceGuardTest, StartsAtTheSameMomentMakeExactlyOneFirst) {
  constexpr int kStarts = 6;
  std::vector<InstanceGuard::Outcome> outcomes(kStarts, Outcome::kUnguarded);
  std::vector<std::thread> starts;
  std::vector<InstanceGuard> guards;
  std::mutex mutex;
  std::latch ready(kStarts);
  starts.reserve(kStarts);
  for (int i = 0; i < kStarts; ++i) {
    starts.emplace_back([&, i] {
      ready.arrive_and_wait();
      InstanceGuard guard = InstanceGuard::Claim(socket_);
      outcomes[static_cast<std::size_t>(i)] = guard.Result();
      const std::lock_guard lock(mutex);
      guards.push_back(std::move(guard));  // kept, so the first keeps listening
    });
  }
  for (std::thread& start : starts) {
    start.join();
  }
  int firsts = 0;
  int others = 0;
  for (const Outcome outcome : outcomes) {
    firsts += outcome == Outcome::kFirst ? 1 : 0;
    others += outcome == Outcome::kOtherRunning ? 1 : 0;
  }
  EXPECT_EQ(firsts, 1);
  EXPECT_EQ(others, kStarts - 1);
}

TEST_F(InstanceGuardTest, AnUnansweredRequestTimesOut) {
  // The first instance holds the socket but does not listen yet (it is
  // still starting): the second start gives up waiting instead of hanging.
  InstanceGuard first = InstanceGuard::Claim(socket_);
  ASSERT_EQ(first.Result(), Outcome::kFirst);
  InstanceGuard second = InstanceGuard::Claim(socket_);
  ASSERT_EQ(second.Result(), Outcome::kOtherRunning);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(second.AskToComeForward(100));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace norix::shell
