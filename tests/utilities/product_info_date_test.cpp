#include "utilities/product_info_date.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/profile/user_profile.h"

namespace norix::utilities {
namespace {

const std::vector<std::string> kMonths{
    "Illegal Month", "January", "February",  "March",   "April",    "May",     "June",
    "July",          "August",  "September", "October", "November", "December"};

TEST(FirmwareDateQueryTest, ByProductKindAndCommandFamily) {
  device::AdapterFeatures modem;
  EXPECT_EQ(FirmwareDateQuery(modem, true), "AT+GMR?");
  EXPECT_EQ(FirmwareDateQuery(modem, false), "AT#REV?");
  device::AdapterFeatures solano;
  solano.isdnAdapter = true;
  EXPECT_EQ(FirmwareDateQuery(solano, true), "AT?DATE");
  solano.internalModem = true;
  EXPECT_EQ(FirmwareDateQuery(solano, false), "AT?DATE");
  device::AdapterFeatures komet;
  komet.isdnAdapter = true;
  komet.komet = true;
  EXPECT_EQ(FirmwareDateQuery(komet, true), "AT+GMR?");
  EXPECT_EQ(FirmwareDateQuery(komet, false), "AT#REV?");
}

struct RevisionCase {
  std::string answer;
  bool valid;
  std::string month;
  long day;
  long year;
};

class RevisionDateTest : public ::testing::TestWithParam<RevisionCase> {};

TEST_P(RevisionDateTest, ReadsTheDateWordAfterTheLastBlank) {
  const RevisionCase& c = GetParam();
  const auto date = ParseRevisionDateAnswer(c.answer, kMonths);
  ASSERT_EQ(date.has_value(), c.valid) << c.answer;
  if (date) {
    EXPECT_EQ(date->month, c.month);
    EXPECT_EQ(date->day, c.day);
    EXPECT_EQ(date->year, c.year);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RevisionDateTest,
    ::testing::Values(RevisionCase{"V1.10 990312\r\n", true, "March", 12, 1999},
                      RevisionCase{"V2.07 001231\r\n", true, "December", 31, 2000},
                      RevisionCase{"990312", false, "", 0, 0},  // no blank before the word
                      RevisionCase{"V1.10 991312\r\n", false, "", 0, 0},  // month 13
                      RevisionCase{"V1.10 990012\r\n", false, "", 0, 0},  // month 0
                      RevisionCase{"ERROR\r\n", false, "", 0, 0}, RevisionCase{"", false, "", 0, 0},
                      RevisionCase{"V1.10 12\r\n", false, "", 0, 0},  // word too short
                      RevisionCase{"V3.00 150704\r\n", true, "July", 4, 2015}));

TEST(AdapterDateTest, ReadsMonthDayAndYearAfterTheColon) {
  const auto date = ParseAdapterDateAnswer("Firmware date: March 12 1999\r\n");
  ASSERT_TRUE(date);
  EXPECT_EQ(date->month, "Mar");
  EXPECT_EQ(date->day, 12);
  EXPECT_EQ(date->year, 1999);
  EXPECT_FALSE(ParseAdapterDateAnswer("March 12 1999\r\n"));     // no colon
  EXPECT_FALSE(ParseAdapterDateAnswer("Date:"));                 // nothing after it
  EXPECT_FALSE(ParseAdapterDateAnswer("Date: Mar x 1999\r\n"));  // day no number
  EXPECT_FALSE(ParseAdapterDateAnswer("Date: Mar 12\r\n"));      // no year
}

struct OrderCase {
  std::string order;
  std::string text;
};

class DateOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(DateOrderTest, WritesThePiecesInTheOrderWithBlanks) {
  EXPECT_EQ(FormatFirmwareDate(GetParam().order, {"March", 12, 1999}), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Orders, DateOrderTest,
                         ::testing::Values(OrderCase{"dd-MM-yy", "12  March  1999 "},
                                           OrderCase{"M/d/yy", "March  12  1999 "},
                                           OrderCase{"yyyy-MM-dd", "1999  March  12 "},
                                           OrderCase{"d. MMMM yyyy", "12  March  1999 "},
                                           OrderCase{"DD.mm.YYYY", "12  March  1999 "},
                                           OrderCase{"/d/M/y", " 12  March  1999 "},
                                           OrderCase{"", "12  March  1999 "},  // the default order
                                           OrderCase{"---", "12  March  1999 "}));

TEST(UserDateOrderTest, ShortOrderFirstThenLongOrder) {
  EXPECT_EQ(UserDateOrder(platform::profile::UserProfile({44, "M/d/yy", "MMMM d, yyyy"})),
            "M/d/yy");
  EXPECT_EQ(UserDateOrder(platform::profile::UserProfile({44, "", "d MMMM yyyy"})), "d MMMM yyyy");
  EXPECT_EQ(UserDateOrder(platform::profile::UserProfile({44, "dd/MM/yyyy--and-much-more", ""})),
            "dd/MM/yyyy--and-muc");
}

}  // namespace
}  // namespace norix::utilities
