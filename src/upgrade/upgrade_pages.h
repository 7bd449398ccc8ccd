// The upgrade pages: the upgrade page (kUpgradeStartPage), the choice of the
// part of a two-component adapter (kUpgradeChoosePartPage), the older,
// same and newer version pages, and the progress page
// (kUpgradeProgressPage, progress_page.h). '>' on the first two and '<' on
// the older and same version pages run upgrade start, which decides the
// next page.
#pragma once

#include "device/selected_product.h"
#include "platform/window/messages.h"
#include "shell/frame.h"
#include "shell/page_table.h"
#include "upgrade/upgrade_state.h"

namespace norix::upgrade {

// Controls of the upgrade pages.
inline constexpr int kVersionLabelId = 1074;  // "The current version of your ... is:"
inline constexpr int kVersionValueId = 1028;
inline constexpr int kFileRequestTextId = 1049;
inline constexpr int kManualTextId = 1050;
inline constexpr int kChoosePartTextId = 1051;
inline constexpr int kIsdnVersionLabelId = 1073;
inline constexpr int kIsdnVersionValueId = 1029;
inline constexpr int kModemVersionValueId = 1075;
inline constexpr int kIsdnRadioId = 1071;
inline constexpr int kModemRadioId = 1070;
inline constexpr int kSameVersionTextId = 1076;
inline constexpr int kSameVersionHintId = 1078;

// Registers the pages 17 to 22. The records must outlive the navigator run.
void RegisterUpgradePages(shell::PageTable& pages, device::SelectedProduct& product,
                          UpgradeState& state, const UpgradeHooks& hooks);

// Upgrade start on `page` with the page's message boxes, the modem model
// picker and the file dialog; returns the page to go to. Product selection
// runs it for a product found in rescue mode.
[[nodiscard]] int StartUpgradeOnPage(shell::Frame& frame, platform::window::HWND page,
                                     device::SelectedProduct& product, UpgradeState& state,
                                     const UpgradeHooks& hooks);

}  // namespace norix::upgrade
