#include "products/identify_product.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "device/ident_record.h"
#include "label_name.h"
#include "link/at_exchange.h"
#include "platform/comm/forwarding_port.h"
#include "product_on_line.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"

namespace norix::products::testing {
using namespace norix::device;
namespace {

const ReceivedCommand kAti3{9600, "ATI3"};
const ReceivedCommand kAtLoader{57600, "AT"};
const ReceivedCommand kAtFastLoader{115200, "AT"};

struct IdentifyCase {
  std::string_view label;
  std::vector<ScriptedAnswer> script;
  std::string expected;
  std::vector<ReceivedCommand> sent;
};

class IdentifyProductTest : public ProductOnLine,
                            public ::testing::WithParamInterface<IdentifyCase> {};

TEST_P(IdentifyProductTest, DeliversIdentificationText) {
  const IdentifyCase& c = GetParam();
  Start(c.script);

  EXPECT_EQ(IdentifyProduct(context_.Port()), c.expected);

  EXPECT_EQ(Received(), c.sent);
  const platform::comm::CommState state = HostState();
  EXPECT_TRUE(state.outxCtsFlow);  // switched off for the probe, on again afterwards
  EXPECT_EQ(state.baudRate, c.sent.back().speed);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, IdentifyProductTest,
    ::testing::Values(
        IdentifyCase{
            "EchoAndAnswerTogether",
            {{9600, "ATI3", {"ATI3\r\r\nNORIX Netrunner 56000 Voice V1.10\r\n\r\nOK\r\n"}}},
            "NORIX Netrunner 56000 Voice V1.10",
            {kAti3}},
        // Only the echo in the first block: the answer is read as a block of its own.
        IdentifyCase{"EchoThenAnswer",
                     {{9600, "ATI3", {"ATI3\r", "\r\nNORIX corvid 560 Voice V2.07\r\n\r\nOK\r\n"}}},
                     "NORIX corvid 560 Voice V2.07",
                     {kAti3}},
        IdentifyCase{"NoEcho",
                     {{9600, "ATI3", {"\r\nNORIX 560 V Int V1.05\r\n\r\nOK\r\n"}}},
                     "NORIX 560 V Int V1.05",
                     {kAti3}},
        // The name line is complete but the "OK" comes later.
        IdentifyCase{"NameLineBeforeItsOk",
                     {{9600, "ATI3", {"ATI3\r\r\nNORIX Marlin 560 Voice V1.02\r\n", "\r\nOK\r\n"}}},
                     "NORIX Marlin 560 Voice V1.02",
                     {kAti3}},
        // The name line stops before its CR: nothing usable.
        IdentifyCase{
            "NameLineCutOff",
            {{9600, "ATI3", {"ATI3\r\r\nNORIX Netrunner 56000 Voice V1.1", "0\r\n\r\nOK\r\n"}},
             {57600, "AT", {"\r\nOK\r\n"}}},
            std::string(kNoModemDetected),
            {kAti3}},
        IdentifyCase{"NameEndsAtControlOrNonAscii",
                     {{9600, "ATI3", {"ATI3\r\r\nNORIX KOMET II V1.40\xe9 build\r\n\r\nOK\r\n"}}},
                     "NORIX KOMET II V1.40",
                     {kAti3}},
        // A complete answer that names no product of ours is kept as it came.
        IdentifyCase{"ForeignShortAnswer",
                     {{9600, "ATI3", {"ATI3\r\r\n5601\r\n\r\nOK\r\n"}}},
                     "ATI3\r\r\n5601\r\n\r\nOK\r\n",
                     {kAti3}},
        // 50 bytes without "OK" and without "NORIX".
        IdentifyCase{"ForeignLongAnswer",
                     {{9600,
                       "ATI3",
                       {"ATI3\r\r\nAcme Data Systems SuperModem 2000 Professional Edition\r\n\r\n"
                        "OK\r\n"}}},
                     std::string(kUnknownModem),
                     {kAti3}},
        // Eight bytes end the attempts; too few for a foreign modem, so the
        // flash loader is asked, which is silent.
        IdentifyCase{"ShortNoiseThenSilence",
                     {{9600, "ATI3", {"\r\nRING\r\n"}}},
                     std::string(kNoModemDetected),
                     {kAti3, kAtLoader}},
        IdentifyCase{"Silent", {}, std::string(kNoModemDetected), {kAti3, kAti3, kAtLoader}},
        IdentifyCase{"ModemLoader",
                     {{57600, "AT", {"\r\nOK\r\n"}}},
                     std::string(kModemRescueMode),
                     {kAti3, kAti3, kAtLoader}},
        IdentifyCase{"SolanoLoader",
                     {{57600, "AT", {"\r\nFlash is empty. Are You sure (y/n)? "}}},
                     std::string(kSolanoRescueMode),
                     {kAti3, kAti3, kAtLoader}},
        IdentifyCase{"KometLoader",
                     {{57600, "AT", {"\r\nDo You really want to load (y/n)? "}}},
                     std::string(kKometRescueMode),
                     {kAti3, kAti3, kAtLoader}},
        // Garbled at 57600 bit/s: the loader talks at 115200.
        IdentifyCase{"FastModemLoader",
                     {{57600, "AT", {"\xf8\x80~"}}, {115200, "AT", {"AT\r\r\nOK\r\n"}}},
                     std::string(kModemRescueMode),
                     {kAti3, kAti3, kAtLoader, kAtFastLoader}},
        // No loader at either speed: what came is no identification.
        IdentifyCase{"GarbledAtBothLoaderSpeeds",
                     {{57600, "AT", {"\xf8\x80~"}}, {115200, "AT", {"\xfe\xfe"}}},
                     std::string(kNoModemDetected),
                     {kAti3, kAti3, kAtLoader, kAtFastLoader}},
        IdentifyCase{"ErrorToEverything",
                     {{0, "ATI3", {"\r\nERROR\r\n"}}, {0, "AT", {"\r\nERROR\r\n"}}},
                     std::string(kNoModemDetected),
                     {kAti3, kAtLoader, kAtFastLoader}},
        IdentifyCase{"GarbledThenSilentAtFastSpeed",
                     {{57600, "AT", {"\xf8\x80~"}}},
                     std::string(kNoModemDetected),
                     {kAti3, kAti3, kAtLoader, kAtFastLoader}}),
    LabelName());

// The product's port, whose reads fail while the host talks at one speed (a
// USB serial adapter that hangs up on a speed change, a framing fault).
class FailsAtSpeed final : public platform::comm::ForwardingPort {
 public:
  FailsAtSpeed(platform::comm::Port& port, std::uint32_t speed)
      : ForwardingPort(port), speed_(speed) {}
  [[nodiscard]] platform::comm::IoResult Read(std::span<std::uint8_t> buffer,
                                              std::chrono::milliseconds waitLimit) override {
    // The read waits as any read, then fails.
    const platform::comm::IoResult result = Inner().Read(buffer, waitLimit);
    platform::comm::CommState state;
    if (GetState(state) && state.baudRate == speed_) {
      return {platform::comm::IoStatus::Failed, 0};
    }
    return result;
  }

 private:
  std::uint32_t speed_;
};

// A failed read at one loader speed is no answer at that speed: the other
// speed is still asked.
TEST_F(ProductOnLine, PortFailureAtTheFirstLoaderSpeedStillAsksTheSecond) {
  Start({{115200, "AT", {"AT\r\r\nOK\r\n"}}});
  FailsAtSpeed port(*context_.port, 57600);
  EXPECT_EQ(IdentifyProduct(&port), kModemRescueMode);
  EXPECT_EQ(Received(), (std::vector<ReceivedCommand>{kAti3, kAti3, kAtLoader, kAtFastLoader}));
}

// The name line came before its "OK": the rest of the answer is taken off
// the line, so that the next exchange reads its own answer.
TEST_F(ProductOnLine, NameLineBeforeItsOkLeavesTheNextExchangeItsOwnAnswer) {
  Start({{9600, "ATI3", {"ATI3\r\r\nNORIX solano 1280i V1.42\r\n", "\r\nOK\r\n"}},
         {9600, "ATI7", {"ATI7\r\r\nAdded Internal Analog Interface\r\n\r\nOK\r\n"}}});
  EXPECT_EQ(IdentifyProduct(context_.Port()), "NORIX solano 1280i V1.42");
  std::string reply;
  EXPECT_EQ(link::SendAtCommand(context_.Port(), "ATI7", reply), link::AtResult::Ok);
  EXPECT_EQ(reply, "Added Internal Analog Interface\r\n");
}

TEST(IdentifyProductWithoutPort, GivesNoModemDetected) {
  EXPECT_EQ(IdentifyProduct(nullptr), kNoModemDetected);
}

// The whole road of a modem: identification text, name and version, catalogue.
TEST_F(ProductOnLine, NetrunnerIsIdentifiedParsedAndLookedUp) {
  Start({{9600, "ATI3", {"ATI3\r\r\nNORIX Netrunner 56000 Voice V1.10\r\n\r\nOK\r\n"}}});
  IdentRecord record;
  record.SetText(IdentifyProduct(context_.Port()));
  ParseIdentification(record.text, context_);
  record.upgradeKind = LookupUpgradeKind(context_.productName);

  EXPECT_EQ(context_.productName, "NORIX Netrunner 56000 Voice ");
  EXPECT_EQ(context_.firmwareVersion, "1.10");
  EXPECT_EQ(context_.firmwareVersionNumber, 110);
  EXPECT_EQ(record.upgradeKind, kUpgradeAnalogueModem);
  EXPECT_EQ(FindCatalogueRow(context_.productName, BuiltInCatalogue()), 9U);
  // Only a solano name makes the parser ask "ATI7".
  EXPECT_EQ(Received(), std::vector<ReceivedCommand>{kAti3});
}

TEST_F(ProductOnLine, RescueModemGetsRescueUpgradeKind) {
  Start({{57600, "AT", {"\r\nOK\r\n"}}});
  EXPECT_EQ(LookupUpgradeKind(IdentifyProduct(context_.Port())),
            kUpgradeAnalogueModem | kUpgradeRescueMode);
}

}  // namespace
}  // namespace norix::products::testing
