// Start-up: the language of the run, message 2086 without a device, the
// first page with the chosen texts, and a second start that only brings the
// running program's page forward.
#include "shell/startup.h"

#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/comm/pty_line.h"
#include "platform/telephony/line_directory.h"
#include "resources/dialogs/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/strings/data_folder.h"
#include "shell/program_version.h"
#include "shell/single_instance.h"
#include "shell_fixture.h"
#include "support/temp_dir.h"

namespace norix::shell::testing {
namespace {

namespace fs = std::filesystem;
namespace tapi = platform::telephony;
using platform::profile::IntlSettings;
using platform::profile::UserProfile;

UserProfile ProfileWithCountry(std::optional<int> code) {
  IntlSettings intl;
  intl.country_code = code;
  return UserProfile(intl);
}

using norix::testing::TempDir;

struct TokenCase {
  const char* commandLine;
  std::optional<int> profileCountry;
  int expected;
};

class LanguageTokenTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(LanguageTokenTest, TheWholeCommandLineOrElseTheProfile) {
  const TokenCase& c = GetParam();
  const LanguageChoice choice =
      ChooseLanguage(c.commandLine, ProfileWithCountry(c.profileCountry), {});
  EXPECT_EQ(choice.countryCode, c.expected) << '"' << c.commandLine << '"';
}

INSTANTIATE_TEST_SUITE_P(Tokens, LanguageTokenTest,
                         ::testing::Values(TokenCase{"DK", 49, 45}, TokenCase{"dk", {}, 45},
                                           TokenCase{"n", 1, 47}, TokenCase{"S", 1, 46},
                                           TokenCase{"d", 1, 49}, TokenCase{"F", 1, 33},
                                           TokenCase{"uK", 1, 44}, TokenCase{"dk x", 49, 49},
                                           TokenCase{" dk", 49, 49}, TokenCase{"/uk", 1, 1},
                                           TokenCase{"danish", 31, 31}, TokenCase{"", {}, 44},
                                           TokenCase{"xx", {}, 44}));

TEST(ChooseLanguageTest, TheCatalogueOfTheCountryWhenItHoldsTheProbeText) {
  const fs::path data = resources::strings::BuildTreeDataFolder();
  const LanguageChoice danish = ChooseLanguage("DK", {}, data);
  EXPECT_EQ(danish.countryCode, 45);
  EXPECT_FALSE(danish.texts.IsProgramOwn());
  EXPECT_EQ(danish.texts.CataloguePath().filename(), "norix045.txt");
  EXPECT_EQ(danish.texts.Text(2003), "NORIX konfigurationsprogram");

  // No catalogue for 44: the program's own texts, and no problem to report.
  const LanguageChoice english = ChooseLanguage("", {}, data);
  EXPECT_EQ(english.countryCode, 44);
  EXPECT_TRUE(english.texts.IsProgramOwn());
  EXPECT_TRUE(english.problems.empty());
}

TEST(ChooseLanguageTest, ACatalogueWithoutTheProbeTextIsNotUsed) {
  const TempDir folder;
  {
    std::ofstream catalogue(folder.Path() / "norix045.txt");
    catalogue << "2003\tNORIX konfigurationsprogram\n2092\tNORIX-meddelelse\n";
  }
  const LanguageChoice choice = ChooseLanguage("dk", {}, folder.Path());
  EXPECT_EQ(choice.countryCode, 45);
  EXPECT_TRUE(choice.texts.IsProgramOwn());
  EXPECT_EQ(choice.texts.Text(2003), "NORIX Configuration program");
  EXPECT_FALSE(choice.problems.empty()) << "a translator gets to know why";
}

// Start-up on a headless desktop with the program's own templates, run on a
// thread that plays the system main thread.
class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { resources::dialogs::RegisterDialogTemplates(templates_); }
  StartupTest(const StartupTest&) = delete;
  StartupTest& operator=(const StartupTest&) = delete;
  StartupTest(StartupTest&&) = delete;
  StartupTest& operator=(StartupTest&&) = delete;

 public:
  ~StartupTest() override {
    // A test that failed half-way: quit whatever page is open.
    for (const W::HWND page : host_.Dialogs()) {
      host_.PressEscape(page);
    }
    for (auto& run : runs_) {
      if (run.valid()) {
        run.wait_for(kLong);
      }
    }
  }

 protected:
  // Adds a product line (a pty that nobody answers on: start-up only lists
  // the devices) and returns its name.
  void AddDevice(const std::string& name) {
    ptys_.push_back(platform::comm::OpenPtyLine());
    ASSERT_NE(ptys_.back().device, nullptr) << ptys_.back().message;
    ASSERT_EQ(lines_.AddLine({name, ptys_.back().slavePath, tapi::kApiVersion14,
                              tapi::kApiVersion14, std::nullopt}),
              "");
  }

  StartupSettings Settings() {
    StartupSettings settings;
    settings.lines = &lines_;
    settings.dataFolder = resources::strings::BuildTreeDataFolder();
    settings.diagnostics = &diagnostics_;
    return settings;
  }

  // Runs start-up on its own thread; the future holds its result.
  std::future<int>& Start(StartupSettings settings) {
    runs_.push_back(std::async(std::launch::async, [this, settings = std::move(settings)] {
      // Each run's frame lives as long as the run, as the program's does.
      Frame frame;
      return RunStartup(frame, desktop_, settings);
    }));
    return runs_.back();
  }

  W::TemplateRegistry templates_;
  W::HeadlessHost host_;
  W::Desktop desktop_{host_, templates_};
  std::ostringstream diagnostics_;
  tapi::LineDirectory lines_{tapi::LineSources{}, diagnostics_};
  std::vector<platform::comm::PtyLine> ptys_;
  std::deque<std::future<int>> runs_;
};

TEST_F(StartupTest, WithoutADeviceOnlyMessage2086IsShown) {
  std::atomic<bool> navigatorReached{false};
  StartupSettings settings = Settings();
  settings.beforeNavigator = [&](Frame&) { navigatorReached = true; };
  auto& run = Start(std::move(settings));

  const auto box = host_.AnswerMessageBox(W::IDOK, kLong);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, TextModule{}.Text(kNoDriverText));
  EXPECT_EQ(box->caption, "NORIX message");
  EXPECT_EQ(box->style, W::MB_ICONEXCLAMATION | W::MB_TASKMODAL);
  EXPECT_EQ(box->owner, W::kNullHwnd);
  ASSERT_EQ(run.wait_for(kLong), std::future_status::ready);
  EXPECT_EQ(run.get(), 0);
  EXPECT_FALSE(navigatorReached.load());
  EXPECT_TRUE(host_.Dialogs().empty());
  EXPECT_EQ(host_.MessageBoxes().size(), 1U);
}

TEST_F(StartupTest, NoLineDirectoryCountsAsNoDevice) {
  StartupSettings settings = Settings();
  settings.lines = nullptr;
  settings.commandLine = "dk";
  auto& run = Start(std::move(settings));
  const auto box = host_.AnswerMessageBox(W::IDOK, kLong);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, "NORIX-meddelelse") << "in the language of the run";
  ASSERT_EQ(run.wait_for(kLong), std::future_status::ready);
  EXPECT_EQ(run.get(), 0);
}

TEST_F(StartupTest, OneDeviceRunsTheWizardInTheChosenLanguageUntilEsc) {
  AddDevice("NORIX corvid 56k");
  AddDevice("Other maker's modem");  // not the maker's: not listed
  std::atomic<int> registered{0};
  std::promise<std::tuple<int, std::string, std::size_t, std::string>> seen;
  StartupSettings settings = Settings();
  settings.commandLine = "DK";
  settings.registerPages = [&](PageTable& pages) {
    ++registered;
    EXPECT_NE(pages.Row(resources::kMainMenuPage), nullptr);
  };
  settings.beforeNavigator = [&](Frame& program) {
    seen.set_value({program.countryCode, program.versionText, program.context->ProductCount(),
                    CountryName(program.chrome, 0)});
  };
  auto& run = Start(std::move(settings));

  const W::HWND menu = host_.WaitForDialog(resources::kMainMenuTemplate, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(host_.Caption(menu), "NORIX konfigurationsprogram");
  EXPECT_EQ(registered.load(), 1);
  auto future = seen.get_future();
  ASSERT_EQ(future.wait_for(kLong), std::future_status::ready);
  const auto [country, version, devices, firstCountry] = future.get();
  EXPECT_EQ(country, 45);
  EXPECT_EQ(version, ProgramVersionText());
  EXPECT_FALSE(version.empty());
  EXPECT_EQ(devices, 1U);
  EXPECT_FALSE(firstCountry.empty()) << "the graphics and their text lists are built";

  ASSERT_TRUE(host_.PressEscape(menu));
  ASSERT_EQ(run.wait_for(kLong), std::future_status::ready);
  EXPECT_EQ(run.get(), 0);
  EXPECT_TRUE(host_.Dialogs().empty());
  EXPECT_TRUE(host_.MessageBoxes().empty());
}

TEST_F(StartupTest, TwoDevicesStartAtTheProductList) {
  AddDevice("NORIX corvid 56k");
  AddDevice("solano 1280 ISDN");
  auto& run = Start(Settings());
  const W::HWND list = host_.WaitForDialog(resources::kProductListTemplate, kLong);
  ASSERT_NE(list, W::kNullHwnd);
  EXPECT_EQ(host_.Caption(list), "NORIX Configuration program");
  ASSERT_TRUE(host_.PressEscape(list));
  ASSERT_EQ(run.wait_for(kLong), std::future_status::ready);
  EXPECT_EQ(run.get(), 0);
}

TEST_F(StartupTest, ASecondStartBringsTheFirstForwardAndEnds) {
  const TempDir folder;
  AddDevice("NORIX corvid 56k");
  const fs::path socket = folder.Path() / "norix-config.sock";
  InstanceGuard firstClaim = InstanceGuard::Claim(socket);
  ASSERT_EQ(firstClaim.Result(), InstanceGuard::Outcome::kFirst);
  StartupSettings settings = Settings();
  settings.instance = &firstClaim;
  auto& first = Start(settings);
  const W::HWND menu = host_.WaitForDialog(resources::kMainMenuTemplate, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  W::ShowWindow(menu, W::SW_HIDE);  // as if minimised
  ASSERT_FALSE(W::IsWindowVisible(menu));

  // Any page counts, whatever its window class was in the original.
  InstanceGuard secondClaim = InstanceGuard::Claim(socket);
  ASSERT_EQ(secondClaim.Result(), InstanceGuard::Outcome::kOtherRunning);
  settings.instance = &secondClaim;
  auto& second = Start(settings);
  ASSERT_EQ(second.wait_for(kLong), std::future_status::ready);
  EXPECT_EQ(second.get(), 0);
  EXPECT_TRUE(W::IsWindowVisible(menu)) << "the first instance's page came forward";
  EXPECT_EQ(host_.Dialogs(), std::vector<W::HWND>{menu}) << "no second wizard";
  EXPECT_TRUE(host_.MessageBoxes().empty());

  ASSERT_TRUE(host_.PressEscape(menu));
  ASSERT_EQ(first.wait_for(kLong), std::future_status::ready);
  EXPECT_EQ(first.get(), 0);
  EXPECT_FALSE(fs::exists(socket)) << "the first removed its socket";

  // With the first gone, a new start is a full instance again.
  InstanceGuard thirdClaim = InstanceGuard::Claim(socket);
  ASSERT_EQ(thirdClaim.Result(), InstanceGuard::Outcome::kFirst);
  settings.instance = &thirdClaim;
  auto& third = Start(settings);
  const W::HWND again = host_.WaitForDialog(resources::kMainMenuTemplate, kLong);
  ASSERT_NE(again, W::kNullHwnd);
  ASSERT_TRUE(host_.PressEscape(again));
  ASSERT_EQ(third.wait_for(kLong), std::future_status::ready);
  EXPECT_EQ(third.get(), 0);
}

}  // namespace
}  // namespace norix::shell::testing
