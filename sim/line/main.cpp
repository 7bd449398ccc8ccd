// norix-line: two pseudo-terminals joined by an emulated serial line.
//
//   norix-line --line 115200
//   /dev/pts/5
//   /dev/pts/6
//
// A program opens one path, its peer the other; bytes cross at the line's
// byte rate (10 bits per byte) in both directions. Runs until SIGINT or
// SIGTERM.
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include <pthread.h>
#include <signal.h>

#include "platform/cli/options.h"
#include "platform/comm/pty_line.h"
#include "sim/line/line_emulator.h"

namespace {

constexpr int kUsageError = 2;

void PrintUsage(std::FILE* out) {
  (void)std::fputs(
      "usage: norix-line --line BITRATE\n"
      "       norix-line --help | --version\n"
      "Opens two pseudo-terminals, prints their paths (one a line) and relays\n"
      "bytes between them at BITRATE bit/s, 10 bits per byte; 0 relays\n"
      "without pacing. Ends on SIGINT or SIGTERM.\n"
      "  --line BITRATE  the bit rate of the emulated line\n"
      "  -h, --help      show this text and end\n"
      "  --version       show the program's version and end\n",
      out);
}

bool ParseBitRate(std::string_view text, std::uint32_t& bitRate) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, bitRate);
  return error == std::errc() && ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
  namespace cli = norix::platform::cli;
  enum Key : int { kLine = 0x200 };
  static constexpr std::array<cli::Option, 3> kOptions{{
      cli::kHelpOption,
      cli::kVersionOption,
      {"line", '\0', true, kLine},
  }};
  std::uint32_t bitRate = 0;
  bool haveRate = false;
  bool help = false;
  bool version = false;
  const auto parsed =
      cli::ParseCommandLine(cli::Arguments(argc, argv), kOptions,
                            [&](int key, const std::string& value, cli::Following&) -> std::string {
                              if (key == cli::kHelpKey) {
                                help = true;
                              } else if (key == cli::kVersionKey) {
                                version = true;
                              } else if (key == kLine) {
                                if (!ParseBitRate(value, bitRate)) {
                                  return "--line takes a bit rate, not \"" + value + "\"";
                                }
                                haveRate = true;
                              }
                              return {};
                            });
  if (help) {
    PrintUsage(stdout);
    return 0;
  }
  if (version) {
    (void)std::printf("%s\n", cli::VersionText("norix-line").c_str());
    return 0;
  }
  std::string problem = parsed.error;
  if (problem.empty() && !parsed.operands.empty()) {
    problem = "unexpected argument \"" + parsed.operands.front() + "\"";
  }
  if (problem.empty() && !haveRate) {
    problem = "no --line BITRATE given";
  }
  if (!problem.empty()) {
    (void)std::fprintf(stderr, "norix-line: %s\n", problem.c_str());
    PrintUsage(stderr);
    return kUsageError;
  }

  // The relay threads must not take the signals: main waits for them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  if (pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr) != 0) {
    (void)std::fputs("norix-line: cannot block signals\n", stderr);
    return 1;
  }

  auto a = norix::platform::comm::OpenPtyLine();
  auto b = norix::platform::comm::OpenPtyLine();
  for (const auto* pty : {&a, &b}) {
    if (!pty->device) {
      (void)std::fprintf(stderr, "norix-line: %s\n", pty->message.c_str());
      return 1;
    }
  }
  norix::sim::line::LineEmulator line(std::move(a.device), std::move(b.device),
                                      {.bitRate = bitRate, .bufferBytes = 4096});
  line.Start();
  (void)std::printf("%s\n%s\n", a.slavePath.c_str(), b.slavePath.c_str());
  (void)std::fflush(stdout);

  int received = 0;
  while (sigwait(&stopSignals, &received) != 0) {
  }
  line.Stop();
  return 0;
}
