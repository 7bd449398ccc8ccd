// The upgrade pages on the headless host with a modem on an in-memory line:
// the file chosen on the upgrade page, the version pages, the progress page
// with its worker, the question when the window is closed during the
// transfer, and the product identified anew afterwards.
#include "upgrade/upgrade_pages.h"

#include <filesystem>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/register_pages.h"
#include "platform/window/desktop.h"
#include "platform/window/headless_host.h"
#include "platform/window/message_loop.h"
#include "platform/window/template_registry.h"
#include "platform/window/window_api.h"
#include "resources/dialogs/dialog_templates.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"
#include "shell/page_messages.h"
#include "support/quick_transfer_clock.h"
#include "support/temp_dir.h"
#include "transfer_fixture.h"
#include "upgrade/modem_transfer.h"
#include "upgrade/progress_page.h"

namespace norix::upgrade::testing {
namespace {

using namespace std::chrono_literals;
constexpr auto kWait = 30s;

class UpgradePagesTest : public ::testing::Test {
 protected:
  UpgradePagesTest() {
    resources::dialogs::RegisterDialogTemplates(templates_);
    program_.frame.desktop = &desktop_;
    app::RegisterPages(program_);
    // The main menu is a stand-in that opens the page under test once.
    program_.frame.pages.Register(
        resources::kMainMenuPage,
        [this](W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) -> W::LRESULT {
          if (const W::LRESULT handled =
                  shell::HandleCommonPageMessage(page, message, wParam, lParam)) {
            return handled;
          }
          if (message == W::WM_INITDIALOG) {
            shell::InitPage(page, {}, {});
            W::PostMessage(page, shell::kPageReady, 0, 0);
            return 1;
          }
          if (message == shell::kPageReady && menus_++ == 0) {
            shell::GoToPage(page, resources::kUpgradeStartPage);
          }
          return message == shell::kPageReady ? 1 : 0;
        });
  }
  UpgradePagesTest(const UpgradePagesTest&) = delete;
  UpgradePagesTest& operator=(const UpgradePagesTest&) = delete;
  UpgradePagesTest(UpgradePagesTest&&) = delete;
  UpgradePagesTest& operator=(UpgradePagesTest&&) = delete;

 public:
  ~UpgradePagesTest() override {
    if (main_.joinable()) {
      W::PostThreadMessage(program_.frame.navigator.MainThread(), shell::kPageRequest, 0,
                           resources::kQuitPage);
      main_.join();
    }
  }

 protected:
  // A corvid 560 with V1.40 on the line, identified as selecting it does,
  // and the upgrade file of `version` for it; then the upgrade page.
  void Start(const std::string& version, LoaderScript script = {}) {
    UpgradeFileRecipe recipe = ModemRecipe(1500, 6000);
    recipe.name = "NORIX corvid 560 Voice";
    recipe.version = version;
    recipe.modemChecksum = "3A7F";
    const auto file = Build(recipe);
    path_ = folder_.Write("C560V150.LFU", std::string(file.begin(), file.end())).string();
    UpgradeImage image = MakeUpgradeImage(file);
    ASSERT_TRUE(CutImage(image, FileLayout::Modem).ok());
    script.loaderBytes = image.loaderEnd - image.loaderStart;
    script.firmwareBytes = image.firmwareEnd - image.firmwareStart + 1;
    firmware_ = image.firmwareEnd - image.firmwareStart + 1 + 8;
    modem_ = std::make_unique<ModemOnLine>(script);

    auto context = std::make_unique<link::ModemContext>();
    context->port = std::move(modem_->host);
    context->productName = "NORIX Corvid 560 Voice ";
    context->firmwareVersion = "1.40";
    context->firmwareVersionNumber = 140;
    context->devices.push_back({"NORIX corvid 560 Voice", 0});
    program_.frame.context = std::move(context);
    program_.product.ident.SetText("NORIX corvid 560 Voice V1.40");
    program_.upgradeHooks.parseIdentification = [this](std::string_view ident,
                                                       link::ModemContext& identified) {
      parsed_ = std::string(ident);
      identified.firmwareVersion = "1.50";
      identified.firmwareVersionNumber = 150;
    };
    shell::BuildGraphics(program_.frame.chrome, program_.frame.texts);
    main_ =
        std::thread([this] { shell::RunNavigator(program_.frame, [](link::ModemContext&) {}); });
  }

  // From the upgrade page through the file dialog to the page it leads to.
  W::HWND ChooseFile(int expectedPage) {
    const W::HWND start = host_.WaitForDialog(resources::kUpgradeStartTemplate, kWait);
    EXPECT_NE(start, W::kNullHwnd);
    EXPECT_EQ(host_.Text(start, kVersionValueId), "1.40");
    EXPECT_TRUE(host_.Click(start, resources::kNextArrowId));
    EXPECT_TRUE(host_.AnswerFileDialog(path_, kWait).has_value());
    return host_.WaitForDialog(resources::kPageTemplates[static_cast<std::size_t>(expectedPage)],
                               kWait);
  }

  int AnswerBox(int button) {
    const auto box = host_.AnswerMessageBox(button, kWait);
    EXPECT_TRUE(box.has_value());
    for (int id = 2001; box && id <= 2599; ++id) {
      if (program_.frame.texts.LoadText(id, 512) == box->text) {
        return id;
      }
    }
    return 0;
  }

  [[nodiscard]] std::string Text(int id) const { return program_.frame.texts.LoadText(id, 512); }

  W::TemplateRegistry templates_;
  W::HeadlessHost host_;
  W::Desktop desktop_{host_, templates_};
  norix::testing::TempDir folder_;
  app::Program program_;
  std::unique_ptr<ModemOnLine> modem_;
  std::string path_;
  std::string parsed_;
  std::size_t firmware_ = 0;
  std::atomic<int> menus_{0};
  std::thread main_;
};

TEST_F(UpgradePagesTest, ANewerFileUpgradesTheModemAndTheProductIsIdentifiedAnew) {
  // The transfer's pauses take no time (the closing test below keeps them,
  // to close the window while the transfer runs).
  program_.upgradeHooks.makeClock = [](shell::StopSignal* stop) {
    return std::make_unique<norix::testing::QuickTransferClock>(stop);
  };
  Start("1.50");
  const W::HWND newer = ChooseFile(resources::kUpgradeNewerPage);
  ASSERT_NE(newer, W::kNullHwnd);
  EXPECT_EQ(host_.Text(newer, kVersionLabelId), Text(2069));
  ASSERT_TRUE(host_.Click(newer, resources::kNextArrowId));
  const W::HWND progress = host_.WaitForDialog(resources::kUpgradeProgressTemplate, kWait);
  ASSERT_NE(progress, W::kNullHwnd);
  EXPECT_EQ(host_.Text(progress, kProgressHeadingId), Text(2149));

  // The outcome comes while the page still shows the transfer's last state.
  const auto box = host_.WaitForMessageBox(kWait);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, Text(2157));
  EXPECT_EQ(host_.Text(progress, kProgressStatusId), Text(2157));
  EXPECT_TRUE(program_.upgrade.running);
  ASSERT_EQ(AnswerBox(W::IDOK), 2157);

  ASSERT_TRUE(host_.WaitUntil([&] { return menus_ == 2; }, kWait));
  EXPECT_FALSE(program_.upgrade.running);
  EXPECT_EQ(parsed_, "NORIX corvid 560 Voice V1.50");
  EXPECT_EQ(program_.frame.context->firmwareVersionNumber, 150);
  EXPECT_EQ(modem_->peer->Record().firmware.size(), firmware_);
  EXPECT_FALSE(program_.product.rescue.damaged);
}

struct VersionPageCase {
  const char* version;  // of the file; the modem has 1.40
  int page;
  int textControl;
  int textId;
};

class VersionPageTest : public UpgradePagesTest,
                        public ::testing::WithParamInterface<VersionPageCase> {};

TEST_P(VersionPageTest, BackOpensTheFileDialogAgain) {
  const VersionPageCase& c = GetParam();
  Start(c.version);
  const W::HWND page = ChooseFile(c.page);
  ASSERT_NE(page, W::kNullHwnd);
  EXPECT_EQ(host_.Text(page, c.textControl), Text(c.textId));
  EXPECT_EQ(host_.Text(page, kVersionValueId), "1.40");
  ASSERT_TRUE(host_.Click(page, resources::kBackArrowId));
  const auto dialog = host_.AnswerFileDialog(std::nullopt, kWait);
  ASSERT_TRUE(dialog.has_value());
  // The dialog opens where the last file was chosen.
  EXPECT_EQ(dialog->request.initialDir, folder_.Path().string());
  EXPECT_TRUE(host_.WaitUntil([&] { return menus_ == 2; }, kWait));
}

INSTANTIATE_TEST_SUITE_P(OlderAndSame, VersionPageTest,
                         ::testing::Values(VersionPageCase{"1.30", resources::kUpgradeOlderPage,
                                                           1061, 2147},
                                           VersionPageCase{"1.40", resources::kUpgradeSamePage,
                                                           kSameVersionTextId, 2154}));

TEST_F(UpgradePagesTest, ClosingTheWindowDuringTheTransferAsksFirst) {
  Start("1.50");
  const W::HWND newer = ChooseFile(resources::kUpgradeNewerPage);
  ASSERT_NE(newer, W::kNullHwnd);
  ASSERT_TRUE(host_.Click(newer, resources::kNextArrowId));
  const W::HWND progress = host_.WaitForDialog(resources::kUpgradeProgressTemplate, kWait);
  ASSERT_NE(progress, W::kNullHwnd);
  // Once the flash loader goes out, the product is no longer what it was.
  ASSERT_TRUE(host_.WaitUntil(
      [&] { return host_.Text(progress, kProgressStatusId) == Text(kStatusLoader); }, kWait));

  ASSERT_TRUE(host_.Close(progress));
  EXPECT_EQ(AnswerBox(W::IDNO), kMsgCloseDuringUpgrade);
  // The page takes input again once its box has gone.
  ASSERT_TRUE(host_.WaitUntil(
      [&] {
        const auto state = W::GetWindowState(progress);
        return state && state->enabled;
      },
      kWait));
  ASSERT_TRUE(host_.Close(progress));
  EXPECT_EQ(AnswerBox(W::IDYES), kMsgCloseDuringUpgrade);
  main_.join();  // the run ends: the worker was stopped first
  EXPECT_FALSE(program_.upgrade.running);
  // The product left half-programmed is damaged, or already carries the
  // rescue-mode name the damage turns into when the finish came first.
  EXPECT_TRUE(program_.product.rescue.damaged ||
              program_.frame.context->productName == "NORIX Modem Rescue Mode")
      << program_.frame.context->productName;
  EXPECT_LT(modem_->peer->Record().firmware.size(), firmware_);
  for (const auto& shown : host_.MessageBoxes()) {
    EXPECT_EQ(shown.text, Text(kMsgCloseDuringUpgrade)) << "nothing else was shown";
  }
}

TEST_F(UpgradePagesTest, AFileGoneBeforeTheTransferLeadsToTheMainMenu) {
  Start("1.50");
  const W::HWND newer = ChooseFile(resources::kUpgradeNewerPage);
  ASSERT_NE(newer, W::kNullHwnd);
  std::filesystem::remove(path_);
  ASSERT_TRUE(host_.Click(newer, resources::kNextArrowId));
  const auto open = host_.AnswerMessageBox(W::IDOK, kWait);
  ASSERT_TRUE(open.has_value());
  EXPECT_EQ(open->text, "File open failed.");
  EXPECT_EQ(AnswerBox(W::IDOK), 2036);
  EXPECT_TRUE(host_.WaitUntil([&] { return menus_ == 2; }, kWait));
  EXPECT_TRUE(modem_->peer->Record().loader.empty());
}

}  // namespace
}  // namespace norix::upgrade::testing
