// norix-config's command line and the display check.
#include "app/app_options.h"

#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace norix::app {
namespace {

AppOptions Parse(std::vector<std::string_view> arguments) { return ParseAppOptions(arguments); }

TEST(AppOptionsTest, TheWordsThatAreNoOptionsMakeTheLanguageCommandLine) {
  EXPECT_EQ(Parse({}).commandLine, "");
  EXPECT_EQ(Parse({"DK"}).commandLine, "DK");
  // Kept whole, so that the program's own rule (the token alone) decides.
  EXPECT_EQ(Parse({"dk", "x"}).commandLine, "dk x");
  EXPECT_EQ(Parse({"--simulate", "uk"}).commandLine, "uk");
  EXPECT_TRUE(Parse({"dk"}).simulate.empty());
  EXPECT_TRUE(Parse({"dk"}).error.empty());
}

TEST(AppOptionsTest, SimulateTakesTheKnownModelsThatFollowIt) {
  EXPECT_EQ(Parse({"--simulate"}).simulate, std::vector<std::string>{"netrunner56k"});
  const AppOptions two = Parse({"--simulate", "komet2", "solano1280i", "dk"});
  EXPECT_EQ(two.simulate, (std::vector<std::string>{"komet2", "solano1280i"}));
  EXPECT_EQ(two.commandLine, "dk");
  // A name that is no model ends the list; it is not taken for a model.
  const AppOptions typo = Parse({"--simulate", "netrunner56"});
  EXPECT_EQ(typo.simulate, std::vector<std::string>{"netrunner56k"});
  EXPECT_EQ(typo.commandLine, "netrunner56");
}

TEST(AppOptionsTest, HelpListAndUnknownOptions) {
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"-h"}).help);
  EXPECT_TRUE(Parse({"--list-models"}).listModels);
  EXPECT_TRUE(Parse({"dk", "--terminal"}).terminal);
  EXPECT_FALSE(Parse({"dk"}).terminal);
  EXPECT_NE(Parse({"--simulat"}).error, "");
  EXPECT_NE(Parse({"/uk", "-x"}).error, "");
  EXPECT_EQ(Parse({"/uk"}).commandLine, "/uk") << "the system's own rule refuses it later";
  EXPECT_TRUE(Parse({"-"}).error.empty());
}

TEST(DisplayTest, ANamedDisplayOrAQtPlatform) {
  EXPECT_FALSE(DisplayAvailable(nullptr, nullptr, nullptr));
  EXPECT_FALSE(DisplayAvailable("", "", ""));
  EXPECT_TRUE(DisplayAvailable(":0", nullptr, nullptr));
  EXPECT_TRUE(DisplayAvailable(nullptr, "wayland-0", nullptr));
  EXPECT_TRUE(DisplayAvailable(nullptr, nullptr, "offscreen"));
  EXPECT_NE(NoDisplayMessage().find("QT_QPA_PLATFORM=offscreen"), std::string::npos);
}

TEST(FrontEndTest, TheTerminalWhenAskedOrWithoutADisplayQtOtherwise) {
  constexpr auto kQt = FrontEnd::kQt;
  constexpr auto kTerminal = FrontEnd::kTerminal;
  struct Case {
    bool asked, display, qt, terminal;
    std::optional<FrontEnd> chosen;
  };
  for (const Case& c : {
           Case{false, true, true, true, kQt},
           Case{true, true, true, true, kTerminal},
           Case{false, false, true, true, kTerminal},
           Case{false, false, true, false, std::nullopt},
           Case{true, true, true, false, std::nullopt},
           Case{false, true, false, true, kTerminal},
           Case{false, false, false, true, kTerminal},
       }) {
    EXPECT_EQ(ChooseFrontEnd(c.asked, c.display, c.qt, c.terminal), c.chosen)
        << c.asked << c.display << c.qt << c.terminal;
  }
}

}  // namespace
}  // namespace norix::app
