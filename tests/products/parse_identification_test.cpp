#include "products/parse_identification.h"

#include <cstdint>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "label_name.h"
#include "link/modem_context.h"

namespace norix::products {
namespace {

struct ParseCase {
  std::string_view label;
  std::string text;
  std::string name;
  std::string version;
  std::uint16_t number;
};

class ParseIdentificationTest : public ::testing::TestWithParam<ParseCase> {};

// The context has no port: these texts need none.
TEST_P(ParseIdentificationTest, SplitsNameAndVersion) {
  const ParseCase& c = GetParam();
  link::ModemContext context;
  context.productName = "stale name";
  context.firmwareVersion = "9.99";
  context.firmwareVersionNumber = 999;

  ParseIdentification(c.text, context);

  EXPECT_EQ(context.productName, c.name);
  EXPECT_EQ(context.firmwareVersion, c.version);
  EXPECT_EQ(context.firmwareVersionNumber, c.number);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseIdentificationTest,
    ::testing::Values(
        ParseCase{"Netrunner", "NORIX Netrunner 56000 Voice V1.10", "NORIX Netrunner 56000 Voice ",
                  "1.10", 110},
        ParseCase{"CorvidGetsItsCapital", "NORIX corvid 560 Voice V2.07", "NORIX Corvid 560 Voice ",
                  "2.07", 207},
        ParseCase{"OnlyFirstCorvid", "corvid corvid V1.00", "Corvid corvid ", "1.00", 100},
        ParseCase{"UpperCaseCorvidStays", "NORIX CORVID 336 V1.00", "NORIX CORVID 336 ", "1.00",
                  100},
        ParseCase{"LastVDecides", "NORIX corvid 336V V1.02", "NORIX Corvid 336V ", "1.02", 102},
        ParseCase{"VInsideTheName", "NORIX 560 V Int V3.01", "NORIX 560 V Int ", "3.01", 301},
        ParseCase{"ShortVersion", "NORIX KOMET II V2", "NORIX KOMET II ", "2", 200},
        ParseCase{"OneDigitMinor", "NORIX KOMET II V7.5", "NORIX KOMET II ", "7.5", 705},
        ParseCase{"VAtTheEnd", "NORIX KOMET II V", "NORIX KOMET II ", "", 0},
        ParseCase{"HugeVersionSaturates", "NORIX KOMET II V999.99", "NORIX KOMET II ", "999.99",
                  65535},
        ParseCase{"RescueTextHasNoV", "NORIX Modem Rescue Mode", "", "", 0},
        ParseCase{"NoModem", "No Modem Detected", "", "", 0}, ParseCase{"Empty", "", "", "", 0},
        ParseCase{"VFirst", "V1.10", "", "", 0},
        ParseCase{"LongNameIsCut", std::string(60, 'N') + " V1.00", std::string(49, 'N'), "1.00",
                  100},
        // Without a port the "ATI7" question gets no answer: the name stays.
        ParseCase{"SolanoWithoutPort", "NORIX solano 1280i V1.30", "NORIX solano 1280i ", "1.30",
                  130},
        ParseCase{"LowerCaseVIsNoVersion", "NORIX modem v1.00", "", "", 0}),
    testing::LabelName());

}  // namespace
}  // namespace norix::products
