// Dialling on the analogue modems: the answers the line test reads.
#include <string>

#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace norix::sim {
namespace {

using namespace test;

MemoryProduct StartModem(bool dialTone) {
  ProductOptions options;
  options.dialTone = dialTone;
  auto line = StartOnMemoryLine("netrunner56k", options);
  Write(*line.host, "ATE0X4S6=4\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n"), "ATE0X4S6=4\r\r\nOK\r\n");
  return line;
}

TEST(DiallingTest, ByteFromTheHostEndsTheCarrierWait) {
  auto line = StartModem(true);
  Write(*line.host, "ATDT");
  Write(*line.host, "\r");
  EXPECT_EQ(ReadFor(*line.host, 150ms), "");  // waiting for a carrier, S7 = 50 s
  Write(*line.host, "\n");
  EXPECT_EQ(ReadUntil(*line.host, "CARRIER\r\n", 1s), "\r\nNO CARRIER\r\n");
  // Back in command mode; the aborting byte was used up.
  Write(*line.host, "AT\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n"), "\r\nOK\r\n");
}

TEST(DiallingTest, AbortingByteIsUsedUpAndTheRestIsACommand) {
  auto line = StartModem(true);
  Write(*line.host, "ATDT123\r");
  ASSERT_TRUE(line.product->WaitForLines(2, 1s));
  Write(*line.host, "xATI5\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n"), "\r\nNO CARRIER\r\n\r\nB5\r\n\r\nOK\r\n");
}

TEST(DiallingTest, NoCarrierAfterS7Seconds) {
  auto line = StartModem(true);
  Write(*line.host, "ATS7=1DT\r");
  std::string answer;
  const auto took = Elapsed([&] { answer = ReadUntil(*line.host, "CARRIER\r\n", 3s); });
  EXPECT_EQ(answer, "\r\nNO CARRIER\r\n");
  EXPECT_GE(took, 900ms);
}

TEST(DiallingTest, NoDialToneAfterS6Seconds) {
  auto line = StartModem(false);
  Write(*line.host, "ATS6=0DT\r");
  EXPECT_EQ(ReadUntil(*line.host, "DIALTONE\r\n", 1s), "\r\nNO DIALTONE\r\n");
  // The line test's set-up waits 4 s: nothing comes before then.
  Write(*line.host, "ATS6=4DT\r");
  EXPECT_EQ(ReadFor(*line.host, 200ms), "");
}

TEST(DiallingTest, BlindDiallingWaitsForTheCarrierWithoutDialTone) {
  auto line = StartModem(false);
  Write(*line.host, "ATX3S6=0DT\r");
  EXPECT_EQ(ReadFor(*line.host, 150ms), "");
  Write(*line.host, "\n");
  EXPECT_EQ(ReadUntil(*line.host, "CARRIER\r\n", 1s), "\r\nNO CARRIER\r\n");
}

TEST(DiallingTest, SemicolonStaysInCommandMode) {
  auto line = StartModem(true);
  Write(*line.host, "ATDT5;\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n", 1s), "\r\nOK\r\n");
  Write(*line.host, "ATI5\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n"), "\r\nB5\r\n\r\nOK\r\n");
}

}  // namespace
}  // namespace norix::sim
