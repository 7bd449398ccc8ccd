// norix-line: two pseudo-terminals joined by an emulated serial line.
//
//   norix-line --line 115200
//   /dev/pts/5
//   /dev/pts/6
//
// A program opens one path, its peer the other; bytes cross at the line's
// byte rate (10 bits per byte) in both directions. Runs until SIGINT or
// SIGTERM.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#include <pthread.h>
#include <signal.h>

#include "platform/comm/pty_line.h"
#include "sim/line/line_emulator.h"

namespace {

constexpr int kUsageError = 2;

void PrintUsage(std::FILE* out) {
  (void)std::fputs(
      "usage: norix-line --line BITRATE\n"
      "  Opens two pseudo-terminals, prints their paths (one a line) and relays\n"
      "  bytes between them at BITRATE bit/s, 10 bits per byte; 0 relays\n"
      "  without pacing. Ends on SIGINT or SIGTERM.\n",
      out);
}

bool ParseBitRate(std::string_view text, std::uint32_t& bitRate) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, bitRate);
  return error == std::errc() && ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint32_t bitRate = 0;
  bool haveRate = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      PrintUsage(stdout);
      return 0;
    }
    if (arg == "--line" && i + 1 < argc && ParseBitRate(argv[i + 1], bitRate)) {
      haveRate = true;
      ++i;
      continue;
    }
    (void)std::fprintf(stderr, "norix-line: bad argument \"%s\"\n", argv[i]);
    PrintUsage(stderr);
    return kUsageError;
  }
  if (!haveRate) {
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
