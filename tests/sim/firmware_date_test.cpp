// The firmware date replies of every model, read the way the product
// information page reads them: "AT+GMR?" or "AT#REV?" (a date word YYMMDD at
// the end) for modems, the KOMET II and the modem part of an adapter with an
// internal modem; "AT?DATE" (month, day and year after a colon) for the
// solano adapters.
#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "model_under_test.h"
#include "sim_test_support.h"

namespace norix::sim {
namespace {

using namespace test;

struct Date {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;
  friend bool operator==(const Date&, const Date&) = default;
};

std::ostream& operator<<(std::ostream& out, const Date& date) {
  return out << date.year << '-' << date.month << '-' << date.day;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

int Number(std::string_view digits) { return std::atoi(std::string(digits).c_str()); }

// The date word: the word after the blank before the reply's last digit, six
// digits YYMMDD of the years 1990 to 2009.
std::optional<Date> DateWord(std::string_view reply) {
  const std::size_t lastDigit = reply.find_last_of("0123456789");
  if (lastDigit == std::string_view::npos) {
    return std::nullopt;
  }
  const std::size_t blank = reply.rfind(' ', lastDigit);
  if (blank == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view word = reply.substr(blank + 1);
  if (word.size() != 6 || !AllDigits(word) || (word[0] != '9' && word[0] != '0')) {
    return std::nullopt;
  }
  const Date date{(word[0] == '9' ? 1900 : 2000) + Number(word.substr(0, 2)),
                  Number(word.substr(2, 2)), Number(word.substr(4))};
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) {
    return std::nullopt;
  }
  return date;
}

// After the first colon and the blank after it: month name, day and year,
// single blanks apart; only the month's first three letters count.
std::optional<Date> ColonDate(std::string_view reply) {
  constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::size_t colon = reply.find(':');
  if (colon == std::string_view::npos || colon + 1 >= reply.size() || reply[colon + 1] != ' ') {
    return std::nullopt;
  }
  std::vector<std::string_view> words;
  std::string_view rest = reply.substr(colon + 2);
  while (!rest.empty()) {
    const std::size_t blank = rest.find(' ');
    words.push_back(rest.substr(0, blank));
    rest = blank == std::string_view::npos ? std::string_view{} : rest.substr(blank + 1);
  }
  if (words.size() != 3 || words[0].size() < 3 || !AllDigits(words[1]) || !AllDigits(words[2]) ||
      words[2].size() != 4) {
    return std::nullopt;
  }
  Date date{Number(words[2]), 0, Number(words[1])};
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (words[0].substr(0, 3) == kMonths[i]) {
      date.month = static_cast<int>(i) + 1;
    }
  }
  if (date.month == 0 || date.day < 1 || date.day > 31) {
    return std::nullopt;
  }
  return date;
}

struct DateCase {
  std::string model;
  std::string query;  // what the page sends for the product's kind
  Date date;
};

std::ostream& operator<<(std::ostream& out, const DateCase& c) { return out << c.model; }

class FirmwareDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(FirmwareDateTest, AnswersTheQueryOfItsKindInTheFormThePageParses) {
  const DateCase& c = GetParam();
  ModelUnderTest product(c.model);
  const std::string reply = product.Text(c.query);
  const auto date = c.query == "AT?DATE" ? ColonDate(reply) : DateWord(reply);
  ASSERT_TRUE(date.has_value()) << reply;
  EXPECT_EQ(*date, c.date) << reply;
}

INSTANTIATE_TEST_SUITE_P(EveryModelThatIdentifies, FirmwareDateTest,
                         ::testing::Values(DateCase{"netrunner56k", "AT+GMR?", {1999, 3, 12}},
                                           DateCase{"netrunner56k-dkus", "AT+GMR?", {1999, 3, 12}},
                                           DateCase{"netrunner33k6", "AT#REV?", {1997, 8, 15}},
                                           DateCase{"corvid336", "AT#REV?", {1998, 4, 20}},
                                           DateCase{"corvid560", "AT+GMR?", {2000, 2, 14}},
                                           DateCase{"marlin560", "AT+GMR?", {1999, 9, 7}},
                                           DateCase{"marlin560-deep", "AT+GMR?", {1999, 9, 7}},
                                           DateCase{"int560", "AT+GMR?", {1999, 6, 15}},
                                           DateCase{"usb560", "AT+GMR?", {2000, 11, 28}},
                                           DateCase{"foreign", "AT+GMR?", {1998, 11, 23}},
                                           DateCase{"solano1280i-ab", "AT?DATE", {2000, 3, 15}},
                                           DateCase{"solano1280i", "AT?DATE", {2000, 3, 15}},
                                           DateCase{"solano1280mi", "AT?DATE", {2000, 3, 15}},
                                           // The modem column: the same port, the modem's query.
                                           DateCase{"solano1280mi", "AT#REV?", {1999, 2, 10}},
                                           DateCase{"solano1280i-old", "AT?DATE", {1998, 11, 26}},
                                           DateCase{"solano1280mi-old", "AT?DATE", {1998, 11, 26}},
                                           DateCase{"solano1280mi-old", "AT#REV?", {1999, 2, 10}},
                                           DateCase{"solano640i", "AT?DATE", {1999, 6, 7}},
                                           DateCase{"komet2", "AT#REV?", {2000, 10, 23}},
                                           DateCase{"komet2-early", "AT#REV?", {2000, 4, 10}}));

// A query of another kind's family is refused at once: no product reads
// "AT?DATE" as "?" followed by a dial, which would leave it off hook.
TEST(FirmwareDateTest, QueriesOfOtherKindsAreRefused) {
  struct Refusal {
    const char* model;
    const char* query;
  };
  for (const Refusal& r : {Refusal{"netrunner56k", "AT#REV?"}, Refusal{"netrunner56k", "AT?DATE"},
                           Refusal{"netrunner33k6", "AT+GMR?"}, Refusal{"solano1280i", "AT#REV?"},
                           Refusal{"solano1280i-ab", "AT+GMR?"}, Refusal{"solano640i", "AT#REV?"},
                           Refusal{"solano1280mi", "AT+GMR?"}, Refusal{"komet2", "AT?DATE"},
                           Refusal{"komet2", "AT+GMR?"}}) {
    ModelUnderTest product(r.model);
    EXPECT_EQ(product.Result(r.query), ResultCode::Error) << r.model << ' ' << r.query;
    EXPECT_FALSE(product.model().InDataMode()) << r.model;
  }
}

TEST(FirmwareDateTest, ParsersOfThisTestRejectMalformedReplies) {
  EXPECT_FALSE(DateWord("V1.10"));
  EXPECT_FALSE(DateWord("V1.10 991312"));
  EXPECT_FALSE(DateWord("V1.10 190312"));
  EXPECT_FALSE(DateWord("V1.10990312"));
  EXPECT_FALSE(ColonDate("Mar 15 2000"));
  EXPECT_FALSE(ColonDate("Firmware date: Mar  5 2000"));
  EXPECT_FALSE(ColonDate("Firmware date: Xyz 5 2000"));
  EXPECT_EQ(ColonDate("Date: March 5 2000"), (Date{2000, 3, 5}));
}

// The modem part answers the relayed query too, in the relay's framing.
TEST(FirmwareDateTest, RelayedRevisionQueryReachesTheModemPart) {
  auto line = StartOnMemoryLine("solano1280mi");
  SetSpeed(*line.host, 57600);
  Write(*line.host, "ATE0\r");
  ASSERT_EQ(ReadUntil(*line.host, "OK\r\n"), "ATE0\r\r\nOK\r\n");
  Write(*line.host, "AT!MAT#REV?\r");
  EXPECT_EQ(ReadUntil(*line.host, "\r\nOK\r\n\r\nOK\r\n"),
            "\r\nModem command: AT#REV?\r\n\r\nOK\r\n"
            "AT#REV?\r\r\nV1.30 990210\r\n\r\nOK\r\n");
  // Directly, without the relay, the adapter answers with the same date.
  Write(*line.host, "AT#REV?\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n"), "\r\nV1.30 990210\r\n\r\nOK\r\n");
}

}  // namespace
}  // namespace norix::sim
