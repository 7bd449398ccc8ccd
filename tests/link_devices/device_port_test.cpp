// Opening a product's port through the line service, checked with "AT",
// against scripted products on ptys. The context is opened on the test's
// thread, so the line replies arrive while OpenDevicePort waits for them.
#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "link/telephony_devices.h"
#include "platform/comm/port_trace.h"
#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "platform/telephony/line_api.h"
#include "support/scripted_product.h"
#include "support/temp_dir.h"

namespace norix::link {
namespace {

using platform::comm::CommState;
using platform::comm::CommTimeouts;
using platform::telephony::LineDirectory;
using platform::telephony::LineSources;
using std::chrono::milliseconds;
using testing::Answer;
using testing::Chunk;
using testing::Responder;

// A modem that ignores the first `silent` "AT" commands and answers OK
// after `delay`; it answers "AT+GCI?" with OK when `gci`, else ERROR.
Responder Modem(bool gci, int silent = 0, milliseconds delay = milliseconds(0)) {
  auto ats = std::make_shared<std::atomic<int>>(0);
  return [=](const std::string& line, const CommState&) -> std::vector<Chunk> {
    if (line == "AT") {
      if (++*ats <= silent) {
        return {};
      }
      return {{Answer("AT", {"OK"}), delay}};
    }
    if (line == "AT+GCI?") {
      return {{gci ? Answer(line, {"+GCI: 3D", "OK"}) : Answer(line, {"ERROR"})}};
    }
    return {{Answer(line, {"ERROR"})}};
  };
}

Responder Silent() {
  return [](const std::string&, const CommState&) { return std::vector<Chunk>{}; };
}

long long MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// One product on a pty, listed as the only line device.
class DevicePort : public ::testing::Test {
 protected:
  void Serve(const std::string& name, Responder responder,
             std::optional<std::string> driverKey = std::nullopt) {
    pty = platform::comm::OpenPtyLine();
    ASSERT_NE(pty.device, nullptr) << pty.message;
    product = std::make_unique<testing::ScriptedProduct>(*pty.device, std::move(responder));
    ASSERT_EQ(directory.AddLine({name, pty.slavePath, platform::telephony::kApiVersion13,
                                 platform::telephony::kApiVersion14, std::move(driverKey)}),
              "");
    context = OpenContext(directory);
    ASSERT_NE(context, nullptr);
    context->currentDeviceId = context->devices.at(0).lineDeviceId;
    context->selectedIndex = 0;
  }

  void TearDown() override {
    CloseContext(std::move(context));
    product.reset();
  }

  // Whether another program could take the port now.
  bool PortIsFree() const { return platform::comm::OpenSerialPort(pty.slavePath).port != nullptr; }

  // The command lines the product has received once `wait` has passed.
  std::vector<std::string> LinesAfter(milliseconds wait) const {
    std::this_thread::sleep_for(wait);
    return product->Lines();
  }

  platform::comm::PtyLine pty;
  std::unique_ptr<testing::ScriptedProduct> product;
  std::ostringstream diagnostics;
  LineDirectory directory{LineSources{}, diagnostics};
  std::unique_ptr<ModemContext> context;
};

TEST_F(DevicePort, CheckedOpenConfiguresChecksAndAsksForGci) {
  const std::string longKey(1400, 'k');  // the capabilities record must grow for it
  Serve("NORIX Corvid 560V USB", Modem(true), "System\\Modem\\" + longKey);
  platform::comm::Port* const port = OpenDevicePort(*context, 57600, false);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port, context->Port());
  EXPECT_TRUE(context->portFromTelephony);
  EXPECT_TRUE(context->gciSupport);
  EXPECT_EQ(context->driverKey, "System\\Modem\\" + longKey);
  EXPECT_NE(context->line, 0U);
  EXPECT_NE(context->call, 0U);
  EXPECT_EQ(product->Lines(), (std::vector<std::string>{"AT", "AT", "AT+GCI?"}));
  EXPECT_EQ(product->Speeds().front(), 57600U);
  CommTimeouts timeouts;
  ASSERT_TRUE(port->GetTimeouts(timeouts));
  EXPECT_EQ(timeouts, (CommTimeouts{100, 10, 2000, 1, 2000}));
  CommState state;
  ASSERT_TRUE(port->GetState(state));
  EXPECT_TRUE(state.outxCtsFlow);
  EXPECT_FALSE(PortIsFree());

  CloseDevicePort(*context);
  EXPECT_EQ(context->Port(), nullptr);
  EXPECT_EQ(context->line, 0U);
  EXPECT_EQ(context->call, 0U);
  EXPECT_FALSE(context->driverKey);
  EXPECT_FALSE(context->callParams);
  EXPECT_FALSE(context->gciSupport);
  EXPECT_FALSE(context->portFromTelephony);
  EXPECT_TRUE(PortIsFree());
}

// With a transcript asked for, the port the line service hands out writes the
// whole checked open to it; without one nothing is written (the other tests).
TEST_F(DevicePort, TheOpenedPortWritesItsTrafficToTheTranscript) {
  const norix::testing::TempDir dir;
  const auto file = dir.Path() / "trace.txt";
  std::string error;
  directory.SetPortTrace(platform::comm::PortTrace::Create(file.string(), "norix-test", error));
  ASSERT_EQ(error, "");
  Serve("NORIX Corvid 560V USB", Modem(true));
  ASSERT_NE(OpenDevicePort(*context, 57600, false), nullptr);
  CloseDevicePort(*context);

  std::ifstream in(file);
  std::stringstream read;
  read << in.rdbuf();
  const std::string text = read.str();
  for (const std::string& event : std::vector<std::string>{
           "open " + pty.slavePath, "   57600 speed", R"(   57600 send "AT\r")",
           R"(   57600 recv "OK\r\n")", R"(   57600 send "AT+GCI?\r")",
           R"(   57600 recv "+GCI: 3D\r\n")", "   57600 close"}) {
    EXPECT_NE(text.find(event), std::string::npos) << event << " in\n" << text;
  }
}

TEST_F(DevicePort, ProductWithoutGciAndASlowAnswer) {
  Serve("NORIX Netrunner 56000 Voice", Modem(false, 0, milliseconds(600)));
  ASSERT_NE(OpenDevicePort(*context, 57600, false), nullptr);
  EXPECT_FALSE(context->gciSupport);
  EXPECT_FALSE(context->driverKey);
  EXPECT_EQ(product->Lines().front(), "AT");
}

TEST_F(DevicePort, SilentProductFailsAfterTheSecondAt) {
  Serve("NORIX Netrunner 56000 Voice", Silent());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(OpenDevicePort(*context, 57600, false), nullptr);
  EXPECT_GE(MsSince(start), 2000);
  EXPECT_EQ(LinesAfter(milliseconds(300)), (std::vector<std::string>{"AT", "AT"}));
  // Nothing of the failed open is left holding the device.
  EXPECT_EQ(context->Port(), nullptr);
  EXPECT_EQ(context->line, 0U);
  EXPECT_EQ(context->call, 0U);
  EXPECT_TRUE(PortIsFree());
}

TEST_F(DevicePort, PcCardModemIsGivenFiveAttempts) {
  Serve("NORIX MARLIN 56K PC Card", Modem(false, 4));
  ASSERT_NE(OpenDevicePort(*context, 57600, false), nullptr);
  const auto lines = product->Lines();
  ASSERT_GE(lines.size(), 5U);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
            std::vector<std::string>(5, "AT"));
}

TEST_F(DevicePort, OtherModemFailsWhereAPcCardModemWouldAnswer) {
  Serve("NORIX Netrunner 56000", Modem(false, 4));
  EXPECT_EQ(OpenDevicePort(*context, 57600, false), nullptr);
  EXPECT_EQ(LinesAfter(milliseconds(300)).size(), 2U);
}

TEST_F(DevicePort, ErrorToAtFailsAtOnce) {
  Serve("NORIX Marlin", [](const std::string& line, const CommState&) {
    return std::vector<Chunk>{{Answer(line, {"ERROR"})}};
  });
  EXPECT_EQ(OpenDevicePort(*context, 57600, false), nullptr);
  EXPECT_EQ(LinesAfter(milliseconds(300)), std::vector<std::string>{"AT"});
  EXPECT_TRUE(PortIsFree());
}

TEST_F(DevicePort, QuickOpenOnlyObtainsThePort) {
  Serve("NORIX Corvid", Modem(true));
  platform::comm::Port* const port = OpenDevicePort(*context, 57600, true);
  ASSERT_NE(port, nullptr);
  EXPECT_TRUE(context->portFromTelephony);
  EXPECT_FALSE(context->gciSupport);
  EXPECT_TRUE(LinesAfter(milliseconds(200)).empty());
  CommTimeouts timeouts;
  ASSERT_TRUE(port->GetTimeouts(timeouts));
  EXPECT_EQ(timeouts, CommTimeouts{});  // as the service opened it: not configured
}

TEST_F(DevicePort, HeldPortFailsAtOnceAndSaysWhy) {
  Serve("NORIX Corvid", Modem(true));
  auto other = platform::comm::OpenSerialPort(pty.slavePath);
  ASSERT_NE(other.port, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(OpenDevicePort(*context, 57600, false), nullptr);
  EXPECT_LT(MsSince(start), 500);
  EXPECT_EQ(context->line, 0U);
  EXPECT_TRUE(product->Lines().empty());
  // The device is named in front of what the port said.
  EXPECT_EQ(context->portFailure.kind, platform::comm::OpenFailure::InUse);
  EXPECT_EQ(context->portFailure.message.rfind(
                "NORIX Corvid: cannot open " + pty.slavePath + ": Device or resource busy (", 0),
            0U)
      << context->portFailure.message;

  other.port.reset();
  ASSERT_NE(OpenDevicePort(*context, 57600, true), nullptr);
  EXPECT_EQ(context->portFailure.kind, platform::comm::OpenFailure::None);
}

TEST_F(DevicePort, OpeningAgainReleasesTheEarlierPort) {
  Serve("NORIX Corvid", Modem(true));
  ASSERT_NE(OpenDevicePort(*context, 57600, true), nullptr);
  ASSERT_NE(OpenDevicePort(*context, 57600, false), nullptr);
  EXPECT_TRUE(context->gciSupport);
}

TEST_F(DevicePort, MissingPortFailsAfterBoundedRetries) {
  ASSERT_EQ(directory.AddLine({"NORIX Gone", "/dev/norix-no-such-port",
                               platform::telephony::kApiVersion14,
                               platform::telephony::kApiVersion14, std::nullopt}),
            "");
  context = OpenContext(directory);
  ASSERT_NE(context, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(OpenDevicePort(*context, 57600, false), nullptr);
  EXPECT_LT(MsSince(start), 1500);
  EXPECT_EQ(context->line, 0U);
  EXPECT_EQ(context->portFailure.kind, platform::comm::OpenFailure::Gone);
  EXPECT_EQ(context->portFailure.message.rfind(
                "NORIX Gone: cannot open /dev/norix-no-such-port: No such file or directory (", 0),
            0U)
      << context->portFailure.message;
}

}  // namespace
}  // namespace norix::link
