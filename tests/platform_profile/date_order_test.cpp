// Locale date formats turned into the date orders the program reads.

#include "platform/profile/date_order.h"

#include <ostream>
#include <string_view>

#include <gtest/gtest.h>

namespace norix::platform::profile {
namespace {

struct DateCase {
  std::string_view d_fmt;
  std::string_view short_order;
  std::string_view long_order;
};

void PrintTo(const DateCase& c, std::ostream* out) {
  for (const char ch : c.d_fmt) *out << (static_cast<unsigned char>(ch) < 0x80 ? ch : '?');
}

class DateOrderOf : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateOrderOf, LocaleDateFormat) {
  const std::string short_order = DateOrderFromStrftime(GetParam().d_fmt);
  EXPECT_EQ(short_order, GetParam().short_order) << GetParam().d_fmt;
  EXPECT_EQ(LongDateOrderFor(short_order), GetParam().long_order) << GetParam().d_fmt;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DateOrderOf,
    ::testing::Values(
        DateCase{"%d/%m/%Y", "dd/MM/yyyy", "d MMMM yyyy"},   // en_GB
        DateCase{"%m/%d/%y", "MM/dd/yy", "MMMM d, yyyy"},    // C, en_US
        DateCase{"%d.%m.%Y", "dd.MM.yyyy", "d. MMMM yyyy"},  // de_DE
        DateCase{"%d-%m-%Y", "dd-MM-yyyy", "d MMMM yyyy"},   // da_DK
        DateCase{"%Y-%m-%d", "yyyy-MM-dd", "yyyy MMMM d"},   // sv_SE
        DateCase{"%F", "yyyy-MM-dd", "yyyy MMMM d"}, DateCase{"%D", "MM/dd/yy", "MMMM d, yyyy"},
        DateCase{"%e/%-m/%y", "d/M/yy", "d MMMM yyyy"},
        DateCase{"%_d.%Om.%EY", "d.MM.yyyy", "d. MMMM yyyy"},
        DateCase{"%d de %B de %Y", "dd MMMM yyyy", "d MMMM yyyy"},  // literal words dropped
        DateCase{"%a %d %b %Y", "dd MMM yyyy", "d MMMM yyyy"},      // weekday dropped
        DateCase{"%Y\xEB\x85\x84 %m\xEC\x9B\x94 %d\xEC\x9D\xBC",
                 "yyyy\xEB\x85\x84 MM\xEC\x9B\x94 dd\xEC\x9D\xBC", "yyyy MMMM d"},
        // nothing usable: the default order
        DateCase{"", "dd/MM/yyyy", "d MMMM yyyy"}, DateCase{"%H:%M", "dd/MM/yyyy", "d MMMM yyyy"},
        DateCase{"%", "dd/MM/yyyy", "d MMMM yyyy"},
        DateCase{"day %", "dd/MM/yyyy", "d MMMM yyyy"}));

}  // namespace
}  // namespace norix::platform::profile
