// The modem upgrade against a simulated corvid 560 that waits nothing of its
// own, two ways:
//
// transfer: a whole upgrade with a 450000-byte firmware through the line
// emulator at 115200 bit/s (the program on a pty, as norix-line joins two
// ends), raw mode and X-modem mode. The floor is every byte that crossed the
// line, both ways one after the other (both protocols wait for each
// acknowledgement), at 10 bits per byte, plus the pauses the protocol
// prescribes. Prints each time against its floor, and the CPU time of the
// program's transfer thread against the wall time.
//
// rescue: power lost at seeded random points of the loader and firmware
// phases of a small image on an unpaced in-memory line at the boot
// firmware's speed, each run answered as a user would (OK to the rescue
// offer); prints how many ended with the new firmware verified and how many
// needed more than one rescue transfer.
//
//   modem_upgrade_bench [transfer|rescue|all] [--runs N] [--seed S]
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "line_bench.h"
#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "sim/line/line_emulator.h"
#include "sim/model_registry.h"
#include "sim/simulated_product.h"
#include "upgrade/file_layout.h"
#include "upgrade/image_checksum.h"
#include "upgrade/modem_transfer.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_file_builder.h"

namespace {

namespace comm = norix::platform::comm;
namespace upgrade = norix::upgrade;
namespace W = norix::platform::window;
using norix::bench::HostPortEnd;
using norix::bench::ThreadCpuSeconds;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::string_view kIdent = "NORIX corvid 560 Voice V1.50";
constexpr std::uint32_t kBitRate = 115200;
// The rescue matrix upgrades at the speed of the modem's boot firmware: a
// rescue transfer then finds the boot firmware at its first "AT" instead of
// after the five unanswered probes at a speed it does not hear (about 20 s
// of port time-outs per rescue, which would say nothing about the outcome).
constexpr std::uint32_t kRescueBitRate = 57600;

// Answers every question as a user who wants the product back: OK, Yes
// (the nationality question: No). Counts the rescue offers.
class AnsweringView final : public upgrade::UpgradeView {
 public:
  void SetRange(int /*blocks*/) override {}
  void SetItemText(int /*control*/, int /*textId*/) override {}
  void SetText(int control, std::string_view text) override {
    if (control == upgrade::kXmodemTimeText && !text.empty()) {
      lastTime = std::string(text);
    }
  }
  void Step() override {}
  int Message(int textId, W::UINT /*style*/) override {
    messages.push_back(textId);
    if (textId == upgrade::kMsgNoResponse || textId == upgrade::kMsgFailedTryAgain) {
      ++rescues;
      return W::IDOK;
    }
    if (textId == upgrade::kMsgInvalidResponse) {
      // Tries again twice, then gives up as a user would.
      return ++retries <= 2 ? W::IDYES : W::IDNO;
    }
    return textId == 2016 ? W::IDNO : W::IDOK;
  }
  int MessageText(std::string_view /*text*/, W::UINT /*style*/) override { return W::IDOK; }
  [[nodiscard]] std::string Text(int /*textId*/) const override { return "%s"; }

  std::vector<int> messages;
  int rescues = 0;
  int retries = 0;
  std::string lastTime;
};

// Pauses that take no time (the rescue matrix measures outcomes, not time).
class NoWaitClock final : public upgrade::TransferClock {
 public:
  bool Pause(std::chrono::milliseconds /*duration*/) override { return true; }
  std::int64_t NowSeconds() override {
    return std::chrono::duration_cast<std::chrono::seconds>(Clock::now().time_since_epoch())
        .count();
  }
  [[nodiscard]] bool StopRequested() const override { return false; }
};

struct Image {
  upgrade::UpgradeImage image;
  std::vector<std::uint8_t> firmware;
};

std::optional<Image> MakeImage(upgrade::LoaderMode mode, std::size_t loaderBytes,
                               std::size_t firmwareBytes) {
  upgrade::UpgradeFileRecipe recipe;
  recipe.name = "NORIX corvid 560 Voice";
  recipe.version = "1.50";
  recipe.loader = upgrade::MakeFlashLoader(mode, loaderBytes, 11);
  Image made;
  made.firmware =
      upgrade::MakeFirmware(upgrade::FirmwareTarget::ModemNormalFlash, kIdent, firmwareBytes, 12);
  recipe.firmware = made.firmware;
  const auto file = upgrade::BuildUpgradeFile(recipe);
  if (!file.ok()) {
    (void)std::fprintf(stderr, "upgrade file: %s\n", file.error.c_str());
    return std::nullopt;
  }
  made.image = upgrade::MakeUpgradeImage(file.bytes);
  if (!upgrade::CutImage(made.image, upgrade::FileLayout::Modem).ok()) {
    (void)std::fprintf(stderr, "the upgrade file does not cut\n");
    return std::nullopt;
  }
  made.image.modemChecksum = upgrade::ChecksumText(made.firmware);
  return made;
}

std::unique_ptr<norix::sim::SimulatedProduct> MakeProduct(
    std::unique_ptr<comm::DeviceEnd> line, const norix::sim::UpgradeOptions& upgradeOptions) {
  norix::sim::ProductOptions options;
  options.upgrade = upgradeOptions;
  options.upgrade.timePercent = 0;
  options.upgrade.powerOffTime = 0ms;
  const auto* model = norix::sim::FindModel("corvid560");
  auto product = std::make_unique<norix::sim::SimulatedProduct>("corvid560", model->make(),
                                                                std::move(line), options);
  product->Start();
  return product;
}

// The new firmware runs: it names itself and answers the file's checksum.
bool Verified(comm::Port* port, const Image& image) {
  std::string ident;
  std::string checksum;
  static_cast<void>(norix::link::SendAtCommand(port, "ATI3", ident));
  static_cast<void>(norix::link::SendAtCommand(port, "ATI1", checksum));
  return ident.starts_with(kIdent) && checksum.starts_with(image.image.modemChecksum);
}

bool TimeTransfer(upgrade::LoaderMode mode, const char* label) {
  const std::optional<Image> made = MakeImage(mode, 8192, upgrade::kFirmwareSizeRule);
  if (!made) {
    return false;
  }
  const Image& image = *made;
  auto pty = comm::OpenPtyLine();
  if (!pty.device) {
    (void)std::fprintf(stderr, "no pty: %s\n", pty.message.c_str());
    return false;
  }
  comm::MemoryLine memory = comm::MakeMemoryLine("corvid560");
  const comm::DeviceEnd* programEnd = pty.device.get();
  auto productEnd = std::make_unique<HostPortEnd>(std::move(memory.host), programEnd);
  norix::sim::line::LineEmulator line(std::move(pty.device), std::move(productEnd),
                                      {kBitRate, 4096});
  line.Start();
  const auto product = MakeProduct(std::move(memory.device), {});
  auto opened = comm::OpenSerialPort(pty.slavePath);
  if (!opened.port) {
    (void)std::fprintf(stderr, "%s\n", opened.message.c_str());
    return false;
  }
  comm::Port* port = opened.port.get();
  norix::link::ConfigurePort(port, kBitRate);

  AnsweringView view;
  upgrade::SleepingClock clock;
  norix::device::RescueFlags flags;
  upgrade::ModemTransfer transfer(port, image.image, view, clock, flags, {});
  const std::uint64_t sentBefore = line.RelayedAToB();
  const std::uint64_t heardBefore = line.RelayedBToA();
  const double cpuStart = ThreadCpuSeconds();
  const auto start = Clock::now();
  const int result = transfer.Run(kBitRate, false);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = ThreadCpuSeconds() - cpuStart;
  const auto bytes = static_cast<double>(line.RelayedAToB() - sentBefore) +
                     static_cast<double>(line.RelayedBToA() - heardBefore);
  // 500 ms before the loader, 1 s after it, 5 s and 500 ms around the final
  // line; the raw firmware starts after another second, the X-modem
  // sender's first block 300 ms after the receiver's start byte.
  const double pauses = mode == upgrade::LoaderMode::Xmodem ? 7.3 : 8.0;
  const double floor = bytes * 10.0 / kBitRate + pauses;
  const bool ok = result == upgrade::kUpgradeSucceeded && Verified(port, image);
  (void)std::printf(
      "%-8s %s  %9.0f bytes on the line  time %6.2f s  floor %6.2f s  ratio %.3f  "
      "CPU %.3f s = %.2f%% of the wall time  (last remaining time shown %s)\n",
      label, ok ? "verified" : "FAILED  ", bytes, wall, floor, wall / floor, cpu,
      100.0 * cpu / wall, view.lastTime.empty() ? "none" : view.lastTime.c_str());
  line.Stop();
  return ok;
}

bool RescueMatrix(int runs, std::uint32_t seed) {
  const std::optional<Image> made = MakeImage(upgrade::LoaderMode::RawStar, 2048, 16384);
  if (!made) {
    return false;
  }
  const Image& image = *made;
  const std::size_t loader = image.image.loaderEnd - image.image.loaderStart;
  const std::size_t firmware = upgrade::RawFirmware(image.image).size() + upgrade::kTrailingBytes;
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::size_t> point(1, loader + firmware - 1);
  int verified = 0;
  int moreThanOne = 0;
  int inLoader = 0;
  const auto start = Clock::now();
  for (int run = 0; run < runs; ++run) {
    const std::size_t at = point(random);
    norix::sim::UpgradeOptions faults;
    if (at < loader) {
      faults.powerCutLoader = at;
      ++inLoader;
    } else {
      faults.powerCutFirmware = at - loader;
    }
    comm::MemoryLine memory = comm::MakeMemoryLine("corvid560");
    const auto product = MakeProduct(std::move(memory.device), faults);
    comm::Port* port = memory.host.get();
    norix::link::ConfigurePort(port, kRescueBitRate);
    AnsweringView view;
    NoWaitClock clock;
    norix::device::RescueFlags flags;
    upgrade::ModemTransfer transfer(port, image.image, view, clock, flags, {});
    const int result = transfer.Run(kRescueBitRate, false);
    const bool ok = result == upgrade::kUpgradeSucceeded && Verified(port, image);
    verified += ok ? 1 : 0;
    moreThanOne += view.rescues > 1 ? 1 : 0;
    if (!ok) {
      std::string shown;
      for (const int id : view.messages) {
        shown += " " + std::to_string(id);
      }
      (void)std::printf(
          "  run %d: cut after byte %zu of the %s: result %d, messages%s, loader's last "
          "line \"%s\", identification after \"%s\"\n",
          run, at < loader ? at : at - loader, at < loader ? "loader" : "firmware", result,
          shown.c_str(), transfer.Record().lastLoaderLine.c_str(),
          transfer.Record().identAfter.c_str());
    }
    product->Stop();
  }
  (void)std::printf(
      "rescue matrix (seed %u): %d of %d verified, %d needed more than one rescue "
      "(%d cuts in the loader, %d in the firmware; %.0f s)\n",
      seed, verified, runs, moreThanOne, inLoader, runs - inLoader,
      std::chrono::duration<double>(Clock::now() - start).count());
  return verified == runs;
}

}  // namespace

int main(int argc, char** argv) {
  const auto args = norix::bench::ParseBenchArgs(argc, argv, "modem_upgrade_bench");
  if (!args) {
    return 2;
  }
  const std::string_view what = args->what;
  const std::uint32_t runs = args->runs;
  const std::uint32_t seed = args->seed;
  bool ok = true;
  if (what != "rescue") {
    (void)std::printf("modem upgrade, 450000-byte firmware, %u bit/s through the line emulator\n",
                      kBitRate);
    ok = TimeTransfer(upgrade::LoaderMode::RawStar, "raw") && ok;
    ok = TimeTransfer(upgrade::LoaderMode::Xmodem, "X-modem") && ok;
  }
  if (what != "transfer") {
    ok = RescueMatrix(static_cast<int>(runs), seed) && ok;
  }
  return ok ? 0 : 1;
}
