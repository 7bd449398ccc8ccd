#include "upgrade/xmodem_page_progress.h"

#include "platform/window/control_api.h"
#include "platform/window/window_api.h"

namespace norix::upgrade {

namespace window = platform::window;

// A page that has closed meanwhile makes these calls fail without effect;
// the transfer goes on regardless.

void XmodemPageProgress::SetRange(int blocks) {
  window::SetProgressRange(page_, kXmodemProgressBar, 0, blocks);
  window::SetProgressStep(page_, kXmodemProgressBar, 1);
  window::SetProgressPos(page_, kXmodemProgressBar, 0);
}

void XmodemPageProgress::SetItemText(int control, int textId) {
  window::SetDlgItemText(page_, control, loadText_ ? loadText_(textId) : std::string());
}

void XmodemPageProgress::SetText(int control, std::string_view text) {
  window::SetDlgItemText(page_, control, text);
}

void XmodemPageProgress::Step() { window::StepProgress(page_, kXmodemProgressBar); }

}  // namespace norix::upgrade
