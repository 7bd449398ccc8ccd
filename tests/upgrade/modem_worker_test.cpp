// The modem worker around the transfer: the country put back after new
// firmware, and the one finish message.
#include "upgrade/modem_worker.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "shell/page_messages.h"
#include "transfer_fixture.h"

namespace norix::upgrade::testing {
namespace {

struct Country {
  const char* name;
  std::vector<std::string> answers;  // "ATI5" before and after ("006" Germany, "022" U.S.A.)
  bool refused;
  bool rescueStart;
  std::vector<std::string> restore;  // the commands that set the country again
  bool askedByHand;
};

void PrintTo(const Country& c, std::ostream* os) { *os << c.name; }

class CountryAfterUpgrade : public ::testing::TestWithParam<Country> {};

TEST_P(CountryAfterUpgrade, IsPutBackOnlyWhenItWasKnown) {
  const Country& c = GetParam();
  const UpgradeImage image = CutModemImage(1500, 3000);
  LoaderScript script;
  script.loaderBytes = image.loaderEnd - image.loaderStart;
  script.firmwareBytes = image.firmwareEnd - image.firmwareStart + 1;
  script.countries = c.answers;
  script.refuseCountry = c.refused;
  ModemOnLine modem(script);
  RecordingView view;
  FakeClock clock;
  device::SelectedProduct product;
  product.rescue.rescueStart = c.rescueStart;
  product.rescue.rescueTransfer = c.rescueStart;
  UpgradeState state;
  state.image = image;
  state.running = true;
  const ModemWorkerJob job{modem.host.get(), &product, &state, false, 115200, {}};

  const shell::EndMessage end = RunModemWorker(job, view, clock);
  // After a rescue start the user is asked for the nationality page instead.
  EXPECT_EQ(end.message,
            c.rescueStart ? shell::kUpgradeFinishedToNationality : shell::kUpgradeFinished);
  EXPECT_EQ(product.nationality.afterUpgrade, c.rescueStart);
  EXPECT_FALSE(state.running);
  EXPECT_FALSE(product.rescue.rescueStart);

  const auto commands = modem.peer->Record().commands;
  std::vector<std::string> country;
  std::copy_if(
      commands.begin(), commands.end(), std::back_inserter(country),
      [](const std::string& line) { return line.starts_with("ATI5") || line.starts_with("AT*N"); });
  std::vector<std::string> expected;
  if (!c.rescueStart) {
    expected = {"ATI5", "ATI5"};
  }
  expected.insert(expected.end(), c.restore.begin(), c.restore.end());
  EXPECT_EQ(country, expected);
  EXPECT_EQ(view.texts.size(), c.askedByHand ? 1U : 0U);
  if (c.askedByHand) {
    EXPECT_EQ(view.texts.front(), "2413: 2168: %s");  // the name of Germany
  }
}

INSTANTIATE_TEST_SUITE_P(
    Worker, CountryAfterUpgrade,
    ::testing::Values(
        Country{"unchanged", {"006"}, false, false, {}, false},
        Country{"changed", {"006", "022"}, false, false, {"AT*N-", "ATI5*NC006Z", "AT*N+"}, false},
        Country{"refused", {"006", "022"}, true, false, {"AT*N-", "ATI5*NC006Z", "AT*N+"}, true},
        Country{"unknown before", {"000", "022"}, false, false, {}, false},
        Country{"found in rescue mode", {"022"}, false, true, {}, false}));

}  // namespace
}  // namespace norix::upgrade::testing
