// The norix-line program: two pty paths on its output, a line between them,
// a clean end on SIGTERM.
#include <algorithm>
#include <array>
#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/port_io.h"
#include "platform/comm/serial_port.h"
#include "sim/line/tty_peer.h"

namespace norix::testing {
namespace {

using sim::line::TtyPeer;

TtyPeer::Started StartTool(const std::vector<std::string>& args) {
  std::vector<std::string> argv{NORIX_LINE_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  auto started = TtyPeer::Start(argv, "", "");
  if (!started.peer) {
    ADD_FAILURE() << started.message;
  }
  return started;
}

// The first `count` lines the tool printed.
std::vector<std::string> ReadLines(platform::comm::DeviceEnd& console, std::size_t count) {
  std::string text;
  std::array<std::uint8_t, 256> buffer{};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) < count &&
         std::chrono::steady_clock::now() < deadline) {
    const auto n = console.Receive(buffer, std::chrono::milliseconds(200));
    if (n < 0) {
      break;
    }
    text.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(n));
  }
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(NorixLineTool, JoinsTheTwoPathsItPrintsUntilTerminated) {
  auto running = StartTool({"--line", "115200"});
  ASSERT_TRUE(running.peer);
  const auto paths = ReadLines(*running.line, 2);
  ASSERT_EQ(paths.size(), 2U);
  auto a = platform::comm::OpenSerialPort(paths[0]);
  auto b = platform::comm::OpenSerialPort(paths[1]);
  ASSERT_TRUE(a.port) << a.message;
  ASSERT_TRUE(b.port) << b.message;
  ASSERT_TRUE(b.port->SetTimeouts({200, 0, 3000, 0, 0}));
  EXPECT_EQ(link::WriteText(a.port.get(), "ATI3\r"), 5U);
  std::string text;
  EXPECT_EQ(link::ReadBlock(b.port.get(), text, 5), 5U);
  EXPECT_EQ(text, "ATI3\r");

  ASSERT_TRUE(running.peer->SendSignal(SIGTERM));
  EXPECT_EQ(running.peer->Wait(std::chrono::seconds(5)), 0);
}

TEST(NorixLineTool, RefusesBadArguments) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"--line"}, {"--line", "fast"}, {"--line", "-5"}, {"--speed", "9600"}}) {
    auto running = StartTool(args);
    ASSERT_TRUE(running.peer);
    EXPECT_EQ(running.peer->Wait(std::chrono::seconds(5)), 2) << ::testing::PrintToString(args);
  }
}

}  // namespace
}  // namespace norix::testing
