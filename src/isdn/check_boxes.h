// Tick boxes and radio buttons of the ISDN pages, read and set as yes or no.
#pragma once

#include "platform/window/control_api.h"
#include "platform/window/messages.h"

namespace norix::isdn {

[[nodiscard]] inline bool IsTicked(platform::window::HWND page, int box) {
  return platform::window::IsDlgButtonChecked(page, box) == platform::window::BST_CHECKED;
}

inline void SetTicked(platform::window::HWND page, int box, bool on) {
  platform::window::CheckDlgButton(
      page, box, on ? platform::window::BST_CHECKED : platform::window::BST_UNCHECKED);
}

}  // namespace norix::isdn
