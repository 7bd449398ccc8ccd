// Our sender against lrzsz's rx: our port on a pty, rx started as a peer on
// a terminal of its own, the two joined by the line emulator without pacing. What rx writes must be
// our data byte for byte, followed by the zero fill of the last 128-byte block, which X-modem
// cannot tell from data. And lrzsz's sx against the simulator's receiver, which checks the
// simulator's own framing and checks the way the program's sender is checked against rx.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/port_io.h"
#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "sim/line/line_emulator.h"
#include "sim/line/tty_peer.h"
#include "sim/xmodem/xmodem_receiver.h"
#include "support/temp_dir.h"
#include "upgrade/xmodem_sender.h"
#include "xmodem_fixture.h"

namespace norix::testing {
namespace {

namespace fs = std::filesystem;
using sim::line::TtyPeer;

// Debian's lrzsz installs rx and sx; other packagings prefix an l.
std::string FindLrzsz(const std::string& name) {
  for (const std::string& candidate : {name, "l" + name}) {
    std::string path = sim::line::FindProgram(candidate);
    if (!path.empty()) {
      return path;
    }
  }
  return {};
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  if (error) {
    return {};
  }
  std::vector<std::uint8_t> bytes(size);
  std::ifstream in(path, std::ios::binary);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::string ReadLog(const fs::path& path) {
  const auto bytes = ReadFile(path);
  return {bytes.begin(), bytes.end()};
}

class LrzszInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    rx_ = FindLrzsz("rx");
    if (rx_.empty()) {
      GTEST_SKIP() << "lrzsz's rx is not installed (Debian package lrzsz): interop not tested";
    }
    std::string dirTemplate = (fs::temp_directory_path() / "norix-xmodem-XXXXXX").string();
    ASSERT_NE(mkdtemp(dirTemplate.data()), nullptr);
    dir_ = dirTemplate;

    ours_ = platform::comm::OpenPtyLine();
    ASSERT_TRUE(ours_.device) << ours_.message;
    auto opened = platform::comm::OpenSerialPort(ours_.slavePath);
    ASSERT_TRUE(opened.port) << opened.message;
    port_ = std::move(opened.port);
    link::ConfigurePort(port_.get(), 115200);
  }

  void TearDown() override {
    rxPeer_.reset();
    port_.reset();
    line_.reset();
    if (!dir_.empty()) {
      std::error_code ignored;
      fs::remove_all(dir_, ignored);
    }
  }

  // Sends `data` to rx (CRC mode when `crc`) and returns what rx stored.
  std::vector<std::uint8_t> SendToRx(const std::vector<std::uint8_t>& data, bool crc, bool use1K) {
    std::vector<std::string> argv{rx_, "--binary", "--overwrite"};
    if (crc) {
      argv.emplace_back("--with-crc");
    }
    argv.emplace_back("received.bin");
    auto started = TtyPeer::Start(argv, dir_.string(), (dir_ / "rx.log").string());
    if (!started.peer) {
      ADD_FAILURE() << started.message;
      return {};
    }
    rxPeer_ = std::move(started.peer);
    line_ = std::make_unique<sim::line::LineEmulator>(
        std::move(ours_.device), std::move(started.line), sim::line::LineOptions{0, 4096});
    line_->Start();
    upgrade::XmodemSender sender;
    const bool sent = sender.Send(nullptr, port_.get(), data, use1K);
    EXPECT_TRUE(sent) << upgrade::XmodemFailureText(sender.LastFailure()) << "\nrx said:\n"
                      << ReadLog(dir_ / "rx.log");
    EXPECT_EQ(sender.LastStats().check,
              crc ? upgrade::XmodemCheck::Crc : upgrade::XmodemCheck::Checksum);
    EXPECT_EQ(rxPeer_->Wait(std::chrono::seconds(10)), 0) << ReadLog(dir_ / "rx.log");
    return ReadFile(dir_ / "received.bin");
  }

  std::string rx_;
  fs::path dir_;
  platform::comm::PtyLine ours_;
  std::unique_ptr<sim::line::LineEmulator> line_;
  std::unique_ptr<platform::comm::Port> port_;
  std::optional<TtyPeer> rxPeer_;
};

TEST_F(LrzszInterop, CrcModeWithLongBlocks) {
  const auto data = RandomBytes(3 * kLong + 300, 21);
  EXPECT_EQ(SendToRx(data, true, true), Padded(data));
}

TEST_F(LrzszInterop, CrcModeWithShortBlocksPastBlock255) {
  const auto data = RandomBytes(300 * kShort - 5, 22);
  EXPECT_EQ(SendToRx(data, true, false), Padded(data));
}

TEST_F(LrzszInterop, ChecksumModeWithShortBlocks) {
  const auto data = RandomBytes(1000, 23);
  EXPECT_EQ(SendToRx(data, false, false), Padded(data));
}

TEST_F(LrzszInterop, ChecksumModeWithLongBlocks) {
  const auto data = RandomBytes(2 * kLong, 24);
  EXPECT_EQ(SendToRx(data, false, true), data);
}

struct SxCase {
  std::size_t size;
  bool crc;
  bool use1K;
};

class SxToSimulator : public ::testing::TestWithParam<SxCase> {};

// sx sends a file to the simulator's receiver: the receiver must take every
// block, and keep the data followed by sx's fill (SUB, 0x1A) of the last block.
TEST_P(SxToSimulator, ReceiverTakesTheFileAsSent) {
  const SxCase& c = GetParam();
  const std::string sx = FindLrzsz("sx");
  if (sx.empty()) {
    GTEST_SKIP() << "lrzsz's sx is not installed (Debian package lrzsz): interop not tested";
  }
  const TempDir dir;
  const auto data = RandomBytes(c.size, static_cast<unsigned>(c.size));
  dir.Write("sent.bin", std::string(data.begin(), data.end()));
  std::vector<std::string> argv{sx, "--xmodem", "--binary"};
  if (c.use1K) {
    argv.emplace_back("--1k");
  }
  argv.emplace_back("sent.bin");
  auto started = TtyPeer::Start(argv, dir.Path().string(), (dir.Path() / "sx.log").string());
  ASSERT_TRUE(started.peer) << started.message;

  auto options = QuickReceiver(c.crc ? upgrade::XmodemCheck::Crc : upgrade::XmodemCheck::Checksum);
  options.startInterval = std::chrono::milliseconds(1000);
  const sim::xmodem::ReceiveResult result = sim::xmodem::ReceiveXmodem(*started.line, options);
  EXPECT_EQ(started.peer->Wait(std::chrono::seconds(10)), 0) << ReadLog(dir.Path() / "sx.log");

  EXPECT_EQ(result.end, sim::xmodem::ReceiveEnd::Completed) << ReadLog(dir.Path() / "sx.log");
  ASSERT_GE(result.data.size(), data.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), result.data.begin()));
  EXPECT_TRUE(std::all_of(result.data.begin() + static_cast<std::ptrdiff_t>(data.size()),
                          result.data.end(), [](std::uint8_t b) { return b == 0x1A; }));
  EXPECT_LT(result.data.size() - data.size(), kShort);
  for (const auto& frame : result.frames) {
    EXPECT_EQ(frame.verdict, sim::xmodem::FrameVerdict::Accepted) << "block " << frame.block;
  }
  EXPECT_EQ(std::any_of(result.frames.begin(), result.frames.end(),
                        [](const auto& frame) { return frame.size == kLong; }),
            c.use1K && c.size >= kLong);
}

INSTANTIATE_TEST_SUITE_P(Modes, SxToSimulator,
                         ::testing::Values(SxCase{3 * kLong + 300, true, true},
                                           SxCase{300 * kShort - 5, true, false},
                                           SxCase{1000, false, false},
                                           SxCase{2 * kLong + 1, false, true}));

}  // namespace
}  // namespace norix::testing
