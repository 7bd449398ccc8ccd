// The upgrade progress page as the display of an X-modem transfer: its
// progress bar and remaining-time texts, changed from the transfer's thread.
// Every call goes to the page's control model and returns at once; the page
// thread only paints.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/window/messages.h"
#include "upgrade/xmodem_progress.h"

namespace norix::upgrade {

class XmodemPageProgress final : public XmodemProgress {
 public:
  // The program's text of a string number (empty when it has none).
  using TextLoader = std::function<std::string(int textId)>;

  XmodemPageProgress(platform::window::HWND page, TextLoader loadText)
      : page_(page), loadText_(std::move(loadText)) {}

  void SetRange(int blocks) override;
  void SetItemText(int control, int textId) override;
  void SetText(int control, std::string_view text) override;
  void Step() override;

 private:
  platform::window::HWND page_;
  TextLoader loadText_;
};

}  // namespace norix::upgrade
