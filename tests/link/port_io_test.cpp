#include "link/port_io.h"

#include <gtest/gtest.h>

#include "link_fixture.h"

namespace norix::testing {
namespace {

using link::ReadBlock;
using link::ReadBlockPatiently;
using link::ReadByte;
using link::ReadLine;

using PortIo = LinkFixture;

std::vector<Chunk> Silent(const std::string&, const platform::comm::CommState&) { return {}; }

TEST_F(PortIo, ReadLineSkipsBlankLinesAndKeepsLineEnds) {
  Start(Silent);
  Quick();
  Unprompted("\r\nOK\r\n");
  std::string line = "old";
  EXPECT_EQ(ReadLine(Port(), line), 4U);
  EXPECT_EQ(line, "OK\r\n");

  // An echo followed by the modem's CR LF comes back as one line.
  Unprompted("ATI3\r\r\nNORIX X V1.10\r\n");
  EXPECT_EQ(ReadLine(Port(), line), 7U);
  EXPECT_EQ(line, "ATI3\r\r\n");
  EXPECT_EQ(ReadLine(Port(), line), 15U);
  EXPECT_EQ(line, "NORIX X V1.10\r\n");

  // A line that begins with CR is dropped whole.
  Unprompted("\rjunk\r\nNEXT\r\n");
  EXPECT_EQ(ReadLine(Port(), line), 6U);
  EXPECT_EQ(line, "NEXT\r\n");
}

TEST_F(PortIo, ReadLineDiscardsALineCutByTheTimeOut) {
  Start(Silent);
  Quick();
  Unprompted("PARTIAL");
  std::string line = "old";
  EXPECT_EQ(ReadLine(Port(), line), 0U);
  EXPECT_EQ(line, "");
  // The cut-off bytes are gone; the next line stands on its own.
  Unprompted("WHOLE\r\n");
  EXPECT_EQ(ReadLine(Port(), line), 7U);
  EXPECT_EQ(line, "WHOLE\r\n");
}

TEST_F(PortIo, ReadLineCutsLongLinesWithoutTheirEnd) {
  Start(Silent);
  Quick();
  const std::string longLine(1500, 'x');
  Unprompted(longLine + "\r\n");
  std::string line;
  EXPECT_EQ(ReadLine(Port(), line), 1023U);
  EXPECT_EQ(line, std::string(1023, 'x'));

  // Bytes that keep coming without a line feed end the read after
  // kLineRunLimit of them; the rest is left on the port.
  Unprompted(std::string(link::kLineRunLimit + 100, 'y') + "\r\nNEXT\r\n");
  EXPECT_EQ(ReadLine(Port(), line), 1023U);
  EXPECT_EQ(line, std::string(1023, 'y'));
  std::string rest;
  EXPECT_GT(ReadBlock(Port(), rest, 100), 0U);
  EXPECT_EQ(rest, std::string(100, 'y'));
}

TEST_F(PortIo, ReadLineOnAFailedPortLeavesTheTextAlone) {
  std::string line = "kept";
  EXPECT_EQ(ReadLine(nullptr, line), 0U);
  EXPECT_EQ(line, "kept");
}

TEST_F(PortIo, ReadBlockStopsAtTheIntervalAndHandsOnText) {
  Start(Silent);
  Quick(50, 40);
  Unprompted(std::string("AB\0CD", 5));
  std::string text = "old";
  EXPECT_EQ(ReadBlock(Port(), text, 100), 5U);
  EXPECT_EQ(text, "AB");  // a zero byte ends the text, not the count
  EXPECT_EQ(ReadBlock(Port(), text, 100), 0U);
  EXPECT_EQ(text, "");
  EXPECT_EQ(ReadBlock(nullptr, text = "kept", 10), 0U);
  EXPECT_EQ(text, "kept");
}

TEST_F(PortIo, ReadBlockNeverReadsMoreThanItsBuffer) {
  Start(Silent);
  Quick();
  Unprompted(std::string(2000, 'z'));
  std::string text;
  EXPECT_EQ(ReadBlock(Port(), text, 5000), link::kBlockCapacity);
  EXPECT_EQ(text.size(), link::kBlockCapacity);
  EXPECT_EQ(ReadBlock(Port(), text, 5000), 2000 - link::kBlockCapacity);
}

TEST_F(PortIo, ReadByteGivesSignedValues) {
  Start(Silent);
  Quick();
  Unprompted(std::string("A\x80\xFF", 3));
  EXPECT_EQ(ReadByte(Port()), 'A');
  EXPECT_EQ(ReadByte(Port()), -128);
  EXPECT_EQ(ReadByte(Port()), -1);  // 0xFF reads like no byte
  EXPECT_EQ(ReadByte(Port()), -1);
}

TEST_F(PortIo, ReadBlockPatientlyWaitsTwentyAttempts) {
  Start(Silent);
  Quick(10, 10);
  std::string text;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReadBlockPatiently(Port(), text, 10), 0U);
  // 20 attempts of 10 ms each plus a tenth of a second between them.
  const auto silent = Since(start);
  EXPECT_GE(silent.count(), 20 * 100);
  EXPECT_LT(silent.count(), 20 * 100 + 2500);

  // Something that comes during the attempts is taken.
  start = std::chrono::steady_clock::now();
  std::thread late([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    Unprompted("LATE");
  });
  EXPECT_EQ(ReadBlockPatiently(Port(), text, 10), 4U);
  late.join();
  EXPECT_EQ(text, "LATE");
  EXPECT_LT(Since(start).count(), 1500);
}

TEST_F(PortIo, TimeoutSettersReturnThePreviousValue) {
  Start(Silent);
  EXPECT_EQ(link::SetReadTimeout(Port(), 6000), link::kDefaultReadConstant);
  EXPECT_EQ(link::SetReadTimeout(Port(), 2000), 6000U);
  EXPECT_EQ(link::SetReadInterval(Port(), 7000), link::kDefaultReadInterval);
  EXPECT_EQ(link::SetWriteTimeout(Port(), 500), link::kDefaultWriteConstant);
  platform::comm::CommTimeouts t;
  ASSERT_TRUE(Port()->GetTimeouts(t));
  EXPECT_EQ(t, (platform::comm::CommTimeouts{7000, 10, 2000, 1, 500}));
  // SetReadTimeout puts the other values back to their defaults.
  link::SetReadTimeout(Port(), 1000);
  ASSERT_TRUE(Port()->GetTimeouts(t));
  EXPECT_EQ(t, (platform::comm::CommTimeouts{100, 10, 1000, 1, 2000}));
}

TEST_F(PortIo, SpeedAndFlowControlReachTheFarEnd) {
  Start(Silent, 57600);
  platform::comm::CommState state = line_.device->HostState();
  EXPECT_EQ(state.baudRate, 57600U);
  EXPECT_TRUE(state.outxCtsFlow);
  EXPECT_EQ(state.rtsControl, platform::comm::RtsControl::Handshake);
  link::SetPortSpeed(Port(), 14400);
  state = line_.device->HostState();
  EXPECT_EQ(state.baudRate, 14400U);
  EXPECT_TRUE(state.outxCtsFlow);  // SetPortSpeed leaves flow control alone
  link::SetCtsFlow(Port(), false);
  EXPECT_FALSE(line_.device->HostState().outxCtsFlow);
  EXPECT_EQ(line_.device->HostState().baudRate, 14400U);
}

TEST_F(PortIo, WriteLineSendsTheCrAsASecondWrite) {
  Start(Silent);
  EXPECT_EQ(link::WriteLine(Port(), "ATZ"), 4U);
  EXPECT_EQ(link::WriteLine(nullptr, "ATZ"), 0U);
  ASSERT_TRUE(product_->WaitForLines(1, std::chrono::seconds(2)));
  EXPECT_EQ(product_->Lines(), std::vector<std::string>{"ATZ"});
}

TEST_F(PortIo, WaitTenthsSleeps) {
  const auto start = std::chrono::steady_clock::now();
  link::WaitTenths(5);
  EXPECT_GE(Since(start).count(), 500);
}

}  // namespace
}  // namespace norix::testing
