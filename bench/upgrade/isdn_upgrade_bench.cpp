// The ISDN adapter upgrade against the simulated adapters, two ways:
//
// transfer: a solano 1280i a/b takes a 450000-byte firmware through the line
// emulator at 115200 bit/s (the program on a pty), the adapter taking its
// own times to start its boot program, erase and restart. The floor is
// every byte that crossed the line, both ways one after the other (X-modem
// waits for each acknowledgement), at 10 bits per byte, plus those times of
// the adapter and the waits the dialogue prescribes. Prints the time against
// its floor and the CPU time of the transfer's thread against the wall time.
//
// rescue: for a solano 1280i a/b and a KOMET II, each with a country other
// than its factory's (and on the solano subscriber numbers and its add-on),
// the power goes off at a seeded random byte of the firmware transfer of a
// small image on an unpaced in-memory line; the ISDN worker runs as the
// progress page runs it and every question is answered as a user who wants
// the adapter back would. Prints how many ended with the new firmware
// verified and the settings restored, and how many needed more than one
// rescue transfer.
//
//   isdn_upgrade_bench [transfer|rescue|all] [--runs N] [--seed S]
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "line_bench.h"
#include "link/at_exchange.h"
#include "link/modem_context.h"
#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "sim/line/line_emulator.h"
#include "sim/model_registry.h"
#include "sim/simulated_product.h"
#include "upgrade/file_layout.h"
#include "upgrade/image_checksum.h"
#include "upgrade/isdn_transfer.h"
#include "upgrade/isdn_worker.h"
#include "upgrade/modem_transfer.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_file_builder.h"
#include "upgrade/upgrade_state.h"

namespace {

namespace comm = norix::platform::comm;
namespace link = norix::link;
namespace sim = norix::sim;
namespace upgrade = norix::upgrade;
namespace W = norix::platform::window;
using norix::bench::HostPortEnd;
using norix::bench::ThreadCpuSeconds;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::uint32_t kBitRate = 115200;
constexpr std::size_t kTimedFirmwareBytes = 450000;
constexpr std::size_t kRescueFirmwareBytes = 16384;
constexpr std::size_t kXmodemFrameBytes = 1024 + 5;  // STX, numbers, data, CRC

// The adapter's own times at full scale (sim/adapter_boot_program.cpp and
// the solano model): its boot program starting, the erase, the restart.
constexpr double kBootStartSeconds = 1.5;
constexpr double kEraseSeconds = 7.0;
constexpr double kSolanoRestartSeconds = 3.0;
// The dialogue's own waits: the prompt read "as it comes" ends 1 s after its
// last byte, and X-modem pauses 300 ms after the start byte. (The check of
// the new firmware reads each answer up to its final result code, with no
// silence behind it.)
constexpr double kDialogueWaitSeconds = 1.0 + 0.3;

struct Family {
  const char* label;
  const char* model;
  bool komet;
  upgrade::UpgradeFamily file;
  upgrade::FirmwareTarget target;
  upgrade::FileLayout layout;
  std::string_view ident;       // the new firmware's
  std::uint16_t versionBefore;  // the running firmware's, as identification found it
  int pickerLine;               // the ISDN model picker's line for it
};

constexpr Family kSolano{"solano 1280i a/b",
                         "solano1280i-ab",
                         false,
                         upgrade::UpgradeFamily::Solano,
                         upgrade::FirmwareTarget::Solano,
                         upgrade::FileLayout::Solano,
                         "NORIX solano 1280i V1.50",
                         142,
                         0};
constexpr Family kKomet{"KOMET II",
                        "komet2",
                        true,
                        upgrade::UpgradeFamily::KometII,
                        upgrade::FirmwareTarget::KometII,
                        upgrade::FileLayout::KometII,
                        "NORIX KOMET II V2.10",
                        205,
                        -1};

// Answers as a user who wants the adapter back: OK to a rescue transfer,
// Yes twice to trying again, the adapter's own model in the picker. Counts
// the rescue offers and keeps the texts shown.
class AnsweringView final : public upgrade::UpgradeView {
 public:
  explicit AnsweringView(int pickerLine) : pickerLine_(pickerLine) {}
  void SetRange(int /*blocks*/) override {}
  void SetItemText(int /*control*/, int /*textId*/) override {}
  void SetText(int /*control*/, std::string_view /*text*/) override {}
  void Step() override {}
  int Message(int textId, W::UINT /*style*/) override {
    messages.push_back(textId);
    if (textId == upgrade::kMsgFailedTryAgain) {
      ++rescues;
      return W::IDOK;
    }
    if (textId == upgrade::kMsgInvalidResponse) {
      return ++retries <= 2 ? W::IDYES : W::IDNO;
    }
    return W::IDOK;
  }
  int MessageText(std::string_view text, W::UINT /*style*/) override {
    texts.emplace_back(text);
    return W::IDOK;
  }
  [[nodiscard]] std::string Text(int textId) const override {
    return std::to_string(textId) + " %s";
  }
  [[nodiscard]] int PickIsdnModel() override { return pickerLine_; }

  std::vector<int> messages;
  std::vector<std::string> texts;
  int rescues = 0;
  int retries = 0;

 private:
  int pickerLine_;
};

// Pauses take no time but count as passed; an answer is waited for at most
// 1 s (the simulated adapter answers at once), a wait that runs out counting
// as the whole wait: the dialogue decides as it would in real time.
class QuickClock final : public upgrade::TransferClock {
 public:
  bool Pause(std::chrono::milliseconds duration) override {
    passedMs_ += duration.count();
    return true;
  }
  std::int64_t NowSeconds() override { return NowMilliseconds() / 1000; }
  std::int64_t NowMilliseconds() override {
    return passedMs_ +
           std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
               .count();
  }
  [[nodiscard]] bool StopRequested() const override { return false; }
  [[nodiscard]] std::chrono::milliseconds AnswerWait(
      std::chrono::milliseconds wait) const override {
    return std::min(wait, std::chrono::milliseconds(1000));
  }
  void AnswerWaitRanOut(std::chrono::milliseconds wait) override {
    passedMs_ += (wait - AnswerWait(wait)).count();
  }

 private:
  std::int64_t passedMs_ = 0;
};

struct Image {
  upgrade::UpgradeImage image;
  std::vector<std::uint8_t> firmware;
};

std::optional<Image> MakeImage(const Family& family, std::size_t firmwareBytes) {
  upgrade::UpgradeFileRecipe recipe;
  recipe.family = family.file;
  recipe.version = std::string(family.ident.substr(family.ident.rfind('V') + 1));
  Image made;
  made.firmware = upgrade::MakeFirmware(family.target, family.ident, firmwareBytes, 31);
  recipe.firmware = made.firmware;
  const auto file = upgrade::BuildUpgradeFile(recipe);
  if (!file.ok()) {
    (void)std::fprintf(stderr, "upgrade file: %s\n", file.error.c_str());
    return std::nullopt;
  }
  made.image = upgrade::MakeUpgradeImage(file.bytes);
  if (!upgrade::CutImage(made.image, family.layout).ok()) {
    (void)std::fprintf(stderr, "the upgrade file does not cut\n");
    return std::nullopt;
  }
  made.image.modemChecksum = upgrade::ChecksumText(made.firmware);
  return made;
}

std::unique_ptr<sim::SimulatedProduct> MakeProduct(const Family& family,
                                                   std::unique_ptr<comm::DeviceEnd> line,
                                                   sim::UpgradeOptions upgradeOptions) {
  sim::ProductOptions options;
  options.upgrade = upgradeOptions;
  const auto* model = sim::FindModel(family.model);
  auto product = std::make_unique<sim::SimulatedProduct>(family.model, model->make(),
                                                         std::move(line), options);
  product->Start();
  return product;
}

std::string Ask(comm::Port* port, const std::string& command) {
  link::DiscardInput(port, comm::kPurgeRxClear);
  std::string reply;
  if (link::SendAtCommand(port, command, reply) != link::AtResult::Ok) {
    return "(no answer)";
  }
  return reply.substr(0, reply.find('\r'));
}

// The adapter as the program found it: identified, its kind known, the port
// its context's.
struct Adapter {
  link::ModemContext context;
  norix::device::SelectedProduct product;
  upgrade::UpgradeState state;
};

void Identify(Adapter& adapter, const Family& family, std::unique_ptr<comm::Port> port) {
  adapter.context.port = std::move(port);
  adapter.context.devices.push_back({});
  adapter.context.devices.back().name = family.label;
  adapter.context.selectedIndex = 0;
  adapter.context.firmwareVersionNumber = family.versionBefore;
  adapter.product.features.isdnAdapter = true;
  adapter.product.features.komet = family.komet;
  adapter.product.rescue.isdnTarget = true;
}

bool TimeTransfer() {
  const Family& family = kSolano;
  const std::optional<Image> made = MakeImage(family, kTimedFirmwareBytes);
  if (!made) {
    return false;
  }
  auto pty = comm::OpenPtyLine();
  if (!pty.device) {
    (void)std::fprintf(stderr, "no pty: %s\n", pty.message.c_str());
    return false;
  }
  comm::MemoryLine memory = comm::MakeMemoryLine(family.model);
  const comm::DeviceEnd* programEnd = pty.device.get();
  auto productEnd = std::make_unique<HostPortEnd>(std::move(memory.host), programEnd);
  sim::line::LineEmulator line(std::move(pty.device), std::move(productEnd), {kBitRate, 4096});
  line.Start();
  const auto product = MakeProduct(family, std::move(memory.device), {});
  auto opened = comm::OpenSerialPort(pty.slavePath);
  if (!opened.port) {
    (void)std::fprintf(stderr, "%s\n", opened.message.c_str());
    return false;
  }
  Adapter adapter;
  Identify(adapter, family, std::move(opened.port));
  comm::Port* port = adapter.context.Port();
  link::ConfigurePort(port, kBitRate);

  AnsweringView view(family.pickerLine);
  upgrade::SleepingClock clock;
  upgrade::IsdnTransfer transfer(adapter.context, adapter.product, made->image, view, clock,
                                 {family.komet, false});
  const std::uint64_t sentBefore = line.RelayedAToB();
  const std::uint64_t heardBefore = line.RelayedBToA();
  const double cpuStart = ThreadCpuSeconds();
  const auto start = Clock::now();
  const int result = transfer.Run(kBitRate, false);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = ThreadCpuSeconds() - cpuStart;
  const auto bytes = static_cast<double>(line.RelayedAToB() - sentBefore) +
                     static_cast<double>(line.RelayedBToA() - heardBefore);
  const double adapterSeconds = kBootStartSeconds + kEraseSeconds + kSolanoRestartSeconds;
  const double floor = bytes * 10.0 / kBitRate + adapterSeconds + kDialogueWaitSeconds;
  const bool ok = result == upgrade::kUpgradeSucceeded && Ask(port, "ATI3") == family.ident &&
                  Ask(port, "ATI1").starts_with(made->image.modemChecksum);
  (void)std::printf(
      "%s %s  %9.0f bytes on the line  time %6.2f s  floor %6.2f s (%.1f s of them the "
      "adapter's own)  ratio %.3f  CPU %.3f s = %.2f%% of the wall time\n",
      family.label, ok ? "verified" : "FAILED  ", bytes, wall, floor, adapterSeconds, wall / floor,
      cpu, 100.0 * cpu / wall);
  line.Stop();
  return ok;
}

// The settings the run must leave as they were.
struct Settings {
  std::string country;
  std::vector<std::string> numbers;
  std::string addOn;
  bool operator==(const Settings&) const = default;
};

constexpr std::array<int, 3> kNumberSlots{0, 3, 5};

Settings ReadSettings(comm::Port* port, const Family& family) {
  Settings settings;
  settings.country = Ask(port, "ATI5");
  if (!family.komet) {
    for (const int slot : kNumberSlots) {
      settings.numbers.push_back(Ask(port, "AT&Z*" + std::to_string(slot) + "?"));
    }
    settings.addOn = Ask(port, "ATI7");
  }
  return settings;
}

struct MatrixCounts {
  int verified = 0;
  int restored = 0;
  int moreThanOne = 0;
};

MatrixCounts RescueMatrix(const Family& family, int runs, std::uint32_t seed) {
  MatrixCounts counts;
  const std::optional<Image> made = MakeImage(family, kRescueFirmwareBytes);
  if (!made) {
    return counts;
  }
  const std::size_t blocks = (upgrade::AdapterFirmware(made->image).size() + 1023) / 1024;
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::size_t> point(1, blocks * kXmodemFrameBytes - 1);
  const auto start = Clock::now();
  for (int run = 0; run < runs; ++run) {
    const std::size_t at = point(random);
    sim::UpgradeOptions faults;
    faults.timePercent = 0;
    faults.powerOffTime = 0ms;
    faults.powerCutFirmware = at;
    comm::MemoryLine memory = comm::MakeMemoryLine(family.model);
    const auto product = MakeProduct(family, std::move(memory.device), faults);
    Adapter adapter;
    Identify(adapter, family, std::move(memory.host));
    comm::Port* port = adapter.context.Port();
    link::ConfigurePort(port, kBitRate);
    // Settings of the user's, not the factory's.
    Ask(port, "AT*NC003");
    if (!family.komet) {
      for (const int slot : kNumberSlots) {
        Ask(port, "AT&Z*" + std::to_string(slot) + "=3010" + std::to_string(slot));
      }
    }
    const Settings before = ReadSettings(port, family);
    if (run == 0) {
      std::string numbers;
      for (const std::string& number : before.numbers) {
        numbers += " " + number;
      }
      (void)std::printf("  %s keeps: country %s, numbers%s, add-on \"%s\"\n", family.label,
                        before.country.c_str(), numbers.empty() ? " none" : numbers.c_str(),
                        before.addOn.c_str());
    }
    adapter.state.image = made->image;

    AnsweringView view(family.pickerLine);
    QuickClock clock;
    upgrade::IsdnWorkerJob job;
    job.port = port;
    job.product = &adapter.product;
    job.context = &adapter.context;
    job.state = &adapter.state;
    job.speed = kBitRate;
    static_cast<void>(upgrade::RunIsdnWorker(job, view, clock));
    const bool verified = Ask(port, "ATI3") == family.ident &&
                          Ask(port, "ATI1").starts_with(made->image.modemChecksum);
    const Settings after = ReadSettings(port, family);
    const bool restored = verified && after == before && view.texts.empty();
    counts.verified += verified ? 1 : 0;
    counts.restored += restored ? 1 : 0;
    counts.moreThanOne += view.rescues > 1 ? 1 : 0;
    if (!restored) {
      std::string shown;
      for (const int id : view.messages) {
        shown += " " + std::to_string(id);
      }
      for (const std::string& text : view.texts) {
        shown += " \"" + text + "\"";
      }
      std::string numbers;
      for (const std::string& number : after.numbers) {
        numbers += " " + number;
      }
      (void)std::printf(
          "  run %d: cut after byte %zu: %s, messages%s; country %s (was %s), add-on \"%s\", "
          "numbers%s\n",
          run, at, verified ? "verified" : "not verified", shown.c_str(), after.country.c_str(),
          before.country.c_str(), after.addOn.c_str(), numbers.c_str());
    }
    product->Stop();
  }
  (void)std::printf(
      "rescue matrix, %s (seed %u): %d of %d verified, %d with their settings restored, %d "
      "needed more than one rescue (%.0f s)\n",
      family.label, seed, counts.verified, runs, counts.restored, counts.moreThanOne,
      std::chrono::duration<double>(Clock::now() - start).count());
  return counts;
}

}  // namespace

int main(int argc, char** argv) {
  const auto args = norix::bench::ParseBenchArgs(argc, argv, "isdn_upgrade_bench");
  if (!args) {
    return 2;
  }
  const std::string_view what = args->what;
  const std::uint32_t runs = args->runs;
  const std::uint32_t seed = args->seed;
  bool ok = true;
  if (what != "rescue") {
    (void)std::printf(
        "ISDN adapter upgrade, %zu-byte firmware, %u bit/s through the line emulator\n",
        kTimedFirmwareBytes, kBitRate);
    ok = TimeTransfer() && ok;
  }
  if (what != "transfer") {
    for (const Family* family : {&kSolano, &kKomet}) {
      const MatrixCounts counts = RescueMatrix(*family, static_cast<int>(runs), seed);
      ok = counts.restored == static_cast<int>(runs) && ok;
    }
  }
  return ok ? 0 : 1;
}
