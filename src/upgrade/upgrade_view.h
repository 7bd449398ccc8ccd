// What an upgrade transfer shows and asks while it runs on the worker's
// thread: the progress page's bar, status and remaining-time texts (the
// X-modem display), and message boxes owned by the page. Every call returns
// at once except the message boxes, which block until the user answers.
#pragma once

#include <string>
#include <string_view>

#include "platform/window/messages.h"
#include "upgrade/xmodem_progress.h"

namespace norix::upgrade {

// Controls of the progress page (dialog 116) besides the X-modem ones.
inline constexpr int kProgressStatusId = 1037;
inline constexpr int kProgressHeadingId = 1078;
inline constexpr int kProgressWarningId = 1079;

class UpgradeView : public XmodemProgress {
 public:
  // A message box with text `textId`, the program's caption and `style`;
  // returns the button (IDOK, IDYES, ...), 0 when nothing was shown.
  virtual int Message(int textId, platform::window::UINT style) = 0;
  // The same with a text already made (a text with values filled in).
  virtual int MessageText(std::string_view text, platform::window::UINT style) = 0;
  // The program's text of a string number, "" when there is none.
  [[nodiscard]] virtual std::string Text(int textId) const = 0;
  // The ISDN model picker over the page: the line chosen (0 "solano 1280i
  // a/b", 1 "solano 1280i", 2 "solano 1280mi"), -1 when it was not shown.
  [[nodiscard]] virtual int PickIsdnModel() { return -1; }
};

}  // namespace norix::upgrade
