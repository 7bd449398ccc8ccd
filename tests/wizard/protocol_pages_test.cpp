// The KOMET II's Protocols page and protocol choice page over ptys: the
// choices and BOD numbers as the page corrects them, the string they leave
// with the driver init store, a store that cannot be written, and what
// norix-probe --dialer then hands to the diallers.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "isdn/init_string.h"
#include "isdn/protocol_choice_page.h"
#include "isdn/protocols_page.h"
#include "platform/registry/driver_key.h"
#include "platform/registry/registry.h"
#include "platform/registry/store_file.h"
#include "platform/window/control_api.h"
#include "support/temp_dir.h"
#include "utilities/settings_menus.h"
#include "wizard/wizard_flow.h"

namespace norix::testing {
namespace {

namespace R = platform::registry;
using namespace isdn;

const std::string kDriverKey = R::ModemDriverKey(1);
const R::DriverInfo kDriver{"norix.inf", "1-2-2003", {"ATZ<cr>", "ATE0V1<cr>"}};

// The KOMET II menu (from the main menu when `settings` is none) ->
// Protocols.
W::HWND OpenProtocols(WizardSession& session, W::HWND settings = W::kNullHwnd) {
  auto& host = session.Host();
  if (settings == W::kNullHwnd) {
    const W::HWND menu = WaitForMainMenu(session);
    EXPECT_TRUE(host.Click(menu, kSettingsButton));
    settings = session.WaitForPage(resources::kKometSettingsPage);
  }
  EXPECT_TRUE(host.Click(settings, utilities::kProtocolsRadio));
  EXPECT_TRUE(host.Click(settings, resources::kNextArrowId));
  const W::HWND page = session.WaitForPage(resources::kProtocolsPage);
  // The page is filled once its description is shown.
  EXPECT_TRUE(
      host.WaitUntil([&] { return !host.Text(page, kProtocolDescription).empty(); }, kPageWait));
  return page;
}

// The store's own "Init" value and "InitPrevious"\"1" of the driver.
std::pair<std::string, std::string> Stored(R::Registry& registry) {
  const R::KeyNode root = registry.Snapshot();
  const auto driver = R::SplitKeyPath("HKEY_LOCAL_MACHINE\\" + kDriverKey);
  const R::KeyNode* key = R::FindKey(root, *driver);
  if (key == nullptr || key->FindSubkey("Init") == nullptr) return {};
  const R::KeyNode* previous = key->FindSubkey("InitPrevious");
  const R::RegValue* one = previous != nullptr ? previous->FindValue("1") : nullptr;
  const auto& init = key->FindSubkey("Init")->values;
  return {init.empty() ? "" : init.back().data, one != nullptr ? one->data : "<none>"};
}

std::string RunDialer(const TempDir& dir, const std::string& port) {
  const auto lines = dir.Write("lines.conf", "[line]\nname = NORIX KOMET II\nport = " + port +
                                                 "\ndriver-key = " + kDriverKey + "\n");
  std::filesystem::create_directories(dir.Path() / "by-id");
  const std::string command = "XDG_CONFIG_HOME=" + dir.Path().string() + " " NORIX_PROBE_PATH +
                              " --dialer --lines " + lines.string() + " --by-id " +
                              (dir.Path() / "by-id").string() + " 2>&1";
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return "#popen failed";
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  EXPECT_EQ(::pclose(pipe), 0) << output;
  return output;
}

// A KOMET II whose line device names the driver key kDriverKey.
SessionProduct Komet(const char* model) {
  SessionProduct komet(model, kKometLine);
  komet.driver = kDriver;
  return komet;
}

// The pages keep their strings in a store file of the test's own, where
// norix-probe finds it under XDG_CONFIG_HOME.
class ProtocolPagesTest : public ::testing::Test {
 protected:
  void UseRegistry(WizardSession& session) {
    ASSERT_EQ(R::SeedDriverKey(registry_, kDriverKey, kDriver), R::ERROR_SUCCESS);
    session.Program().frame.registry = &registry_;
  }

  TempDir dir_;
  R::Registry registry_{(dir_.Path() / "norix" / "registry.reg").string()};
};

TEST_F(ProtocolPagesTest, ChoicesAndBodNumbersReachTheStoreAndTheDialler) {
  WizardSession session{Komet("komet2")};
  UseRegistry(session);
  session.Start();
  auto& host = session.Host();
  W::HWND page = OpenProtocols(session);
  ASSERT_NE(page, W::kNullHwnd);
  // The pages only keep the choice for the dialler: the adapter hears nothing.
  const std::vector<std::string> heard = session.Commands(0);

  // Nothing stored yet: PPP on one channel with the default numbers.
  EXPECT_TRUE(host.IsChecked(page, kOneChannelRadio));
  EXPECT_EQ(host.Text(page, kProtocolDescription), Text(session, 2233));
  EXPECT_TRUE(host.IsVisible(page, kOtherButton));
  EXPECT_FALSE(host.IsVisible(page, kSaveAsButton));
  EXPECT_FALSE(host.IsEnabled(page, kBodCheck));
  for (const auto& [field, shown] :
       std::vector<std::pair<BodField, std::string>>{{kOpenDelayField, "5"},
                                                     {kCloseDelayField, "30"},
                                                     {kOpenThresholdField, "48"},
                                                     {kCloseThresholdField, "30"}}) {
    EXPECT_EQ(host.Text(page, field.control), shown);
    EXPECT_FALSE(host.IsEnabled(page, field.control));
  }

  // Two channels with BOD: the numbers can be typed.
  ASSERT_TRUE(host.Click(page, kTwoChannelsRadio));
  ASSERT_TRUE(host.WaitForEnabled(page, kBodCheck, true, kPageWait));
  ASSERT_TRUE(host.Click(page, kBodCheck));
  // The labels are enabled after the fields.
  ASSERT_TRUE(host.WaitForEnabled(page, kLastBodLabel, true, kPageWait));

  // A number is corrected when the field is left.
  struct Typed {
    BodField field;
    const char* typed;
    const char* shown;
  };
  for (const Typed& t :
       {Typed{kOpenDelayField, "300", "255"}, Typed{kOpenThresholdField, "10", "32"},
        Typed{kOpenThresholdField, "32", "32"}, Typed{kOpenThresholdField, "40", "40"},
        Typed{kCloseThresholdField, "0", "0"}, Typed{kCloseDelayField, "", "0"}}) {
    ASSERT_TRUE(host.ReplaceText(page, t.field.control, t.typed));
    ASSERT_TRUE(host.Focus(page, t.field.control));
    ASSERT_TRUE(host.Focus(page, kOpenDelayField.control == t.field.control
                                     ? kCloseDelayField.control
                                     : kOpenDelayField.control));
    EXPECT_TRUE(host.WaitForText(page, t.field.control, t.shown, kPageWait)) << t.typed;
  }

  // Text that is more than digits (pasted past the typing filter) is
  // refused, not written.
  ASSERT_TRUE(W::SetDlgItemText(page, kCloseDelayField.control, "9S0=1"));
  ASSERT_TRUE(host.Click(page, resources::kOkArrowId));
  auto box = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(box);
  EXPECT_EQ(session.TextId(*box), kBodDigitsOnlyText);
  ASSERT_TRUE(WaitForInput(session, page));
  EXPECT_EQ(Stored(registry_).first, "ATE0V1<cr>");

  // Numbers typed and never left are read at OK as well.
  ASSERT_TRUE(host.ReplaceText(page, kCloseDelayField.control, "45"));
  ASSERT_TRUE(host.ReplaceText(page, kOpenThresholdField.control, "9"));
  ASSERT_TRUE(host.ReplaceText(page, kCloseThresholdField.control, "40"));
  ASSERT_TRUE(host.Click(page, resources::kOkArrowId));
  const W::HWND settings = session.WaitForPage(resources::kKometSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  const std::string bod = "AT&B2%B7S161=255S162=45S163=32S164=31*CB0\\P1<cr>";
  EXPECT_EQ(Stored(registry_), std::make_pair(bod, std::string("<none>")));

  // Opened again, the page shows what it stored; "Other" offers the
  // protocols of the feature word 1FBC.
  page = OpenProtocols(session, settings);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_TRUE(host.IsChecked(page, kTwoChannelsRadio));
  EXPECT_TRUE(host.IsChecked(page, kBodCheck));
  EXPECT_EQ(host.Text(page, kCloseDelayField.control), "45");
  ASSERT_TRUE(host.Click(page, kOtherButton));
  const W::HWND choice = session.WaitForPage(resources::kProtocolChoicePage);
  ASSERT_NE(choice, W::kNullHwnd);
  // The last row is hidden last.
  ASSERT_TRUE(host.WaitForVisible(choice, 1151, false, kPageWait));
  std::vector<int> shown;
  for (const ProtocolChoice& c : kProtocolChoices) {
    if (host.IsVisible(choice, c.radio)) shown.push_back(c.radio);
  }
  EXPECT_EQ(shown, (std::vector<int>{1147, 1134, 1144, 1137, 1141, 1126, 1145}));
  EXPECT_TRUE(host.IsChecked(choice, 1147));
  ASSERT_TRUE(host.Hover(choice, 1126));
  EXPECT_TRUE(host.WaitForText(choice, kChoiceDescription,
                               "Enable X.75 Multilinkprotocol. " + Text(session, kMultilinkText),
                               kPageWait));
  ASSERT_TRUE(host.Hover(choice, 1137));
  EXPECT_TRUE(host.WaitForText(choice, kChoiceDescription, "Enable X.75 protocol. ", kPageWait));

  // X.75 Multilink replaces PPP: one channel, which is now the protocol's
  // business.
  ASSERT_TRUE(host.Click(choice, 1126));
  ASSERT_TRUE(host.Click(choice, resources::kOkArrowId));
  page = session.WaitForPage(resources::kProtocolsPage);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_TRUE(host.WaitForEnabled(page, kTwoChannelsRadio, false, kPageWait));
  EXPECT_TRUE(host.IsChecked(page, kOneChannelRadio));
  EXPECT_FALSE(host.IsEnabled(page, kOneChannelRadio));
  EXPECT_FALSE(host.IsEnabled(page, kBodCheck));
  ASSERT_TRUE(host.Click(page, resources::kOkArrowId));
  ASSERT_NE(session.WaitForPage(resources::kKometSettingsPage), W::kNullHwnd);
  EXPECT_EQ(Stored(registry_), std::make_pair(std::string("AT&B0%B2\\P3<cr>"), bod));
  EXPECT_EQ(session.Commands(0), heard);

  // The port is the memory line's name: --dialer opens no port.
  std::string expected = R"(# wvdial.conf
# NORIX KOMET II on PORT: wvdial norix0
[Dialer norix0]
Modem = PORT
Baud = 115200
Init1 = ATZ
Init2 = ATE0V1
Init3 = AT&B0%B2\P3

# chat scripts for pppd

# NORIX KOMET II on PORT: chat script for pppd (115200 bit/s)
ABORT 'NO CARRIER'
ABORT 'NO DIALTONE'
ABORT 'BUSY'
ABORT 'ERROR'
'' 'ATZ'
OK 'ATE0V1'
OK 'AT&B0%B2\\P3'
# then dial: OK 'ATD<number>' CONNECT ''
)";
  const std::string port = session.PortPath(0);
  for (std::size_t at = expected.find("PORT"); at != std::string::npos;
       at = expected.find("PORT", at + port.size())) {
    expected.replace(at, 4, port);
  }
  EXPECT_EQ(RunDialer(dir_, port), expected);
  EXPECT_TRUE(session.Quit());
}

// Early firmware reports no feature word: PPP and HDLC only, no call
// bumping, no BOD. Its store file is damaged, so OK cannot keep the choice:
// the page says so and stays with it.
TEST_F(ProtocolPagesTest, EarlyFirmwareAndAStoreThatCannotBeWritten) {
  const std::string damaged =
      "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\" + kDriverKey +
      "\\Init]\n\"1\"=\"ATZ<cr>\"\n\n[HKEY_LOCAL_MACHINE\\Other]\n\"x\"=\"unterminated\n";
  dir_.Write("norix/registry.reg", damaged);
  WizardSession session{Komet("komet2-early")};
  session.Program().frame.registry = &registry_;
  session.Start();
  auto& host = session.Host();
  W::HWND page = OpenProtocols(session);
  ASSERT_NE(page, W::kNullHwnd);
  ASSERT_TRUE(host.WaitForVisible(page, kOtherButton, true, kPageWait));
  EXPECT_FALSE(host.IsVisible(page, kCallBumpingCheck));
  ASSERT_TRUE(host.Click(page, kTwoChannelsRadio));
  ASSERT_TRUE(host.WaitForEnabled(page, kCallBumpingCheck, true, kPageWait));
  EXPECT_FALSE(host.IsEnabled(page, kBodCheck));

  ASSERT_TRUE(host.Click(page, kOtherButton));
  const W::HWND choice = session.WaitForPage(resources::kProtocolChoicePage);
  ASSERT_NE(choice, W::kNullHwnd);
  ASSERT_TRUE(host.WaitForVisible(choice, 1151, false, kPageWait));
  for (const ProtocolChoice& c : kProtocolChoices) {
    EXPECT_EQ(host.IsVisible(choice, c.radio), c.radio == 1147 || c.radio == 1141) << c.radio;
  }
  // X keeps the edited choice: two channels.
  ASSERT_TRUE(host.Click(choice, resources::kCancelArrowId));
  page = session.WaitForPage(resources::kProtocolsPage);
  ASSERT_NE(page, W::kNullHwnd);
  ASSERT_TRUE(host.WaitUntil([&] { return host.IsChecked(page, kTwoChannelsRadio); }, kPageWait));

  ASSERT_TRUE(host.Click(page, resources::kOkArrowId));
  auto box = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(box);
  EXPECT_EQ(session.TextId(*box), kInitStoreFailedText);
  ASSERT_TRUE(WaitForInput(session, page));
  EXPECT_TRUE(host.IsChecked(page, kTwoChannelsRadio));
  EXPECT_EQ(R::ReadWholeFile(registry_.StorePath(), 1 << 20).text, damaged);
  EXPECT_EQ(session.Program().initStringStore.current, "");

  // Without a registry the device has no driver settings to keep it in.
  session.Program().frame.registry = nullptr;
  ASSERT_TRUE(host.Click(page, resources::kOkArrowId));
  box = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(box);
  EXPECT_EQ(session.TextId(*box), kNoDriverSettingsText);
  EXPECT_TRUE(session.Quit());
}

}  // namespace
}  // namespace norix::testing
