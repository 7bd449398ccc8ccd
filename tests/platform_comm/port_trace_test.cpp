// The transcript of a port's traffic: what a traced port writes, how bytes
// are shown, and that ports on several threads share one file whole.
#include "platform/comm/port_trace.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "line_test_support.h"
#include "platform/comm/memory_line.h"
#include "platform/comm/traced_port.h"
#include "support/temp_dir.h"

namespace norix::platform::comm {
namespace {

using std::chrono::milliseconds;
using test::Bytes;

constexpr CommTimeouts kQuick{0, 0, 100, 0, 100};

// The event lines of a transcript (after its heading), with the clock cut off.
std::vector<std::string> Events(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> events;
  const std::regex clock(R"(^\d\d:\d\d:\d\d\.\d\d\d (#.*)$)");
  for (std::string line; std::getline(in, line);) {
    std::smatch match;
    if (std::regex_match(line, match, clock)) {
      events.push_back(match[1]);
    }
  }
  return events;
}

TEST(PortTraceTest, BytesAreShownAsOneLineOfText) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {{}, ""},
      {{'A', 'T', 'I', '3', '\r'}, R"(ATI3\r)"},
      {{'\r', '\n', 'O', 'K', '\r', '\n'}, R"(\r\nOK\r\n)"},
      {{'a', '\t', '"', '\\', 'b'}, R"(a\t\"\\b)"},
      // X-modem framing and firmware: every other byte in hex.
      {{0x01, 0x00, 0xFF, 0x06, 0x15, 0x7F, 0x80, ' ', '~'}, R"(\x01\x00\xFF\x06\x15\x7F\x80 ~)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VisibleBytes(c.bytes), c.shown);
  }
}

TEST(PortTraceTest, ATracedPortRecordsItsWholeConversation) {
  const testing::TempDir dir;
  const auto file = dir.Path() / "trace.txt";
  std::string error;
  auto trace = PortTrace::Create(file.string(), "norix-test 1.0", error);
  ASSERT_TRUE(trace) << error;

  MemoryLine line = MakeMemoryLine("/dev/ttyUSB7");
  Port* plain = line.host.get();
  std::unique_ptr<Port> port = TracePort(std::move(line.host), trace);
  ASSERT_NE(port.get(), plain);
  EXPECT_EQ(port->Name(), "/dev/ttyUSB7");
  ASSERT_TRUE(port->SetTimeouts(kQuick));
  CommState state;
  ASSERT_TRUE(port->GetState(state));
  state.baudRate = 57600;
  ASSERT_TRUE(port->SetState(state));
  ASSERT_TRUE(port->SetState(state));  // no change: not recorded again
  ASSERT_EQ(port->Write(Bytes("AT\r")).count, 3U);

  std::array<std::uint8_t, 16> received{};
  ASSERT_EQ(line.device->Receive(received, milliseconds(1000)), 3);
  ASSERT_TRUE(line.device->Send(Bytes("AT\r\r\nOK\r\n")));
  // Read byte by byte, as the program reads replies: still one line each.
  std::array<std::uint8_t, 64> buffer{};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(port->Read(std::span(buffer).first(1), milliseconds(2000)).count, 1U);
  }
  EXPECT_EQ(port->Read(buffer, milliseconds(2000)).count, 0U) << "a silent read records nothing";
  state.baudRate = 115200;
  ASSERT_TRUE(port->SetState(state));
  std::vector<std::uint8_t> block(70, 0x1A);
  block[0] = 0x02;
  ASSERT_EQ(port->Write(block).count, block.size());
  EXPECT_TRUE(port->Purge(kPurgeRxClear | kPurgeTxClear));
  CommState refused = state;
  refused.baudRate = 0;
  EXPECT_FALSE(port->SetState(refused));
  port.reset();

  std::string fill;
  for (int i = 1; i < 63; ++i) {
    fill += "\\x1A";
  }
  const std::vector<std::string> expected = {
      "#1    9600 open /dev/ttyUSB7",
      "#1   57600 speed",
      R"(#1   57600 send "AT\r")",
      R"(#1   57600 recv "AT\r\r\n")",
      R"(#1   57600 recv "OK\r\n")",
      "#1  115200 speed",
      R"(#1  115200 send "\x02)" + fill + "\\x1A\"",
      R"(#1  115200 send "\x1A\x1A\x1A\x1A\x1A\x1A")",
      "#1  115200 purge tx-clear rx-clear",
      "#1  115200 speed 0 refused by the port",
      "#1  115200 close",
  };
  EXPECT_EQ(Events(file), expected);

  std::ifstream in(file);
  std::string heading;
  std::getline(in, heading);
  EXPECT_TRUE(heading.starts_with("Transcript of norix-test 1.0, started ")) << heading;
}

TEST(PortTraceTest, WithoutATraceThePortIsLeftAsItIs) {
  MemoryLine line = MakeMemoryLine();
  Port* plain = line.host.get();
  EXPECT_EQ(TracePort(std::move(line.host), nullptr).get(), plain);
}

TEST(PortTraceTest, AFileThatCannotBeMadeIsReported) {
  const testing::TempDir dir;
  std::string error;
  const auto path = (dir.Path() / "missing" / "trace.txt").string();
  EXPECT_FALSE(PortTrace::Create(path, "norix-test", error));
  EXPECT_EQ(error, "cannot write " + path + ": No such file or directory");
}

// Ports written from several threads at once: every event stays one whole
// line, each port's bytes keep their order, and none is lost.
TEST(PortTraceTest, PortsOnSeveralThreadsShareOneTranscript) {
  const testing::TempDir dir;
  const auto file = dir.Path() / "trace.txt";
  std::string error;
  auto trace = PortTrace::Create(file.string(), "norix-test", error);
  ASSERT_TRUE(trace) << error;
  constexpr int kPorts = 4;
  constexpr int kWrites = 200;
  std::vector<std::thread> threads;
  for (int p = 0; p < kPorts; ++p) {
    threads.emplace_back([&trace, p] {
      MemoryLine line = MakeMemoryLine("line" + std::to_string(p));
      auto port = TracePort(std::move(line.host), trace);
      static_cast<void>(port->SetTimeouts(kQuick));
      for (int i = 0; i < kWrites; ++i) {
        const std::string text = "AT" + std::to_string(i) + "\r";
        static_cast<void>(port->Write(Bytes(text)));
        std::array<std::uint8_t, 16> sink{};
        static_cast<void>(line.device->Receive(sink, milliseconds(100)));
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  // Writes that follow each other on one port may share a line, and a line
  // may end within a command: join each port's lines again.
  const std::regex send(R"re(#(\d) +9600 send "(.*)")re");
  std::array<std::string, kPorts + 1> sent{};
  for (const std::string& event : Events(file)) {
    std::smatch match;
    if (std::regex_match(event, match, send)) {
      sent.at(static_cast<std::size_t>(std::stoi(match[1]))) += match[2];
    } else {
      EXPECT_TRUE(std::regex_match(event, std::regex(R"(#\d +9600 (open line\d|close))"))) << event;
    }
  }
  const std::regex command(R"(AT(\d+)\\r)");
  int sends = 0;
  for (std::size_t port = 1; port <= kPorts; ++port) {
    int next = 0;
    for (auto it = std::sregex_iterator(sent[port].begin(), sent[port].end(), command);
         it != std::sregex_iterator(); ++it) {
      ASSERT_EQ(std::stoi((*it)[1]), next++) << "port " << port;
      ++sends;
    }
  }
  EXPECT_EQ(sends, kPorts * kWrites);
}

}  // namespace
}  // namespace norix::platform::comm
