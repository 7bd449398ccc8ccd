// The reading of the provider services against bytes that do not belong to
// the query being asked: an earlier exchange's late answer, and line noise
// behind an answer. Every query reads the adapter's own answer.
#include "services/provider_services_exchange.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/link_fixture.h"

namespace norix::services {
namespace {

using testing::Answer;
using testing::Chunk;

struct StaleCase {
  const char* name;
  std::string before;  // on the line before the reading starts
  std::string after;   // sent right behind the answer to "AT*S2?"
};

class StaleInputTest : public testing::LinkFixture,
                       public ::testing::WithParamInterface<StaleCase> {};

// An adapter that offers call forwarding ("*S2") alone, switched on to 987.
TEST_P(StaleInputTest, ReadsOnlyWhatTheAdapterAnswers) {
  const StaleCase& stale = GetParam();
  Start([&stale](const std::string& line, const platform::comm::CommState&) -> std::vector<Chunk> {
    if (line == "AT*S2?") {
      return {{Answer(line, {"1,*,21,*,987,#", "#,21,#", "OK"}) + stale.after}};
    }
    return {{Answer(line, {"ERROR"})}};
  });
  Quick(150);
  Unprompted(stale.before);
  ProviderServices records;
  const ServiceOffer offer = LoadProviderServices(Port(), records, 49);
  EXPECT_EQ(
      offer.services,
      (std::vector<ServiceEntry>{{ItemValue(kSupplementaryGroup, 2), records.services[2].name}}));
  EXPECT_TRUE(records.services[2].on);
  EXPECT_EQ(records.services[2].number, "987");
  EXPECT_TRUE(records.services[2].opening.activationRead);
}

INSTANTIATE_TEST_SUITE_P(ProviderServices, StaleInputTest,
                         ::testing::Values(
                             // A late final code of an earlier command: "AT*S0?" must not take it.
                             StaleCase{"LateOk", "\r\nOK\r\n", ""},
                             // More than the answer's rest that a command reads: the detailed
                             // reading of "AT*S2?" must not start on it.
                             StaleCase{"NoiseBehindAnAnswer", "",
                                       "\r\n" + std::string(200, '~') + "\r\n"}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace norix::services
