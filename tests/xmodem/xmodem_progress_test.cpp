#include "upgrade/xmodem_progress.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace norix::testing {
namespace {

using upgrade::kRemainingTimeNotShown;
using upgrade::UpdateRemainingTime;

struct RemainingCase {
  std::int64_t blocks;
  std::int64_t done;
  std::int64_t elapsed;
  std::int64_t lastShown;
  std::optional<std::string> text;
  std::int64_t lastShownAfter;
};

class RemainingTime : public ::testing::TestWithParam<RemainingCase> {};

TEST_P(RemainingTime, FollowsTheUpdateRule) {
  const RemainingCase& c = GetParam();
  std::int64_t lastShown = c.lastShown;
  EXPECT_EQ(UpdateRemainingTime(c.blocks, c.done, c.elapsed, lastShown), c.text);
  EXPECT_EQ(lastShown, c.lastShownAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, RemainingTime,
                         ::testing::Values(
                             // The first estimate always shows; within the first tenth as dashes.
                             RemainingCase{100, 1, 0, kRemainingTimeNotShown, "--:--", 0},
                             RemainingCase{100, 10, 5, kRemainingTimeNotShown, "--:--", 45},
                             // Past a tenth of the blocks: minutes and seconds.
                             RemainingCase{100, 11, 5, kRemainingTimeNotShown, "00:40", 40},
                             // A rise of 10 seconds or less keeps the old text; more shows.
                             RemainingCase{100, 50, 50, 40, std::nullopt, 40},
                             RemainingCase{100, 50, 51, 40, "00:51", 51},
                             // Any fall shows.
                             RemainingCase{100, 90, 90, 11, "00:10", 10},
                             RemainingCase{1000, 500, 3000, kRemainingTimeNotShown, "50:00", 3000},
                             // Beyond 99 minutes the minutes take more digits.
                             RemainingCase{2, 1, 6000, kRemainingTimeNotShown, "100:00", 6000},
                             // The last block estimates 0.
                             RemainingCase{10, 10, 7, 3, "00:00", 0},
                             RemainingCase{10, 10, 7, 0, std::nullopt, 0},
                             // A clock that went back gives a negative estimate: not shown.
                             RemainingCase{10, 5, -3, 100, std::nullopt, 100},
                             // Nothing done yet: nothing to estimate from.
                             RemainingCase{10, 0, 3, 100, std::nullopt, 100}));

}  // namespace
}  // namespace norix::testing
