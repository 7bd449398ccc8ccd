// Times the program's start with one simulated modem on a pty that sends at
// the line's byte rate: from opening the telephony context to the main menu
// showing the identified product, on the headless host. The reference is
// what the start-up exchanges cannot avoid: the product's bytes on the wire
// at each exchange's port speed, and the read interval that ends a read
// whose length is not known in advance.
//
// The sequence to the main menu: the open's "AT" check at 57600 bit/s, "AT"
// and "AT+GCI?" for the GCI flag, then "ATI3" at 9600 bit/s read as one
// block. The product's replies are asked again afterwards on the same pty,
// so the reference follows what the model really sends.

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/comm/serial_port.h"
#include "resources/resource_ids.h"
#include "shell/page_messages.h"
#include "support/wizard_session.h"

namespace {

using Clock = std::chrono::steady_clock;
using norix::testing::WizardSession;
namespace W = norix::platform::window;

constexpr int kRuns = 5;
constexpr std::uint32_t kOpenSpeed = 57600;
constexpr std::uint32_t kIdentifySpeed = 9600;
constexpr std::size_t kIdentifyBlock = 50;  // the first block IdentifyProduct reads

double WireMs(std::size_t bytes, std::uint32_t speed) {
  return static_cast<double>(bytes) * 10.0 * 1000.0 / speed;
}

// What the product sends for an exchange: the echo with its CR, and its
// answer: CR LF and the informational line (with its CR LF) when there is
// one, CR LF "OK" CR LF.
std::size_t AnswerBytes(const std::string& command, const std::string& informational) {
  const std::size_t ok = 6;
  return command.size() + 1 + (informational.empty() ? 0 : 2 + informational.size()) + ok;
}

struct Reference {
  double ms = 0;
  bool ok = false;
};

// Asks the product for the replies of the start-up's exchanges and adds up
// their wire time and read intervals.
Reference MeasureReference(const std::string& path) {
  Reference reference;
  auto open = norix::platform::comm::OpenSerialPort(path);
  if (!open.port) {
    std::cerr << "cannot open " << path << ": " << open.message << '\n';
    return reference;
  }
  auto* port = open.port.get();
  norix::link::ConfigurePort(port, kOpenSpeed);
  std::string gci;
  std::string ati3;
  std::string plain;
  if (norix::link::SendAtCommand(port, "AT", plain) != norix::link::AtResult::Ok ||
      norix::link::SendAtCommand(port, "AT+GCI?", gci) != norix::link::AtResult::Ok ||
      norix::link::SendAtCommand(port, "ATI3", ati3) != norix::link::AtResult::Ok) {
    std::cerr << "the product does not answer as expected\n";
    return reference;
  }
  const double interval = norix::link::kDefaultReadInterval;
  // The open's "AT" and the GCI query's "AT": final results only.
  reference.ms += 2 * WireMs(AnswerBytes("AT", ""), kOpenSpeed);
  // "AT+GCI?": its line, then the interval that ends the read of the rest.
  reference.ms += WireMs(AnswerBytes("AT+GCI?", gci), kOpenSpeed) + interval;
  // "ATI3" at 9600 bit/s into a block: ended by the interval unless the
  // block fills up.
  const std::size_t identify = AnswerBytes("ATI3", ati3);
  reference.ms += WireMs(std::min(identify, kIdentifyBlock), kIdentifySpeed);
  if (identify < kIdentifyBlock) {
    reference.ms += interval;
  }
  reference.ok = true;
  return reference;
}

}  // namespace

int main() {
  std::cout << std::fixed << std::setprecision(1);
  norix::sim::ProductOptions paced;
  paced.pace = true;
  double best = 0;
  double total = 0;
  for (int run = 0; run < kRuns; ++run) {
    WizardSession session{{"netrunner56k", "NORIX Netrunner 56000 Voice", paced}};
    const auto start = Clock::now();
    session.Start();
    const W::HWND menu = session.WaitForPage(norix::resources::kMainMenuPage);
    auto& host = session.Host();
    if (menu == W::kNullHwnd ||
        !host.WaitUntil([&] { return !host.Text(menu, norix::resources::kHeaderId).empty(); },
                        norix::testing::kPageWait)) {
      std::cerr << "run " << run << ": the main menu never showed the product\n";
      return 1;
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const std::vector<std::string> expected{"AT", "AT", "AT+GCI?", "ATI3"};
    if (session.Commands(0) != expected) {
      std::cerr << "run " << run << ": unexpected start-up exchanges\n";
      return 1;
    }
    if (!session.Quit()) {
      std::cerr << "run " << run << ": the program did not quit\n";
      return 1;
    }
    // The reference from the same model, on a pty of its own.
    if (run == 0) {
      WizardSession reference{{"netrunner56k", "NORIX Netrunner 56000 Voice", paced}};
      const Reference measured = MeasureReference(reference.PortPath(0));
      if (!measured.ok) {
        return 1;
      }
      total = measured.ms;
    }
    best = run == 0 ? ms : std::min(best, ms);
    std::cout << "run " << run << ": " << ms << " ms to the main menu\n";
  }
  std::cout << "inherent waits: " << total << " ms\n";
  std::cout << "start to main menu, best of " << kRuns << ": " << best << " ms, ratio "
            << std::setprecision(2) << best / total << " (target <= 1.5)\n";
  return 0;
}
