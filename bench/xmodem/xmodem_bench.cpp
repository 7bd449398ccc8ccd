// Sends one 512 KiB image to lrzsz's rx through the line emulator at 115200
// bit/s twice: with our XmodemSender (1K blocks) on a pty and with lrzsz's
// sx -k on a pty of its own. Both runs are timed from the moment the line
// starts, when rx sends its first 'C'. (rx's answers come through a pipe:
// it flushes its terminal right after its last ACK, which on a pty would
// discard the ACK; see tty_peer.h.) Prints both times, the ratio ours / lrzsz, and each run's
// efficiency against the wire: (payload bytes / bytes per second of the line) / time.
//
//   xmodem_bench [--size BYTES] [--line BITRATE] [--runs N] [--keep]
//
// --runs N alternates the two senders N times and reports the best run of
// each (and every failed run), so that a moment of load on the machine does
// not decide the ratio.
// --keep leaves the working folder (images, rx and sx logs) in place, and
// has rx and sx log every block.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "link/port_io.h"
#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "sim/line/line_emulator.h"
#include "sim/line/line_pacer.h"
#include "sim/line/tty_peer.h"
#include "upgrade/xmodem_sender.h"

namespace {

namespace fs = std::filesystem;
using norix::sim::line::FindProgram;
using norix::sim::line::LineEmulator;
using norix::sim::line::LineOptions;
using norix::sim::line::TtyPeer;
using Clock = std::chrono::steady_clock;

// What both runs share.
struct Setup {
  std::string rx;
  std::string sx;
  fs::path dir;  // working folder
  std::uint32_t bitRate = 115200;
  bool verbose = false;  // rx and sx log every block (with --keep)
};

struct RunResult {
  bool ok = false;
  double seconds = 0;      // line start to the sender's end
  double dataSeconds = 0;  // line start to the last block's ACK (ours only)
  std::string problem;
};

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
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

bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// rx stores whole blocks: the image, then up to 127 fill bytes.
std::string CheckReceived(const fs::path& path, const std::vector<std::uint8_t>& image) {
  const auto received = ReadFile(path);
  if (received.size() < image.size() || received.size() - image.size() >= 128 ||
      !std::equal(image.begin(), image.end(), received.begin())) {
    return "rx stored " + std::to_string(received.size()) + " bytes that differ from the image";
  }
  return {};
}

TtyPeer::Started StartRx(const Setup& setup, const std::string& name) {
  return TtyPeer::Start(
      {setup.rx, "--binary", "--overwrite", "--with-crc", setup.verbose ? "-vv" : "--quiet", name},
      setup.dir.string(), (setup.dir / (name + ".log")).string());
}

// Notes when the last block was acknowledged.
class LastStep final : public norix::upgrade::XmodemProgress {
 public:
  void SetRange(int blocks) override { blocks_ = blocks; }
  void SetItemText(int, int) override {}
  void SetText(int, std::string_view) override {}
  void Step() override {
    if (++steps_ == blocks_) {
      at = Clock::now();
    }
  }
  Clock::time_point at{};

 private:
  int blocks_ = 0;
  int steps_ = 0;
};

RunResult RunOurs(const Setup& setup, const std::vector<std::uint8_t>& image) {
  const std::uint32_t bitRate = setup.bitRate;
  RunResult result;
  auto ours = norix::platform::comm::OpenPtyLine();
  if (!ours.device) {
    result.problem = ours.message;
    return result;
  }
  auto opened = norix::platform::comm::OpenSerialPort(ours.slavePath);
  if (!opened.port) {
    result.problem = opened.message;
    return result;
  }
  norix::link::ConfigurePort(opened.port.get(), bitRate);
  auto receiver = StartRx(setup, "ours.bin");
  if (!receiver.peer) {
    result.problem = receiver.message;
    return result;
  }
  LineEmulator line(std::move(ours.device), std::move(receiver.line), LineOptions{bitRate, 4096});
  norix::upgrade::XmodemSender sender;
  LastStep lastStep;
  const Clock::time_point start = Clock::now();
  line.Start();
  const bool sent = sender.Send(&lastStep, opened.port.get(), image, true);
  result.seconds = SecondsSince(start);
  result.dataSeconds = std::chrono::duration<double>(lastStep.at - start).count();
  const auto status = receiver.peer->Wait(std::chrono::seconds(30));
  if (!sent) {
    const auto& stats = sender.LastStats();
    result.problem = std::string("our sender failed: ") +
                     norix::upgrade::XmodemFailureText(sender.LastFailure()) + " at block " +
                     std::to_string(stats.blocksAcked + 1) + " of " + std::to_string(stats.blocks) +
                     ", " + std::to_string(stats.frameWrites) + " frames written, " +
                     std::to_string(stats.replyTimeouts) + " reply time-outs";
  } else if (status != 0) {
    result.problem = "rx did not end well";
  } else {
    result.problem = CheckReceived(setup.dir / "ours.bin", image);
  }
  result.ok = result.problem.empty();
  return result;
}

RunResult RunLrzsz(const Setup& setup) {
  RunResult result;
  // sx talks through its terminal both ways, as our sender through its port.
  auto sender = TtyPeer::Start(
      {setup.sx, "--xmodem", "--1k", "--binary", setup.verbose ? "-vv" : "--quiet", "image.bin"},
      setup.dir.string(), (setup.dir / "sx.log").string(), TtyPeer::Output::Terminal);
  if (!sender.peer) {
    result.problem = sender.message;
    return result;
  }
  auto receiver = StartRx(setup, "lrzsz.bin");
  if (!receiver.peer) {
    result.problem = receiver.message;
    return result;
  }
  LineEmulator line(std::move(sender.line), std::move(receiver.line),
                    LineOptions{setup.bitRate, 4096});
  const Clock::time_point start = Clock::now();
  line.Start();
  const auto status = sender.peer->Wait(std::chrono::seconds(600));
  result.seconds = SecondsSince(start);
  const auto rxStatus = receiver.peer->Wait(std::chrono::seconds(30));
  if (status != 0 || rxStatus != 0) {
    result.problem = "sx or rx did not end well";
  } else {
    result.problem = CheckReceived(setup.dir / "lrzsz.bin", ReadFile(setup.dir / "image.bin"));
  }
  result.ok = result.problem.empty();
  return result;
}

// The fastest successful run of one sender, and what went wrong in the others.
struct Best {
  bool ok = false;
  RunResult run;
  std::vector<std::string> problems;

  void Add(RunResult result) {
    if (!result.ok) {
      problems.push_back(std::move(result.problem));
    } else if (!ok || result.seconds < run.seconds) {
      ok = true;
      run = std::move(result);
    }
  }
};

bool ParseNumber(std::string_view text, std::uint32_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && ptr == end && value > 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint32_t size = 512 * 1024;
  std::uint32_t bitRate = 115200;
  std::uint32_t runs = 1;
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool valueFollows = i + 1 < argc;
    if (arg == "--keep") {
      keep = true;
      continue;
    }
    std::uint32_t* target = arg == "--size"   ? &size
                            : arg == "--line" ? &bitRate
                            : arg == "--runs" ? &runs
                                              : nullptr;
    if (target != nullptr && valueFollows && ParseNumber(argv[i + 1], *target)) {
      ++i;
    } else {
      (void)std::fprintf(
          stderr, "usage: xmodem_bench [--size BYTES] [--line BITRATE] [--runs N] [--keep]\n");
      return 2;
    }
  }
  const std::string rx = FindProgram("rx");
  const std::string sx = FindProgram("sx");
  if (rx.empty() || sx.empty()) {
    (void)std::printf("xmodem_bench: skipped, lrzsz's rx and sx are not installed\n");
    return 0;
  }

  std::string dirTemplate = (fs::temp_directory_path() / "norix-xmodem-bench-XXXXXX").string();
  if (mkdtemp(dirTemplate.data()) == nullptr) {
    (void)std::perror("xmodem_bench: cannot make a working folder");
    return 1;
  }
  const fs::path dir = dirTemplate;
  const Setup setup{rx, sx, dir, bitRate, keep};
  std::vector<std::uint8_t> image(size);
  std::mt19937 random(2024);
  for (auto& byte : image) {
    byte = static_cast<std::uint8_t>(random());
  }
  if (!WriteFile(dir / "image.bin", image)) {
    (void)std::fprintf(stderr, "xmodem_bench: cannot write the image\n");
    return 1;
  }

  const double wireSeconds =
      std::chrono::duration<double>(norix::sim::line::LinePacer::Duration(size, bitRate)).count();
  (void)std::printf("line %u bit/s (%u bytes/s), image %u bytes: %.3f s of payload on the wire\n",
                    bitRate, bitRate / 10, size, wireSeconds);
  (void)std::fflush(stdout);

  // Failed runs are reported, and the best successful run of each sender
  // is compared. rx flushes its input right after each answer, so a sender
  // that answers faster than rx reaches its flush (under load) loses the
  // start of its block; rx then refuses it.
  Best ours;
  Best theirs;
  for (std::uint32_t run = 0; run < runs; ++run) {
    ours.Add(RunOurs(setup, image));
    theirs.Add(RunLrzsz(setup));
  }
  if (keep) {
    (void)std::printf("working folder kept: %s\n", dir.c_str());
  } else {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  if (runs > 1) {
    (void)std::printf("best of %u runs each\n", runs);
  }
  for (const auto& [name, best] :
       {std::pair{"ours (XmodemSender, 1K)", &ours}, std::pair{"lrzsz sx -k", &theirs}}) {
    for (const std::string& problem : best->problems) {
      (void)std::printf("%-24s failed: %s\n", name, problem.c_str());
    }
    if (best->ok) {
      (void)std::printf("%-24s %8.3f s  efficiency %.2f %%\n", name, best->run.seconds,
                        100.0 * wireSeconds / best->run.seconds);
    }
  }
  if (ours.ok) {
    (void)std::printf("%-24s %8.3f s  efficiency %.2f %% (line start to the last block's ACK)\n",
                      "ours, data phase", ours.run.dataSeconds,
                      100.0 * wireSeconds / ours.run.dataSeconds);
    (void)std::printf("%-24s %8.3f s  (rx answers EOT only after a second of silence)\n",
                      "ours, EOT to its ACK", ours.run.seconds - ours.run.dataSeconds);
  }
  if (!ours.ok || !theirs.ok) {
    return 1;
  }
  (void)std::printf("ratio ours / lrzsz: %.4f\n", ours.run.seconds / theirs.run.seconds);
  return 0;
}
