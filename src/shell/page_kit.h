// The page kit: how every page of the wizard is written. A page is a
// description (its texts and big buttons for InitPage, where its arrows and
// Esc lead) and a class with its own hooks (init, page ready, command, its
// own messages, close). The kit's dialog procedure does the rest: the common
// page handling, the set-up, page ready, the routing of the arrows and Esc,
// and the page object's life: it makes one object per opening of the page
// and deletes it when the page closes, so the object is the typed home of
// whatever the open page keeps (a worker, a timer's state).
//
//   class AtCommandPage final : public shell::Page {
//    public:
//     explicit AtCommandPage(Records& records) : records_(records) {}
//     void OnReady() override { ... }
//     bool OnCommand(int id, unsigned code) override { ... }
//    private:
//     Records& records_;
//   };
//   shell::RegisterPage<AtCommandPage>(pages, kAtCommandPage, kDescription, records);
//
// Hooks run on the page's thread, one at a time; a hook that blocks (an AT
// exchange, a message box) blocks only its page. While a hook waits, the
// page may be closed by the navigator: the kit then calls OnClose at once
// and deletes the object only after the hook has returned.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <utility>

#include "platform/window/messages.h"
#include "resources/resource_ids.h"
#include "shell/frame.h"
#include "shell/page_chrome.h"
#include "shell/page_table.h"

namespace norix::platform::comm {
class Port;
}

namespace norix::shell {

// An arrow (or Esc) that the description leaves to the page's OnCommand.
inline constexpr int kNoTarget = -2;

struct PageDescription {
  // Texts and big button labels that InitPage sets.
  std::span<const PageText> texts{};
  std::span<const PageText> buttons{};
  // False: the page keeps its template's title and has no header; it is
  // only placed and made the current page (the product list).
  bool commonSetUp = true;
  // Where a click on '<', '>', 'X' and 'V' leads (a page index or
  // resources::kQuitPage), asked of CanLeave first; kNoTarget: to OnCommand.
  int back = kNoTarget;
  int next = kNoTarget;
  int cancel = kNoTarget;
  int ok = kNoTarget;
  // Where Esc (command IDCANCEL, whatever its notification) leads.
  int escape = resources::kQuitPage;
};

class Page;
using PageFactory = std::function<std::unique_ptr<Page>()>;

// One open page. Derive from it and override the hooks the page needs; the
// defaults do nothing and handle nothing.
class Page {
 public:
  Page() = default;
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;
  Page(Page&&) = delete;
  Page& operator=(Page&&) = delete;
  virtual ~Page() = default;

  // After the common set-up, before page ready is posted: show, hide and
  // fill what the page decides by itself. Must not block.
  virtual void OnInit() {}
  // Page ready: the page is up. The place for blocking work of the page's
  // start (reading the product).
  virtual void OnReady() {}
  // A command the description does not route (big buttons, list and edit
  // notifications, arrows without target); true when handled.
  virtual bool OnCommand(int /*id*/, unsigned /*code*/) { return false; }
  // Any other message: the page's own (timers, worker end messages, hover);
  // true when handled.
  virtual bool OnMessage(platform::window::UINT /*message*/, platform::window::WPARAM /*wParam*/,
                         platform::window::LPARAM /*lParam*/) {
    return false;
  }
  // Whether an arrow with a target may leave the page now; a click that
  // may not is swallowed. Esc always leads where the description says.
  [[nodiscard]] virtual bool CanLeave() const { return true; }
  // The page is closing (another page is up, a restart, the end of the
  // run): stop what works for it. Its workers are waited for at the latest
  // when the object is deleted.
  virtual void OnClose() {}

 protected:
  [[nodiscard]] platform::window::HWND Window() const { return window_; }
  // What every page shares: texts, the telephony context, the graphics.
  [[nodiscard]] Frame& Shared() const { return *frame_; }
  // The telephony context (null before it is open) and the product's port
  // (null while none is open).
  [[nodiscard]] link::ModemContext* Context() const { return frame_->context.get(); }
  [[nodiscard]] platform::comm::Port* Port() const;

  // The page was closed while a hook of it runs: the hook stops its work
  // (no further exchange, no message box) and returns.
  [[nodiscard]] bool Closing() const;
  // Leaves the page for page `next` (GoToPage).
  void GoTo(int next) const;
  // The text of string `textId` into a control.
  bool SetText(int control, int textId) const;
  void Show(int control, bool show) const;
  void Enable(int control, bool enable) const;
  // Message box with text `textId`, the frame's caption and `style`;
  // blocks until the user answers and returns the button.
  int Message(int textId, platform::window::UINT style) const;

 private:
  friend platform::window::LRESULT RunPage(const PageDescription& description,
                                           const PageFactory& make, platform::window::HWND window,
                                           platform::window::UINT message,
                                           platform::window::WPARAM wParam,
                                           platform::window::LPARAM lParam);

  platform::window::HWND window_{};
  Frame* frame_ = nullptr;
};

// What the navigator keeps for each page window for as long as the page's
// thread runs: the frame, and the page object the kit made for the window
// (none for a procedure written without the kit).
struct OpenPage {
  Frame* frame = nullptr;
  std::unique_ptr<Page> page;
  // Hooks of the page object on the stack; the object is deleted only when
  // the last of them has returned.
  int depth = 0;
  bool closed = false;
};

// The open-page record of a page window itself; null for any other window.
[[nodiscard]] OpenPage* FindOpenPage(platform::window::HWND page);
// Makes `open` the record of `page`; the navigator does it at WM_INITDIALOG.
void AttachOpenPage(platform::window::HWND page, OpenPage& open);

// The kit's handling of one message of a page made by `make` (see the top of
// this file). A window that the navigator did not open gets nothing.
platform::window::LRESULT RunPage(const PageDescription& description, const PageFactory& make,
                                  platform::window::HWND window, platform::window::UINT message,
                                  platform::window::WPARAM wParam, platform::window::LPARAM lParam);

// The dialog procedure of a page.
[[nodiscard]] platform::window::DialogProc PageProcedure(PageDescription description,
                                                         PageFactory make);

// Registers page class P in row `index`: each opening makes a P from
// `records` (references that must outlive the navigator run).
template <class P, class... Records>
bool RegisterPage(PageTable& table, int index, const PageDescription& description,
                  Records&... records) {
  return table.Register(index, PageProcedure(description, [&records...]() -> std::unique_ptr<Page> {
                          return std::make_unique<P>(records...);
                        }));
}

}  // namespace norix::shell
