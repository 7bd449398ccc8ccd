// The progress page (kUpgradeProgressPage): loads and cuts the chosen
// file, starts the worker that upgrades the product, shows its progress,
// and when the worker's finish message comes, identifies the product anew
// and leads to the main menu or the nationality page. Closing the window
// while the worker runs asks first: the product would be left in rescue
// mode.
#pragma once

#include <string>
#include <string_view>

#include "device/selected_product.h"
#include "shell/frame.h"
#include "shell/page_table.h"
#include "shell/worker.h"
#include "upgrade/upgrade_state.h"
#include "upgrade/upgrade_view.h"

namespace norix::upgrade {

// Texts of our own.
inline constexpr int kMsgCloseDuringUpgrade = 2410;
inline constexpr int kMsgIsdnUpgradeMissing = 2411;
// "Unknown product type".
inline constexpr int kMsgUnknownProductType = 2141;

void RegisterProgressPage(shell::PageTable& pages, device::SelectedProduct& product,
                          UpgradeState& state, const UpgradeHooks& hooks);

// The progress page as the view of a transfer running on the worker's
// thread: its controls, and message boxes it owns. Once `stop` is
// requested no more message boxes are shown (they answer 0).
class ProgressPageView final : public UpgradeView {
 public:
  ProgressPageView(shell::Frame& frame, platform::window::HWND page, const shell::StopSignal& stop)
      : frame_(frame), page_(page), stop_(stop) {}

  void SetRange(int blocks) override;
  void SetItemText(int control, int textId) override;
  void SetText(int control, std::string_view text) override;
  void Step() override;
  int Message(int textId, platform::window::UINT style) override;
  int MessageText(std::string_view text, platform::window::UINT style) override;
  [[nodiscard]] std::string Text(int textId) const override;
  [[nodiscard]] int PickIsdnModel() override;

 private:
  shell::Frame& frame_;
  platform::window::HWND page_;
  const shell::StopSignal& stop_;
};

}  // namespace norix::upgrade
