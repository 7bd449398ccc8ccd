// The host's side of an upgrade, byte for byte as the program sends it, for
// scripted transcripts against the simulated products: sections made as
// `norix-lfu make` makes them, raw chunks with their acknowledgements,
// X-modem through the program's sender.
#pragma once

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "sim_test_support.h"
#include "upgrade/upgrade_file_builder.h"
#include "upgrade/xmodem_sender.h"

namespace norix::sim::test {

// A flash loader as the modem layout cuts it from a file: the loader and
// the 4 bytes up to D2 - 9 ("\r\n[F") that come with it.
inline std::vector<std::uint8_t> LoaderOnTheLine(std::vector<std::uint8_t> loader) {
  for (const char c : std::string_view("\r\n[F")) {
    loader.push_back(static_cast<std::uint8_t>(c));
  }
  return loader;
}

inline std::vector<std::uint8_t> Firmware(upgrade::FirmwareTarget target,
                                          std::string_view identification, std::size_t size,
                                          std::uint32_t seed = 7) {
  return upgrade::MakeFirmware(target, identification, size, seed);
}

inline void WriteBytes(Port& port, std::span<const std::uint8_t> bytes) {
  const auto result = port.Write(bytes);
  ASSERT_TRUE(result.completed());
  ASSERT_EQ(result.count, bytes.size());
}

// Reads exactly as many bytes as `expected` has, one at a time as the
// program's line reader does, so that what follows (an X-modem receiver's
// start byte) stays on the line. Returns what came.
inline std::string ReadExactly(Port& port, std::string_view expected,
                               std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  EXPECT_TRUE(port.SetTimeouts({0, 0, 50, 0, 0}));
  while (received.size() < expected.size() && std::chrono::steady_clock::now() < deadline) {
    std::array<std::uint8_t, 1> byte{};
    const auto result = port.Read(byte, 1000ms);
    if (!result.completed()) {
      break;
    }
    if (result.count == 1) {
      received.push_back(static_cast<char>(byte[0]));
    }
  }
  return received;
}

// The raw firmware phase as the program runs it: chunks of 1024 bytes, the
// answer to each but the last read before the next goes out, the last sent
// with the 8 bytes after it (zeros past the image's end). It stops at an
// answer that holds a letter (the loader's final line has begun) and at
// silence. Returns every answer, in order.
inline std::string SendRawFirmware(Port& port, std::span<const std::uint8_t> firmware) {
  std::string answers;
  constexpr std::size_t kChunk = 1024;
  for (std::size_t at = 0; at < firmware.size(); at += kChunk) {
    const std::size_t size = std::min(kChunk, firmware.size() - at);
    if (at + size >= firmware.size()) {
      std::vector<std::uint8_t> last(firmware.begin() + static_cast<std::ptrdiff_t>(at),
                                     firmware.end());
      last.resize(last.size() + 8, 0);
      WriteBytes(port, last);
      break;
    }
    WriteBytes(port, firmware.subspan(at, size));
    const std::string answer = ReadUntilDone(
        port,
        [](const std::string& text) {
          return text.ends_with("*") ||
                 (text.ends_with("\r\n") && text.find_first_not_of("\r\n.") != std::string::npos);
        },
        std::chrono::seconds(1));
    answers += answer;
    const std::size_t first = answer.find_first_not_of("\r\n.");
    const bool finalLine =
        first != std::string::npos && std::isalpha(static_cast<unsigned char>(answer[first])) != 0;
    if (answer.empty() || finalLine) {
      break;  // silence, or the loader's final line has begun
    }
  }
  return answers;
}

// The program's X-modem sender, quick to start.
inline bool SendXmodem(Port& port, std::span<const std::uint8_t> data, bool use1K) {
  upgrade::XmodemSender sender(upgrade::XmodemTimings{1000, 10, 500});
  return sender.Send(nullptr, &port, data, use1K);
}

// Sends "AT" until the product answers OK, as the program's verification
// does after a restart; false when it never does within `limit`.
inline bool WaitForOk(Port& port, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    Write(port, "AT\r");
    if (ReadUntil(port, "OK\r\n", 200ms).ends_with("OK\r\n")) {
      ReadFor(port, 20ms);
      return true;
    }
  }
  return false;
}

// Sends a command line and returns everything up to its final result code.
inline std::string Command(Port& port, std::string_view line) {
  Write(port, std::string(line) + "\r");
  return ReadUntilDone(port, [](const std::string& text) {
    return text.ends_with("OK\r\n") || text.ends_with("ERROR\r\n");
  });
}

}  // namespace norix::sim::test
