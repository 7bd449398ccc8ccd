// The simulator across the real serial stack: a product on a pty master, the
// host on the slave opened as a serial port; and `norix-sim` itself.
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "sim_test_support.h"

extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace norix::sim {
namespace {

using namespace test;

constexpr const char* kIdentification = "ATI3\r\r\nNORIX Netrunner 56000 Voice V1.10\r\n\r\nOK\r\n";

std::unique_ptr<Port> OpenHost(const std::string& path) {
  auto opened = platform::comm::OpenSerialPort(path);
  EXPECT_NE(opened.port, nullptr) << opened.message;
  return std::move(opened.port);
}

TEST(PtyTest, ProductAnswersOnTheSlaveAtItsSpeedsOnly) {
  auto pty = platform::comm::OpenPtyLine();
  ASSERT_NE(pty.device, nullptr) << pty.message;
  SimulatedProduct product("netrunner56k", FindModel("netrunner56k")->make(),
                           std::move(pty.device));
  product.Start();

  auto host = OpenHost(pty.slavePath);
  ASSERT_NE(host, nullptr);
  SetSpeed(*host, 57600);
  Write(*host, "ATI3");
  Write(*host, "\r");
  EXPECT_EQ(ReadUntil(*host, "OK\r\n"), kIdentification);

  SetSpeed(*host, 14400);
  Write(*host, "ATI3\r");
  EXPECT_EQ(ReadFor(*host, 200ms), "");

  // The host may close and open the port again; the product stays.
  host.reset();
  host = OpenHost(pty.slavePath);
  ASSERT_NE(host, nullptr);
  SetSpeed(*host, 9600);
  Write(*host, "AT+GCI?\r");
  EXPECT_EQ(ReadUntil(*host, "OK\r\n"), "AT+GCI?\r\r\n+GCI: B5\r\n\r\nOK\r\n");

  ASSERT_TRUE(product.WaitForLines(3, 1s));
  const auto transcript = product.Transcript();
  ASSERT_EQ(transcript.size(), 3U);
  EXPECT_EQ(transcript[0].baudRate, 57600U);
  EXPECT_EQ(transcript[1].baudRate, 14400U);
  EXPECT_FALSE(transcript[1].heard);
  EXPECT_EQ(product.Commands(), (std::vector<std::string>{"ATI3", "AT+GCI?"}));
}

TEST(PtyTest, PacedAnswerTakesTheLineTime) {
  auto pty = platform::comm::OpenPtyLine();
  ASSERT_NE(pty.device, nullptr) << pty.message;
  ProductOptions options;
  options.pace = true;
  SimulatedProduct product("netrunner56k", FindModel("netrunner56k")->make(), std::move(pty.device),
                           options);
  product.Start();
  auto host = OpenHost(pty.slavePath);
  ASSERT_NE(host, nullptr);
  SetSpeed(*host, 2400);
  std::string answer;
  const auto took = Elapsed([&] {
    Write(*host, "ATI3\r");
    answer = ReadUntil(*host, "OK\r\n");
  });
  EXPECT_EQ(answer, kIdentification);
  EXPECT_GE(took, 190ms);  // 48 bytes at 240 bytes per second
}

// Runs norix-sim with the arguments; its standard output comes through a pipe.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int fds[2] = {-1, -1};
    if (pipe(fds) != 0) {
      ADD_FAILURE() << "pipe";
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::string program = NORIX_SIM_PATH;
    std::vector<char*> argv{program.data()};
    for (std::string& arg : args) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, NORIX_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
      ADD_FAILURE() << "cannot start " << NORIX_SIM_PATH;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fds[0];
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;
  SimProcess(SimProcess&&) = delete;
  SimProcess& operator=(SimProcess&&) = delete;
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
    if (out_ >= 0) {
      close(out_);
    }
  }

  // One line of its output without the line feed; empty at its end.
  std::string ReadLine() {
    std::string line;
    char c = 0;
    while (read(out_, &c, 1) == 1 && c != '\n') {
      line.push_back(c);
    }
    return line;
  }

  // Its exit status, or -1 when it did not exit normally.
  int Wait() {
    int status = 0;
    const pid_t pid = std::exchange(pid_, -1);
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) {
      return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Signal(int number) const { kill(pid_, number); }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

TEST(NorixSimTest, ServesEachModelOnItsOwnPtyUntilTerminated) {
  SimProcess sim({"--delay", "10", "netrunner56k", "silent"});
  const std::string first = sim.ReadLine();
  const std::string second = sim.ReadLine();
  ASSERT_TRUE(first.starts_with("netrunner56k /dev/")) << first;
  ASSERT_TRUE(second.starts_with("silent /dev/")) << second;

  auto modem = OpenHost(first.substr(first.find(' ') + 1));
  auto silent = OpenHost(second.substr(second.find(' ') + 1));
  ASSERT_NE(modem, nullptr);
  ASSERT_NE(silent, nullptr);
  SetSpeed(*modem, 9600);
  Write(*modem, "ATI3\r");
  EXPECT_EQ(ReadUntil(*modem, "OK\r\n"), kIdentification);
  Write(*silent, "ATI3\r");
  EXPECT_EQ(ReadFor(*silent, 100ms), "");

  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(), 0);
}

TEST(NorixSimTest, FaultOptionsReachTheServedProducts) {
  SimProcess sim({"--no-dialtone", "--store-failures=1", "--refuse-country", "46", "solano1280i"});
  const std::string served = sim.ReadLine();
  ASSERT_TRUE(served.starts_with("solano1280i /dev/")) << served;
  auto adapter = OpenHost(served.substr(served.find(' ') + 1));
  ASSERT_NE(adapter, nullptr);
  SetSpeed(*adapter, 57600);
  Write(*adapter, "ATE0\r");
  EXPECT_EQ(ReadUntil(*adapter, "OK\r\n"), "ATE0\r\r\nOK\r\n");
  // The failed store ends the line before its "E0": the factory settings'
  // echo stays on for the next line.
  for (const char* expected : {"\r\nERROR\r\n", "AT&F&WE0\r\r\nOK\r\n"}) {
    Write(*adapter, "AT&F&WE0\r");
    EXPECT_EQ(ReadUntil(*adapter, expected), expected);
  }
  Write(*adapter, "ATI5*NC014\r");  // Sweden, refused
  EXPECT_EQ(ReadUntil(*adapter, "ERROR\r\n"), "\r\n006\r\n\r\nERROR\r\n");
  Write(*adapter, "ATS6=0DT1\r");
  EXPECT_EQ(ReadUntil(*adapter, "DIALTONE\r\n"), "\r\nNO DIALTONE\r\n");
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(), 0);
}

TEST(NorixSimTest, ListsModelsAndRefusesUnknownOnes) {
  SimProcess list({"--list"});
  const std::string line = list.ReadLine();
  EXPECT_TRUE(line.starts_with("netrunner56k  NORIX Netrunner 56000 Voice")) << line;
  EXPECT_EQ(list.Wait(), 0);

  SimProcess unknown({"netrunner56k", "modem9000"});
  EXPECT_EQ(unknown.ReadLine(), "");  // no pty opened, nothing printed
  EXPECT_EQ(unknown.Wait(), 2);
}

}  // namespace
}  // namespace norix::sim
