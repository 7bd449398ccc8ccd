// A program on a terminal of its own as the far end of a line.
#include "sim/line/tty_peer.h"

#include <string>

#include <gtest/gtest.h>

namespace norix::testing {
namespace {

using sim::line::TtyPeer;

std::string ReceiveText(platform::comm::DeviceEnd& line, std::size_t count) {
  std::string text;
  std::array<std::uint8_t, 64> buffer{};
  for (int tries = 0; tries < 50 && text.size() < count; ++tries) {
    const auto n = line.Receive(buffer, std::chrono::milliseconds(100));
    if (n < 0) {
      break;
    }
    text.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(n));
  }
  return text;
}

TEST(TtyPeer, CarriesWhatTheProgramReadsAndWritesEitherWay) {
  const std::string cat = sim::line::FindProgram("cat");
  ASSERT_FALSE(cat.empty());
  for (const auto output : {TtyPeer::Output::Pipe, TtyPeer::Output::Terminal}) {
    auto started = TtyPeer::Start({cat}, "", "", output);
    ASSERT_TRUE(started.peer) << started.message;
    // Raw terminal: bytes pass unchanged, CR and control bytes included.
    const std::string typed = "AT\r\x04\x18\n";
    ASSERT_TRUE(started.line->Send(
        std::span(reinterpret_cast<const std::uint8_t*>(typed.data()), typed.size())));
    EXPECT_EQ(ReceiveText(*started.line, typed.size()), typed);
    started.peer->Kill();
    EXPECT_TRUE(started.peer->Wait(std::chrono::seconds(1)).has_value());
    // The program's end ends its output.
    std::array<std::uint8_t, 8> rest{};
    EXPECT_EQ(started.line->Receive(rest, std::chrono::seconds(2)), -1);
  }
}

TEST(TtyPeer, ReportsWhatCannotStart) {
  auto started = TtyPeer::Start({"/nonexistent/program"}, "", "");
  EXPECT_FALSE(started.peer);
  EXPECT_NE(started.message.find("/nonexistent/program"), std::string::npos);
  EXPECT_TRUE(sim::line::FindProgram("no-such-program-anywhere").empty());
}

}  // namespace
}  // namespace norix::testing
