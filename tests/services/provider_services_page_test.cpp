// The KOMET II's provider services page on simulated adapters: what it reads
// and lists, what it writes back on 'V' (exact transcripts), what it does
// when the adapter offers little, garbles a reply or refuses a write, and
// the characters its fields take.
#include "services/provider_services_page.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/window/window_api.h"
#include "products/product_list_page.h"
#include "resources/resource_ids.h"
#include "sim/isdn_adapter.h"
#include "sim/models/models.h"
#include "support/wizard_session.h"
#include "utilities/settings_menus.h"
#include "wizard/wizard_flow.h"

namespace norix::services {
namespace {

namespace W = platform::window;
using testing::kKometLine;
using testing::kPageWait;
using testing::Lines;
using testing::Text;
using testing::WizardSession;

std::vector<std::string> From(const WizardSession& session, std::size_t from,
                              std::size_t product = 0) {
  const std::vector<std::string> all = session.Commands(product);
  return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
}

std::vector<std::string> Texts(WizardSession& session, const std::vector<int>& ids) {
  std::vector<std::string> texts;
  texts.reserve(ids.size());
  for (const int id : ids) {
    texts.push_back(Text(session, id));
  }
  return texts;
}

// From the main menu: Settings, "Provider services", '>'; returns the page
// once it has read the adapter.
W::HWND OpenServices(WizardSession& session, W::HWND menu) {
  auto& host = session.Host();
  EXPECT_TRUE(host.Click(menu, products::kSettingsButton));
  const W::HWND settings = session.WaitForPage(resources::kKometSettingsPage);
  EXPECT_NE(settings, W::kNullHwnd);
  EXPECT_TRUE(host.Click(settings, utilities::kServicesRadio));
  EXPECT_TRUE(host.Click(settings, resources::kNextArrowId));
  const W::HWND page = session.WaitForPage(resources::kProviderServicesPage);
  EXPECT_NE(page, W::kNullHwnd);
  const std::string noServices = Text(session, kNoServicesText);
  EXPECT_TRUE(host.WaitUntil(
      [&] {
        const auto window = W::GetWindowState(page);
        return window && !window->waitCursor &&
               (!host.IsVisible(page, kStatusText) || host.Text(page, kStatusText) == noServices);
      },
      kPageWait));
  return page;
}

// Selects the entry of the service list named by string `name` and waits
// until the page shows it with its help text `help`.
bool ShowEntry(WizardSession& session, W::HWND page, int name, int help) {
  auto& host = session.Host();
  return host.SelectItem(page, kServiceList, Text(session, name)) &&
         host.WaitForText(page, kHelpText, Text(session, help), kPageWait);
}

// Clicks "Enable this service" and waits until the page has taken it: the
// control `follows` (enabled exactly when the service is on) shows it.
bool ClickEnable(WizardSession& session, W::HWND page, int follows) {
  auto& host = session.Host();
  const bool on = !host.IsChecked(page, kEnableBox);
  return host.Click(page, kEnableBox) && host.WaitForEnabled(page, follows, on, kPageWait);
}

// Clicks 'V' and waits for the settings menu.
W::HWND WriteAndLeave(WizardSession& session, W::HWND page) {
  EXPECT_TRUE(session.Host().Click(page, resources::kOkArrowId));
  const W::HWND settings = session.WaitForPage(resources::kKometSettingsPage);
  EXPECT_NE(settings, W::kNullHwnd);
  return settings;
}

// From the settings menu back to the main menu and the page again.
W::HWND ReopenServices(WizardSession& session, W::HWND settings) {
  EXPECT_TRUE(testing::WaitForInput(session, settings));
  EXPECT_TRUE(session.Host().Click(settings, resources::kBackArrowId));
  return OpenServices(session, session.WaitForPage(resources::kMainMenuPage));
}

// Every query of a KOMET II that answers all of them.
std::vector<std::string> FullReading() {
  std::vector<std::string> commands;
  for (int i = 0; i < 10; ++i) {
    const std::string query = "AT*S" + std::to_string(i) + "?";
    commands.insert(commands.end(), {query, query});  // offered, then read in detail
  }
  commands.insert(commands.end(),
                  {"AT*SD?", "AT*SN?", "AT*S10?", "AT&Z#L?", "AT*3P0?", "AT*3P1?", "AT*3P2?",
                   "AT*3P3?", "ATZ", "ATS202?", "ATS152?", "AT%U?", "AT*DP?"});
  return commands;
}

// The typical road over ptys: everything read and listed, one forwarding
// switched off, another switched on with a new number, all written back; a
// second opening shows what the adapter now holds.
TEST(ProviderServicesPageTest, ReadsEveryServiceAndWritesTheEditsBack) {
  WizardSession session({{"komet2", kKometLine}}, testing::Lines::kPty);
  session.QuickGaps();
  session.Start();
  auto& host = session.Host();
  const W::HWND menu = session.WaitForIdentifiedMenu();
  ASSERT_NE(menu, W::kNullHwnd);
  const std::size_t before = session.Commands(0).size();
  W::HWND page = OpenServices(session, menu);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(From(session, before), FullReading()) << Lines(From(session, before));
  EXPECT_EQ(host.Items(page, kServiceList),
            Texts(session, {2259, 2262, 2265, 2270, 2273, 2276, 2279, 2282, 2285, 2288, 2300, 2299,
                            2301, 2293}));
  EXPECT_EQ(host.Items(page, kLineFunctionList), Texts(session, {2294, 2295, 2296, 2298}));
  EXPECT_TRUE(host.IsVisible(page, resources::kOkArrowId));

  // "Hide own number": its extra setting, greyed while the service is off.
  EXPECT_EQ(host.Text(page, kExtraSettingBox), Text(session, 2307));
  EXPECT_TRUE(host.IsChecked(page, kExtraSettingBox));
  EXPECT_FALSE(host.IsEnabled(page, kExtraSettingBox));
  EXPECT_FALSE(host.IsChecked(page, kEnableBox));
  EXPECT_EQ(host.Text(page, kActivationDigits), "31");
  EXPECT_FALSE(host.IsEnabled(page, kActivationDigits));
  EXPECT_FALSE(host.IsVisible(page, kNumberEdit));
  EXPECT_FALSE(host.IsVisible(page, kCancelDigits));
  EXPECT_EQ(host.Text(page, kHelpText), Text(session, 2260));
  EXPECT_EQ(host.Text(page, 1193), "*");  // the adapter keeps '#' for itself

  ASSERT_TRUE(ShowEntry(session, page, 2265, 2266));  // permanent forwarding, on
  EXPECT_EQ(host.Text(page, kNumberEdit), "0301234567");
  EXPECT_EQ(host.Text(page, kExtraSettingBox), Text(session, 2268));
  EXPECT_TRUE(host.IsEnabled(page, kNumberEdit));
  ASSERT_TRUE(ClickEnable(session, page, kNumberEdit));

  ASSERT_TRUE(ShowEntry(session, page, 2270, 2271));  // forwarding when busy, off, no number
  EXPECT_EQ(host.Text(page, kNumberEdit), "");
  ASSERT_TRUE(ClickEnable(session, page, kNumberEdit));
  ASSERT_TRUE(host.Type(page, kNumberEdit, "0401234"));

  const std::size_t beforeOk = session.Commands(0).size();
  const W::HWND settings = WriteAndLeave(session, page);
  EXPECT_EQ(From(session, beforeOk), (std::vector<std::string>{"AT*S0=0,*,31,*",
                                                               "AT*SN=1",
                                                               "AT*S1=1,*,43,#",
                                                               "AT*S1=2,#,43,#",
                                                               "AT*S2=0,*,21,*,0301234567,#",
                                                               "AT*S2=2,#,21,#",
                                                               "AT*SD=1",
                                                               "AT*S3=1,*,67,*,0401234,#",
                                                               "AT*S3=2,#,67,#",
                                                               "AT*SD=1",
                                                               "AT*S4=0,*,61,*,08954321,#",
                                                               "AT*S4=2,#,61,#",
                                                               "AT*SD=1",
                                                               "AT*S5=0,*,00,*",
                                                               "AT*S6=0,*,33,*,4711,#",
                                                               "AT*S6=2,#,33,*",
                                                               "AT*S7=0,*,53,*,110,#",
                                                               "AT*S7=2,#,53,#",
                                                               "AT*S8=0,*,26,#",
                                                               "AT*S8=2,#,26,#",
                                                               "AT*S9=0,*,5,*",
                                                               "AT*3P0=1,0*3P1=1,1*3P2=0,2*3P3=1,3",
                                                               "AT%U1%U3%U5%U=05&W",
                                                               "AT*DP=1",
                                                               "AT*S10=0,*"}))
      << Lines(From(session, beforeOk));

  // The adapter stored it: the next opening reads it back.
  page = ReopenServices(session, settings);
  ASSERT_TRUE(ShowEntry(session, page, 2270, 2271));
  EXPECT_TRUE(host.IsChecked(page, kEnableBox));
  EXPECT_EQ(host.Text(page, kNumberEdit), "0401234");
  ASSERT_TRUE(ShowEntry(session, page, 2265, 2266));
  EXPECT_FALSE(host.IsChecked(page, kEnableBox));
  EXPECT_TRUE(session.Quit());
}

sim::ProductOptions Withdrawn(std::vector<std::string> names) {
  sim::ProductOptions options;
  options.withdrawnServices = std::move(names);
  return options;
}

// Every provider service command but those in `kept`.
std::vector<std::string> AllBut(const std::vector<std::string>& kept) {
  std::vector<std::string> names{"*SD", "*SN", "&Z#L", "*DP", "S202", "S152", "%U"};
  for (int i = 0; i <= 10; ++i) {
    names.push_back("*S" + std::to_string(i));
  }
  for (int i = 0; i < 4; ++i) {
    names.push_back("*3P" + std::to_string(i));
  }
  std::erase_if(names, [&](const std::string& name) {
    return std::find(kept.begin(), kept.end(), name) != kept.end();
  });
  return names;
}

// An adapter offering only "Call Waiting" and one line function: one entry
// each, the codes shown greyed, help texts by the line pointed at, and only
// what was offered written.
TEST(ProviderServicesPageTest, AdapterOfferingFewServicesListsAndWritesOnlyThose) {
  WizardSession session{{"komet2", kKometLine, Withdrawn(AllBut({"*S1", "*3P1"}))}};
  session.QuickGaps();
  session.Start();
  auto& host = session.Host();
  const W::HWND page = OpenServices(session, session.WaitForIdentifiedMenu());
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(host.Items(page, kServiceList), Texts(session, {2262, 2299}));
  EXPECT_EQ(host.Items(page, kLineFunctionList), Texts(session, {2295}));
  for (const auto& [control, text] :
       std::vector<std::pair<int, std::string>>{{kActivationDigits, "43"}, {kCancelDigits, "43"}}) {
    EXPECT_TRUE(host.IsVisible(page, control)) << control;
    EXPECT_FALSE(host.IsEnabled(page, control)) << control;
    EXPECT_EQ(host.Text(page, control), text) << control;
  }
  EXPECT_EQ(host.Selection(page, kActivationPrefix), 0);  // '*'
  EXPECT_EQ(host.Selection(page, kActivationSuffix), 1);  // '#'
  EXPECT_FALSE(host.IsVisible(page, kNumberEdit));
  EXPECT_FALSE(host.IsVisible(page, kExtraSettingBox));
  EXPECT_TRUE(host.IsEnabled(page, kEnableBox));
  EXPECT_TRUE(host.IsChecked(page, kEnableBox));

  for (const auto& [control, text] : std::vector<std::pair<int, int>>{{kCancelDigits, 2264},
                                                                      {kActivationSuffix, 2263},
                                                                      {kCancelPrefix, 2264},
                                                                      {kActivationDigits, 2263}}) {
    ASSERT_TRUE(host.Hover(page, control));
    EXPECT_TRUE(host.WaitForText(page, kHelpText, Text(session, text), kPageWait)) << control;
  }
  ASSERT_TRUE(ShowEntry(session, page, 2299, 2313));
  EXPECT_EQ(host.Text(page, kKeyDigit), "1");
  ASSERT_TRUE(host.Click(page, kEnableBox));  // line function off

  const std::size_t before = session.Commands(0).size();
  WriteAndLeave(session, page);
  EXPECT_EQ(From(session, before),
            (std::vector<std::string>{"AT*S1=1,*,43,#", "AT*S1=2,#,43,#", "AT*3P1=0,1"}));
  EXPECT_TRUE(session.Quit());
}

// Nothing offered: the status says so with a beep, there is no 'V', and
// 'X' leaves without a word to the adapter.
TEST(ProviderServicesPageTest, AdapterOfferingNothingShowsTheStatusAndOnlyLeaves) {
  WizardSession session{{"komet2", kKometLine, Withdrawn(AllBut({}))}};
  session.QuickGaps();
  session.Start();
  auto& host = session.Host();
  const W::HWND page = OpenServices(session, session.WaitForIdentifiedMenu());
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(host.Text(page, kStatusText), Text(session, kNoServicesText));
  EXPECT_EQ(host.Beeps(page), 1);
  EXPECT_FALSE(host.IsVisible(page, resources::kOkArrowId));
  EXPECT_FALSE(host.IsVisible(page, kServiceList));
  EXPECT_FALSE(host.IsVisible(page, kEnableBox));
  const std::size_t before = session.Commands(0).size();
  ASSERT_TRUE(host.Click(page, resources::kCancelArrowId));
  EXPECT_NE(session.WaitForPage(resources::kKometSettingsPage), W::kNullHwnd);
  EXPECT_EQ(From(session, before), std::vector<std::string>{});
  EXPECT_TRUE(session.Quit());
}

// The closed user group is offered only when all its readings answered, so
// its code is never a default stored with "&W".
TEST(ProviderServicesPageTest, ClosedUserGroupIsHiddenWhenAReadingFails) {
  for (const std::string failing : {"S202", "S152", "%U"}) {
    WizardSession session{{"komet2", kKometLine, Withdrawn({failing})}};
    session.QuickGaps();
    session.Start();
    const W::HWND page = OpenServices(session, session.WaitForIdentifiedMenu());
    ASSERT_NE(page, W::kNullHwnd);
    const std::vector<std::string> items = session.Host().Items(page, kServiceList);
    EXPECT_EQ(std::count(items.begin(), items.end(), Text(session, 2301)), 0) << failing;
    EXPECT_EQ(items.size(), 13U) << failing;
    const std::size_t before = session.Commands(0).size();
    WriteAndLeave(session, page);
    for (const std::string& command : From(session, before)) {
      EXPECT_FALSE(command.starts_with("AT%U")) << failing << ": " << command;
    }
    EXPECT_TRUE(session.Quit());
  }
}

// A garbled reply is listed but never written back unless the user changes
// it; a refused write is named, the page keeps the input, and the next
// opening shows what the adapter holds.
TEST(ProviderServicesPageTest, GarbledReplyIsKeptAndARefusedWriteIsNamed) {
  sim::ProductOptions options;
  options.garbledService = "*S2";
  options.refusedServiceWrite = "*S4";
  WizardSession session{{"komet2", kKometLine, options}};
  session.QuickGaps();
  session.Start();
  auto& host = session.Host();
  W::HWND page = OpenServices(session, session.WaitForIdentifiedMenu());
  ASSERT_NE(page, W::kNullHwnd);
  ASSERT_TRUE(ShowEntry(session, page, 2265, 2266));
  EXPECT_EQ(host.Text(page, kNumberEdit), "");
  ASSERT_TRUE(ShowEntry(session, page, 2273, 2274));
  ASSERT_TRUE(ClickEnable(session, page, kNumberEdit));  // on: the adapter will refuse it

  const std::size_t before = session.Commands(0).size();
  ASSERT_TRUE(host.Click(page, resources::kOkArrowId));
  const auto box = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(box.has_value());
  EXPECT_NE(box->text.find(Text(session, 2273)), std::string::npos) << box->text;
  EXPECT_EQ(box->text.find(Text(session, 2265)), std::string::npos) << box->text;
  const std::vector<std::string> written = From(session, before);
  EXPECT_TRUE(std::none_of(written.begin(), written.end(), [](const std::string& c) {
    return c.starts_with("AT*S2=");
  })) << Lines(written);
  EXPECT_NE(std::find(written.begin(), written.end(), "AT*S4=1,*,61,*,08954321,#"), written.end());
  EXPECT_EQ(session.WaitForPage(resources::kKometSettingsPage, testing::kNothingWait),
            W::kNullHwnd);
  ASSERT_TRUE(testing::WaitForInput(session, page));
  EXPECT_TRUE(host.IsChecked(page, kEnableBox));

  ASSERT_TRUE(host.Click(page, resources::kCancelArrowId));
  page = ReopenServices(session, session.WaitForPage(resources::kKometSettingsPage));
  ASSERT_TRUE(ShowEntry(session, page, 2273, 2274));
  EXPECT_FALSE(host.IsChecked(page, kEnableBox));
  EXPECT_TRUE(session.Quit());
}

// The number fields take dialling characters only, the group code digits
// only; a refused character beeps. Esc with the caret in a number field
// leaves without writing.
TEST(ProviderServicesPageTest, FieldsRefuseCharactersOutsideTheirSetsWithABeep) {
  WizardSession session{{"komet2", kKometLine}};
  session.QuickGaps();
  session.Start();
  auto& host = session.Host();
  const W::HWND page = OpenServices(session, session.WaitForIdentifiedMenu());
  ASSERT_NE(page, W::kNullHwnd);
  ASSERT_TRUE(ShowEntry(session, page, 2265, 2266));
  struct FieldCase {
    const char* typed;
    const char* text;
    int control;
    bool beeps;
  };
  const FieldCase cases[] = {
      {"9rW*#", "03012345679rW*#", kNumberEdit, false},
      {"5a x", "03012345679rW*#5", kNumberEdit, true},
      {"&F", "", kCugCodeEdit, true},
      {"7", "7", kCugCodeEdit, false},
  };
  for (const FieldCase& c : cases) {
    if (c.control == kCugCodeEdit && !host.IsVisible(page, kCugCodeEdit)) {
      ASSERT_TRUE(ShowEntry(session, page, 2301, 2316));
    }
    const int beeps = host.Beeps(page);
    ASSERT_TRUE(c.control == kCugCodeEdit ? host.ReplaceText(page, c.control, c.typed)
                                          : host.Type(page, c.control, c.typed));
    EXPECT_EQ(host.Text(page, c.control), c.text) << c.typed;
    EXPECT_EQ(host.Beeps(page) > beeps, c.beeps) << c.typed;
  }

  ASSERT_TRUE(ShowEntry(session, page, 2265, 2266));
  ASSERT_TRUE(host.Focus(page, kNumberEdit));
  ASSERT_TRUE(host.Type(page, kNumberEdit, "1"));
  const std::size_t before = session.Commands(0).size();
  EXPECT_TRUE(session.Quit());
  EXPECT_EQ(From(session, before), std::vector<std::string>{});
  EXPECT_TRUE(session.Program().providerServices.services.at(2).number.empty());
}

// The closed user group's code has three digits where the run's country is
// 47 and two elsewhere: read, limited, typed and written with that many.
TEST(ProviderServicesPageTest, GroupCodeDigitsFollowTheRunsCountry) {
  struct CountryCase {
    int country;
    unsigned adapterCode;
    const char* shown;
    const char* typed;
    const char* written;
  };
  const CountryCase cases[] = {
      {47, 7, "007", "4567", "AT%U1%U3%U5%U=456&W"},
      {47, 123, "123", "90", "AT%U1%U3%U5%U=90&W"},
      {44, 7, "07", "456", "AT%U1%U3%U5%U=45&W"},
  };
  for (const CountryCase& c : cases) {
    SCOPED_TRACE(c.country);
    const auto adapter = [&c] {
      sim::IsdnAdapterData data = sim::models::KometIIData();
      data.providerServices->groupCode = c.adapterCode;
      return sim::MakeIsdnAdapter(data);
    };
    WizardSession session{{adapter, kKometLine}};
    session.QuickGaps();
    session.Program().frame.countryCode = c.country;  // the user's locale
    session.Start();
    auto& host = session.Host();
    const W::HWND page = OpenServices(session, session.WaitForIdentifiedMenu());
    ASSERT_NE(page, W::kNullHwnd);
    ASSERT_TRUE(ShowEntry(session, page, 2301, 2316));
    EXPECT_EQ(host.Text(page, kCugCodeEdit), c.shown);
    ASSERT_TRUE(host.ReplaceText(page, kCugCodeEdit, ""));
    static_cast<void>(host.Type(page, kCugCodeEdit, c.typed));  // refused past the limit
    const std::size_t before = session.Commands(0).size();
    WriteAndLeave(session, page);
    const std::vector<std::string> written = From(session, before);
    EXPECT_NE(std::find(written.begin(), written.end(), c.written), written.end())
        << Lines(written);
    EXPECT_TRUE(session.Quit());
  }
}

// Two KOMET IIs in one run: the second opening offers and writes only what
// the second adapter answered, with its own portability character, data
// port and line functions.
TEST(ProviderServicesPageTest, SecondAdapterOfTheRunWritesOnlyItsOwnSettings) {
  const auto reservingStar = [] {
    sim::IsdnAdapterData data = sim::models::KometIIData();
    data.providerServices->reservedKey = '*';
    return sim::MakeIsdnAdapter(data);
  };
  const auto quiet = [] {
    sim::IsdnAdapterData data = sim::models::KometIIData();
    data.providerServices->dataPort = 0;
    data.providerServices->lineFunctionsOn = {false, false, true, false};
    return sim::MakeIsdnAdapter(data);
  };
  WizardSession session{{reservingStar, kKometLine + " A"},
                        {quiet, kKometLine + " B", Withdrawn({"*S2", "S202"})}};
  session.QuickGaps();
  session.Start();
  auto& host = session.Host();
  W::HWND list = session.WaitForPage(resources::kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  for (std::size_t product = 0; product < 2; ++product) {
    ASSERT_TRUE(host.WaitForVisible(list, resources::kNextArrowId, true, kPageWait));
    ASSERT_TRUE(host.SelectItem(list, products::kDeviceListControl, static_cast<int>(product)));
    ASSERT_TRUE(host.Click(list, resources::kNextArrowId));
    const W::HWND menu = testing::WaitForMainMenu(session);
    const W::HWND page = OpenServices(session, menu);
    ASSERT_NE(page, W::kNullHwnd);
    EXPECT_EQ(host.Text(page, 1193), product == 0 ? "#" : "*");
    const std::size_t before = session.Commands(product).size();
    if (product == 0) {
      ASSERT_TRUE(host.Click(page, resources::kCancelArrowId));
      const W::HWND settings = session.WaitForPage(resources::kKometSettingsPage);
      ASSERT_TRUE(testing::WaitForInput(session, settings));
      ASSERT_TRUE(host.Click(settings, resources::kBackArrowId));
      ASSERT_TRUE(
          host.Click(session.WaitForPage(resources::kMainMenuPage), resources::kBackArrowId));
      list = session.WaitForPage(resources::kProductListPage);
      EXPECT_EQ(From(session, before, product), std::vector<std::string>{});
      continue;
    }
    WriteAndLeave(session, page);
    const std::vector<std::string> written = From(session, before, product);
    EXPECT_TRUE(std::none_of(written.begin(), written.end(), [](const std::string& c) {
      return c.starts_with("AT*S2=") || c.starts_with("AT%U");
    })) << Lines(written);
    for (const char* expected : {"AT*3P0=0,0*3P1=0,1*3P2=1,2*3P3=0,3", "AT*DP=0", "AT*S10=0,*"}) {
      EXPECT_NE(std::find(written.begin(), written.end(), expected), written.end())
          << expected << "\n"
          << Lines(written);
    }
  }
  EXPECT_TRUE(session.Quit());
}

}  // namespace
}  // namespace norix::services
