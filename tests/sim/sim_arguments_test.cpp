#include "sim/sim_arguments.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace norix::sim {
namespace {

using namespace std::chrono_literals;

SimArguments Parse(std::vector<std::string_view> args) { return ParseSimArguments(args); }

TEST(SimArgumentsTest, ModelsAndOptions) {
  const auto args = Parse({"--pace", "netrunner56k", "--delay", "250", "silent", "--pause=40",
                           "--garble=7", "netrunner56k"});
  EXPECT_EQ(args.error, "");
  EXPECT_EQ(args.models, (std::vector<std::string>{"netrunner56k", "silent", "netrunner56k"}));
  EXPECT_TRUE(args.options.pace);
  EXPECT_EQ(args.options.replyDelay, 250ms);
  EXPECT_EQ(args.options.resultPause, 40ms);
  EXPECT_EQ(args.options.garbleEvery, 7U);
  EXPECT_TRUE(args.options.dialTone);
  EXPECT_FALSE(Parse({"--no-dialtone", "netrunner56k"}).options.dialTone);
}

TEST(SimArgumentsTest, LineAndFaultOptions) {
  const auto args = Parse(
      {"--line-delay", "1500", "--store-failures=1", "--refuse-country", "46", "netrunner33k6"});
  EXPECT_EQ(args.error, "");
  EXPECT_EQ(args.options.lineDelay, 1500ms);
  EXPECT_EQ(args.options.storeFailures, 1U);
  EXPECT_EQ(args.options.refusedCountry, std::optional<std::uint16_t>(46));
  const auto plain = Parse({"netrunner33k6"});
  EXPECT_EQ(plain.options.lineDelay, 0ms);
  EXPECT_EQ(plain.options.storeFailures, 0U);
  EXPECT_FALSE(plain.options.refusedCountry.has_value());
  const auto services = Parse({"--withdraw-service", "*S3", "--withdraw-service=%U",
                               "--garble-service", "*S2", "--refuse-service-write=*S4", "komet2"});
  EXPECT_EQ(services.error, "");
  EXPECT_EQ(services.options.withdrawnServices, (std::vector<std::string>{"*S3", "%U"}));
  EXPECT_EQ(services.options.garbledService, "*S2");
  EXPECT_EQ(services.options.refusedServiceWrite, "*S4");
  for (const char* option :
       {"--line-delay", "--store-failures", "--refuse-country", "--no-dialtone",
        "--withdraw-service", "--garble-service", "--refuse-service-write"}) {
    EXPECT_NE(SimUsage().find(option), std::string::npos) << option;
  }
}

TEST(SimArgumentsTest, UpgradeOptions) {
  const auto args = Parse({"--upgrade-time", "5", "--restart-time=9000", "--cut-loader", "100",
                           "--cut-firmware=2000", "--power-off", "0", "--silent-upgrade", "2",
                           "--corrupt", "1000", "--refuse-device", "komet2"});
  EXPECT_EQ(args.error, "");
  const UpgradeOptions& upgrade = args.options.upgrade;
  EXPECT_EQ(upgrade.timePercent, 5U);
  EXPECT_EQ(upgrade.restartTime, std::optional(9000ms));
  EXPECT_EQ(upgrade.powerCutLoader, std::optional<std::uint64_t>(100));
  EXPECT_EQ(upgrade.powerCutFirmware, std::optional<std::uint64_t>(2000));
  EXPECT_EQ(upgrade.powerOffTime, 0ms);
  EXPECT_EQ(upgrade.silentRequests, 2U);
  EXPECT_EQ(upgrade.corruptEvery, 1000U);
  EXPECT_TRUE(upgrade.refuseDevice);
  const UpgradeOptions plain = Parse({"komet2"}).options.upgrade;
  EXPECT_EQ(plain.timePercent, 100U);
  EXPECT_FALSE(plain.powerCutLoader || plain.powerCutFirmware || plain.restartTime);
  EXPECT_EQ(Parse({"--upgrade-time", "1001", "komet2"}).error,
            "--upgrade-time takes a whole number from 0 to 1000, not \"1001\"");
  for (const char* option : {"--upgrade-time", "--restart-time", "--cut-loader", "--cut-firmware",
                             "--power-off", "--silent-upgrade", "--corrupt", "--refuse-device"}) {
    EXPECT_NE(SimUsage().find(option), std::string::npos) << option;
  }
}

TEST(SimArgumentsTest, ListAndHelpNeedNoModel) {
  EXPECT_TRUE(Parse({"--list"}).list);
  EXPECT_EQ(Parse({"--list"}).error, "");
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"-h"}).help);
  EXPECT_NE(SimUsage().find("--delay MS"), std::string::npos);
}

TEST(SimArgumentsTest, UnusableCommandLinesSayWhy) {
  struct Case {
    std::vector<std::string_view> args;
    const char* error;
  };
  const std::vector<Case> cases = {
      {{}, "no model given"},
      {{"--pace"}, "no model given"},
      {{"nosuchmodem"}, "unknown model \"nosuchmodem\" (norix-sim --list names them)"},
      {{"netrunner56k", "--delay"}, "--delay needs a value"},
      {{"--delay", "-5", "netrunner56k"},
       "--delay takes a whole number from 0 to 600000, not \"-5\""},
      {{"--delay=12ms", "netrunner56k"},
       "--delay takes a whole number from 0 to 600000, not \"12ms\""},
      {{"--delay=", "netrunner56k"}, "--delay takes a whole number from 0 to 600000, not \"\""},
      {{"--pause", "600001", "netrunner56k"},
       "--pause takes a whole number from 0 to 600000, not \"600001\""},
      {{"--garble", "99999999999", "netrunner56k"},
       "--garble takes a whole number from 0 to 1000000, not \"99999999999\""},
      {{"--store-failures", "1001", "netrunner56k"},
       "--store-failures takes a whole number from 0 to 1000, not \"1001\""},
      {{"--refuse-country", "7", "netrunner56k"},
       "--refuse-country takes the dialling code of a country the products know (46 for "
       "Sweden), not \"7\""},
      {{"--refuse-country=1000", "netrunner56k"},
       "--refuse-country takes a whole number from 0 to 999, not \"1000\""},
      {{"komet2", "--garble-service"}, "--garble-service needs a value"},
      {{"--withdraw-service=", "komet2"}, "--withdraw-service needs a command name (*S2, *DP, %U)"},
      {{"komet2", "--refuse-service-write="},
       "--refuse-service-write needs a command name (*S2, *DP, %U)"},
      {{"--fast", "netrunner56k"}, "unknown option --fast"},
      {{"--pace=1", "netrunner56k"}, "--pace takes no value"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Parse(c.args).error, c.error);
  }
}

}  // namespace
}  // namespace norix::sim
