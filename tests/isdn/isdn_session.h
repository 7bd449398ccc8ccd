// One simulated ISDN adapter on a pty, identified by the wizard, and the
// road to its number pages: main menu, Settings, the menu entry of the page.
// Tests read what the page shows, act on it as a user, and compare what the
// adapter heard since a mark.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/msn_exchange.h"
#include "isdn/komet_msn_page.h"
#include "isdn/setting_writes.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "utilities/settings_menus.h"
#include "wizard/wizard_flow.h"

namespace norix::isdn::testing {

using namespace norix::testing;
using Lines = std::vector<std::string>;
using device::kAdapterSlotStems;
using device::kPortSlotStems;

class IsdnSession {
 public:
  IsdnSession(const char* model, const std::string& line, sim::ProductOptions options = {})
      : session_{{SessionProduct(model, line, std::move(options))}} {
    session_.Start();
    // Identification ends before the test marks the transcript.
    menu_ = session_.WaitForIdentifiedMenu();
  }

  // Opens page `pageIndex` through its settings menu and waits until it has
  // read the adapter (or shows a message about the reading). A solano page
  // sends `solanoReads` queries (older firmware none); a KOMET II page hides
  // its "Please wait..." text once it has read.
  W::HWND Open(int pageIndex, std::optional<std::size_t> solanoReads = std::nullopt) {
    auto& host = session_.Host();
    const std::size_t before = Mark();
    const bool komet =
        pageIndex == resources::kKometMsnPage || pageIndex == resources::kKometLocalPage;
    const int menuPage = komet ? resources::kKometSettingsPage : resources::kSolanoSettingsPage;
    if (!inMenus_) {
      if (menu_ == W::kNullHwnd || !host.Click(menu_, products::kSettingsButton)) {
        return W::kNullHwnd;
      }
      inMenus_ = true;
    }
    const W::HWND settings = session_.WaitForPage(menuPage);
    if (settings == W::kNullHwnd) {
      return W::kNullHwnd;
    }
    if (komet) {
      const int radio =
          pageIndex == resources::kKometMsnPage ? utilities::kMsnButton : utilities::kLocalRadio;
      EXPECT_TRUE(host.Click(settings, radio));
      EXPECT_TRUE(host.Click(settings, resources::kNextArrowId));
    } else {
      EXPECT_TRUE(host.Click(settings, utilities::kMsnButton));
    }
    const W::HWND page = session_.WaitForPage(pageIndex);
    if (page == W::kNullHwnd) {
      return page;
    }
    // A message sent to the page is taken before the reading has begun, so
    // first wait for a sign that it has.
    if (komet) {
      EXPECT_TRUE(host.WaitForVisible(page, isdn::kKometWaitTextId, false, kPageWait));
    } else {
      const std::size_t reads =
          solanoReads.value_or(pageIndex == resources::kMsnSettingPage
                                   ? kAdapterSlotStems.size()
                                   : kAdapterSlotStems.size() + kPortSlotStems.size());
      EXPECT_TRUE(session_.WaitForLines(0, before + reads));
    }
    Settle(page);
    return page;
  }

  // Returns once the page has handled everything sent to it so far: the
  // page's thread takes a sent message only when it is done with its
  // exchanges or waits in a message box.
  static void Settle(W::HWND page) { W::SendMessage(page, W::WM_NULL, 0, 0); }

  [[nodiscard]] std::size_t Mark() const { return session_.Commands(0).size(); }
  [[nodiscard]] Lines Since(std::size_t mark) const {
    const Lines all = session_.Commands(0);
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(mark, all.size())), all.end()};
  }

  // Answers the next message box with OK; its text, "" when none came.
  std::string Answer() {
    const auto box = session_.AnswerMessage(W::IDOK);
    EXPECT_TRUE(box.has_value());
    return box ? box->text : std::string();
  }
  // Answers a message box of `page`, and waits until the page takes input
  // again.
  std::string AnswerOn(W::HWND page) {
    std::string text = Answer();
    EXPECT_TRUE(WaitForInput(session_, page));
    return text;
  }
  // Clicks OK on the page and answers the message that follows.
  std::string Ok(W::HWND page) {
    EXPECT_TRUE(WaitForInput(session_, page));
    EXPECT_TRUE(session_.Host().Click(page, resources::kOkArrowId));
    return Answer();
  }
  // Leaves the page with 'X' for its settings menu.
  void Cancel(W::HWND page) {
    EXPECT_TRUE(WaitForInput(session_, page));
    EXPECT_TRUE(session_.Host().Click(page, resources::kCancelArrowId));
  }

  [[nodiscard]] std::string Text(int id) { return norix::testing::Text(session_, id); }
  [[nodiscard]] std::string Text(int id, std::string_view argument) {
    return FillText(Text(id), argument);
  }

  W::HeadlessHost& Host() { return session_.Host(); }
  WizardSession& Session() { return session_; }

 private:
  WizardSession session_;
  W::HWND menu_ = W::kNullHwnd;
  bool inMenus_ = false;
};

inline sim::ProductOptions Presets(Lines commands, Lines failing = {}, Lines unanswered = {}) {
  sim::ProductOptions options;
  options.presetCommands = std::move(commands);
  options.failingCommands = std::move(failing);
  options.unansweredCommands = std::move(unanswered);
  return options;
}

}  // namespace norix::isdn::testing
