// The frame every page lives in: the common set-up, the common handling of
// page messages, texts by number from the text module, and message boxes.
// All of them find the frame through the page window (FindFrame) and do
// nothing (or return 0 / "") for a window that has none. Pages written on
// the page kit (page_kit.h) get the set-up and the common handling from it.
#pragma once

#include <span>
#include <string>

#include "platform/window/messages.h"
#include "shell/page_chrome.h"

namespace norix::shell {

struct Frame;

// The placing of the common set-up alone: the first page of the run centred
// on the desktop, every later one at the previous page's top-left corner;
// brought to the front, shown, and made the current page window. False for
// a window without frame or desktop.
bool PlacePage(platform::window::HWND page);

// The common page set-up, first thing in every page's WM_INITDIALOG: places
// the page (the first page of the run centred on the desktop, every later
// one at the previous page's top-left corner), brings it to the front and
// shows it; caption text 2003; header 1027 in the header font with the
// selected product's name; the texts of `texts`; the labels of the big
// buttons of `buttons`; makes it the current page window with the arrow
// cursor.
void InitPage(platform::window::HWND page, std::span<const PageText> texts,
              std::span<const PageText> buttons);

// Every page procedure hands each message here first and returns a
// non-zero result at once:
// - page ready: posts new page up (wParam the page) to the main thread; 0,
//   so that the page does its own deferred start-up work;
// - close page: ends the dialog with 0; handled;
// - WM_DISPLAYCHANGE: the current page window posts display changed (same
//   parameters) to the main thread; handled. Other open pages leave it, so
//   that one change restarts the page once;
// - focus notifications of the arrow buttons: handled;
// - anything else: 0.
platform::window::LRESULT HandleCommonPageMessage(platform::window::HWND page,
                                                  platform::window::UINT message,
                                                  platform::window::WPARAM wParam,
                                                  platform::window::LPARAM lParam);

// A text of the program's text module as loaded into the 1024-character
// text buffer; "" when there is none.
[[nodiscard]] std::string LoadPageText(const Frame& frame, int textId);

// Loads text and caption and shows a message box with `style` |
// MB_TASKMODAL; blocks the calling thread until the user answers and
// returns the button (IDOK, IDYES, IDNO, ...), 0 when nothing could be
// shown. The first form needs no owner (start-up's messages).
int ShowMessage(Frame& frame, platform::window::HWND owner, int textId, int captionId,
                platform::window::UINT style);
int ShowMessage(platform::window::HWND owner, int textId, int captionId,
                platform::window::UINT style);

bool SetItemText(platform::window::HWND page, int control, int textId);
// Sends the text with `message` (wParam 0), e.g. CB_ADDSTRING to add it to a
// list; returns the control's answer, CB_ERR when there is no program.
platform::window::LRESULT SendItemText(platform::window::HWND page, int control,
                                       platform::window::UINT message, int textId);
bool SetWindowTextById(platform::window::HWND window, int textId);

}  // namespace norix::shell
