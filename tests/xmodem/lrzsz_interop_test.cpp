// Our sender against lrzsz's rx: our port on a pty, rx started as a peer on
// a terminal of its own, the two joined by the line emulator without pacing. What rx writes must be
// our data byte for byte, followed by the zero fill of the last 128-byte block, which X-modem
// cannot tell from data.
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
#include "upgrade/xmodem_sender.h"
#include "xmodem_fixture.h"

namespace norix::testing {
namespace {

namespace fs = std::filesystem;
using sim::line::TtyPeer;

// Debian's lrzsz installs rx; other packagings prefix an l.
std::string FindRx() {
  for (const char* name : {"rx", "lrx"}) {
    std::string path = sim::line::FindProgram(name);
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
    rx_ = FindRx();
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

}  // namespace
}  // namespace norix::testing
