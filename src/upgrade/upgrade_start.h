// Upgrade start: what happens between "Upgrade" ('>' on the upgrade page,
// '<' on the older and same version pages, or a product found in rescue
// mode) and the page that shows the file's version against the product's.
// It decides by the product's upgrade kind, probes the port speed (or, for
// a modem in rescue mode, its model), lets the user choose the file and
// checks it. Every refusal shows its message and leads to the main menu;
// nothing reaches the product's flash here.
//
// Runs on the page's thread and blocks it: the exchanges (up to a few
// seconds each on a silent product), the message boxes, the pickers and the
// file dialog until the user answers.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "device/selected_product.h"
#include "link/modem_context.h"
#include "platform/window/messages.h"
#include "upgrade/upgrade_file_dialog.h"
#include "upgrade/upgrade_state.h"

namespace norix::upgrade {

// What upgrade start shows and asks.
struct UpgradeStartUi {
  // A message box (text number, style); returns the button.
  std::function<int(int textId, platform::window::UINT style)> message;
  // The modem model picker: 0 to 3, or -1 when cancelled.
  std::function<int()> pickModemModel;
  // The file dialog: the chosen path, or none when cancelled.
  std::function<std::optional<std::string>(const UpgradeFileDialogRequest& request)> chooseFile;
};

struct UpgradeStartRecords {
  link::ModemContext& context;  // its port, product name and versions
  device::SelectedProduct& product;
  UpgradeState& state;
  const UpgradeHooks& hooks;
};

// Texts of upgrade start.
inline constexpr int kMsgCannotOpenPort = 2009;
inline constexpr int kMsgPreviousAttemptFailed = 2106;
inline constexpr int kMsgUnsupportedSpeed = 2161;
inline constexpr int kMsgRemoveIsdnCord = 2201;

// The transfer speed of a speed index: 1 -> 115200, 2 -> 57600, 4 and 8 ->
// 14400; 0 for any other index.
[[nodiscard]] std::uint32_t TransferSpeed(int speedIndex);

// Runs upgrade start and returns the page to go to: the main menu, the
// older, same or newer version page, or the progress page (a rescue).
[[nodiscard]] int UpgradeStart(const UpgradeStartRecords& records, const UpgradeStartUi& ui);

// The name a product carries once an upgrade has left it in rescue mode:
// the KOMET II's, another ISDN adapter's, or a modem's.
[[nodiscard]] std::string_view RescueModeName(bool isdnAdapter, bool komet);

}  // namespace norix::upgrade
