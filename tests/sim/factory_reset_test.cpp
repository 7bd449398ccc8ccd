// "AT&F", "AT&F&W" and "ATZ" per product kind, the store that fails at
// first, and the transcript through which tests follow what a product was
// sent, on an in-memory line and on a pty.
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "model_under_test.h"
#include "platform/comm/serial_port.h"
#include "sim/pty_product.h"
#include "sim_test_support.h"

namespace norix::sim {
namespace {

using namespace test;
using Texts = std::vector<std::string>;

class FactoryResetTest : public ::testing::TestWithParam<const char*> {};

// The console's "Default Setting" restores the factory settings and stores
// them; "ATZ" then brings back the stored ones.
TEST_P(FactoryResetTest, FactorySettingsAreRestoredAndStored) {
  ModelUnderTest product(GetParam());
  ASSERT_EQ(product.Result("ATS7=9&W"), ResultCode::Ok);
  ASSERT_EQ(product.Result("ATS7=20"), ResultCode::Ok);
  ASSERT_EQ(product.Result("ATZ"), ResultCode::Ok);
  EXPECT_EQ(product.Text("ATS7?"), "009");
  ASSERT_EQ(product.Result("AT&F"), ResultCode::Ok);
  EXPECT_EQ(product.Text("ATS7?"), "050");
  ASSERT_EQ(product.Result("ATS7=33E0"), ResultCode::Ok);
  ASSERT_EQ(product.Result("AT&F&W"), ResultCode::Ok);
  ASSERT_EQ(product.Result("ATS7=20"), ResultCode::Ok);
  ASSERT_EQ(product.Result("ATZ"), ResultCode::Ok);
  EXPECT_EQ(product.Text("ATS7?"), "050");
}

INSTANTIATE_TEST_SUITE_P(EveryKind, FactoryResetTest,
                         ::testing::Values("netrunner56k", "netrunner33k6", "marlin560", "usb560",
                                           "solano1280i", "solano1280mi", "solano640i", "komet2"));

TEST(StoreFailuresTest, FirstStoreFailsThenItWorks) {
  ProductOptions options;
  options.storeFailures = 1;
  ModelUnderTest product("netrunner56k", options);
  ASSERT_EQ(product.Result("ATS7=9"), ResultCode::Ok);
  EXPECT_EQ(product.Result("AT&F&W"), ResultCode::Error);
  // The factory settings were restored all the same; only the store failed.
  EXPECT_EQ(product.Text("ATS7?"), "050");
  ASSERT_EQ(product.Result("ATS7=9"), ResultCode::Ok);
  ASSERT_EQ(product.Result("ATZ"), ResultCode::Ok);
  EXPECT_EQ(product.Text("ATS7?"), "050");  // the stored profile is untouched
  ASSERT_EQ(product.Result("ATS7=9"), ResultCode::Ok);
  EXPECT_EQ(product.Result("AT&F&W"), ResultCode::Ok);
  EXPECT_EQ(product.Result("AT&F&W"), ResultCode::Ok);
}

TEST(StoreFailuresTest, CountsEveryStoreAndAppliesToAdaptersToo) {
  ProductOptions options;
  options.storeFailures = 2;
  auto line = StartOnMemoryLine("komet2", options);
  SetSpeed(*line.host, 57600);
  for (const char* expected : {"ERROR", "ERROR", "OK", "OK"}) {
    Write(*line.host, "AT&F&W\r");
    const std::string answer = "AT&F&W\r\r\n" + std::string(expected) + "\r\n";
    EXPECT_EQ(ReadUntil(*line.host, answer), answer);
  }
}

TEST(TranscriptTest, TestsCanWaitForACommandAndReadAllInOrder) {
  auto line = StartOnMemoryLine("netrunner56k");
  SetSpeed(*line.host, 9600);
  std::thread host([&] {
    for (const char* command : {"AT*K0\r", "ATE0X4S6=4\r", "junk\r", "AT+VOL?\r", "AT&F\r"}) {
      Write(*line.host, command);
      std::this_thread::sleep_for(5ms);
    }
  });
  EXPECT_TRUE(line.product->WaitForCommand("AT&F", 3s));
  host.join();
  // A line that is no command is heard all the same: the page under test sent it.
  EXPECT_EQ(line.product->Commands(), (Texts{"AT*K0", "ATE0X4S6=4", "junk", "AT+VOL?", "AT&F"}));
  EXPECT_TRUE(line.product->WaitForCommands(5, 10ms));
  EXPECT_FALSE(line.product->WaitForCommands(6, 50ms));
  EXPECT_FALSE(line.product->WaitForCommand("AT+VOL", 50ms));  // whole lines only
  EXPECT_FALSE(line.product->WaitForCommand("ATH", 50ms));
}

TEST(TranscriptTest, ProductOnAPtyIsFollowedInProcess) {
  ProductOptions options;
  options.storeFailures = 1;
  PtyProduct served = StartOnPty("solano1280i", options);
  ASSERT_NE(served.product, nullptr) << served.error;
  auto opened = platform::comm::OpenSerialPort(served.path);
  ASSERT_NE(opened.port, nullptr) << opened.message;
  Port& host = *opened.port;
  SetSpeed(host, 57600);
  Write(host, "AT&F&W\r");
  EXPECT_EQ(ReadUntil(host, "ERROR\r\n"), "AT&F&W\r\r\nERROR\r\n");
  Write(host, "AT&F&W\r");
  EXPECT_EQ(ReadUntil(host, "OK\r\n"), "AT&F&W\r\r\nOK\r\n");
  ASSERT_TRUE(served.product->WaitForCommands(2, 1s));
  const auto transcript = served.product->Transcript();
  ASSERT_EQ(transcript.size(), 2U);
  EXPECT_EQ(transcript[1].line, "AT&F&W");
  EXPECT_EQ(transcript[1].baudRate, 57600U);
  EXPECT_TRUE(transcript[1].heard);
}

TEST(TranscriptTest, PtyProductNamesWhatWentWrong) {
  const PtyProduct served = StartOnPty("nosuchmodel");
  EXPECT_EQ(served.product, nullptr);
  EXPECT_EQ(served.error, "unknown model \"nosuchmodel\"");
}

}  // namespace
}  // namespace norix::sim
