// Decoding stored init strings into the protocol settings and encoding the
// settings in the adapter's dialect.
#include "isdn/init_string.h"

#include <gtest/gtest.h>

namespace norix::isdn {
namespace {

struct DecodeCase {
  const char* text;
  ProtocolFlags flags;
  BodParams bod;
};

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, GivesTheProtocolAndBodNumbers) {
  const DecodedInitString decoded = DecodeInitString(GetParam().text);
  EXPECT_EQ(decoded.flags, GetParam().flags) << GetParam().text;
  EXPECT_EQ(decoded.bod, GetParam().bod) << GetParam().text;
}

constexpr BodParams kDefaults{};

INSTANTIATE_TEST_SUITE_P(
    InitString, DecodeTest,
    ::testing::Values(DecodeCase{"AT&B2%B7S161=5S162=30S163=48S164=30*CB1\\P1<cr>",
                                 kPpp | kTwoChannels | kBandwidthOnDemand | kCallBumping,
                                 {5, 30, 48, 30}},
                      DecodeCase{"AT&B0%B2\\P3<cr>", kX75Multilink, kDefaults},
                      DecodeCase{"at&b0%b0\\p3<cr>", kX75, kDefaults},
                      DecodeCase{"AT&B0%B0\\P15<cr>", kAutoModeAlways, kDefaults},
                      DecodeCase{"AT&B0%B7\\P2<cr>", kX25,
                                 kDefaults},  // only "%B2" bundles the protocol
                      DecodeCase{"AT&B0%B2\\P9<cr>", kTwoChannels, kDefaults},  // no such protocol
                      DecodeCase{"", 0, kDefaults},
                      DecodeCase{"AT&B2%B2*CB0\\P1<cr>", kPpp | kTwoChannels, kDefaults},
                      DecodeCase{"AT&B 2%B -7S161=+7S162= 9\\P1", kPpp, {7, 9, 48, 30}},
                      // A key without a number is missing, not 0: "&B" says nothing, and
                      // the delay keeps its default.
                      DecodeCase{"AT&B%B2S161=\\P3<cr>", kTwoChannels, kDefaults},
                      // Numbers the fields cannot take are bounded to their ranges rather
                      // than cut to their low 8 bits (300 would be 44).
                      DecodeCase{"AT&B2%B7S161=300S162=-4S163=10S164=99999999999999999999\\P1<cr>",
                                 kPpp | kTwoChannels | kBandwidthOnDemand,
                                 {255, 0, 32, 31}}));

struct EncodeCase {
  ProtocolFlags flags;
  BodParams bod;
  std::uint32_t featureWord;
  const char* text;
};

class EncodeTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, WritesTheAdaptersDialect) {
  EXPECT_EQ(EncodeInitString(GetParam().flags, GetParam().bod, GetParam().featureWord),
            GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    InitString, EncodeTest,
    ::testing::Values(EncodeCase{kPpp | kTwoChannels | kBandwidthOnDemand | kCallBumping,
                                 {5, 30, 48, 30},
                                 0x1FBC,
                                 "AT&B2%B7S161=5S162=30S163=48S164=30*CB1\\P1<cr>"},
                      EncodeCase{0, kDefaults, 0x1FBC, "AT&B2%B0\\P1<cr>"},
                      EncodeCase{kPpp | kTwoChannels, kDefaults, 0x380, "AT&B2%B2\\P1<cr>"},
                      EncodeCase{kPpp | kTwoChannels, kDefaults, 0x1FBC, "AT&B2%B2*CB0\\P1<cr>"},
                      // One channel: BOD and call bumping have no key.
                      EncodeCase{kPpp | kBandwidthOnDemand | kCallBumping, kDefaults, 0x1FBC,
                                 "AT&B2%B0\\P1<cr>"},
                      EncodeCase{kX25Multilink, kDefaults, 0x7FFF, "AT&B0%B2\\P2<cr>"},
                      EncodeCase{kAutoModeOutgoing, kDefaults, 0x7FFF, "AT&B0%B0\\P14<cr>"},
                      // The first protocol in the encoder's order wins.
                      EncodeCase{kV120Multilink | kHdlc, kDefaults, 0x7FFF, "AT&B0%B0\\P1<cr>"}));

TEST(InitStringTest, EveryChoiceOfThePagesReadsBackAsWritten) {
  const BodParams bod{0, 255, 64, 0};
  for (const ProtocolFlags flags :
       {kPpp, kPpp | kTwoChannels, kPpp | kTwoChannels | kCallBumping,
        kPpp | kTwoChannels | kBandwidthOnDemand, kX25, kX25Multilink, kV110, kX75, kX75Multilink,
        kV120, kV120Multilink, kHdlc, kAutoModeIncoming, kAutoModeOutgoing, kAutoModeAlways}) {
    const std::string text = EncodeInitString(flags, bod, 0x7FFF);
    EXPECT_LE(text.size(), kInitStringLimit);
    const DecodedInitString decoded = DecodeInitString(text);
    EXPECT_EQ(decoded.flags, flags) << text;
    if ((flags & kBandwidthOnDemand) != 0) {
      EXPECT_EQ(decoded.bod, bod) << text;
    }
  }
}

}  // namespace
}  // namespace norix::isdn
