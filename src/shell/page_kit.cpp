#include "shell/page_kit.h"

#include "platform/window/window_api.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"
#include "shell/page_messages.h"

namespace norix::shell {

namespace W = platform::window;

namespace {

// Keeps the page object alive while a hook runs; the last hook to return
// deletes an object whose page was closed meanwhile.
class HookScope {
 public:
  explicit HookScope(OpenPage& open) : open_(open) { ++open_.depth; }
  HookScope(const HookScope&) = delete;
  HookScope& operator=(const HookScope&) = delete;
  HookScope(HookScope&&) = delete;
  HookScope& operator=(HookScope&&) = delete;
  ~HookScope() {
    if (--open_.depth == 0 && open_.closed) {
      open_.page.reset();
    }
  }

 private:
  OpenPage& open_;
};

void ClosePageObject(OpenPage& open) {
  if (open.closed || !open.page) {
    return;
  }
  open.closed = true;
  open.page->OnClose();
  if (open.depth == 0) {
    open.page.reset();
  }
}

int ArrowTarget(const PageDescription& description, int id) {
  switch (id) {
    case resources::kBackArrowId:
      return description.back;
    case resources::kNextArrowId:
      return description.next;
    case resources::kCancelArrowId:
      return description.cancel;
    case resources::kOkArrowId:
      return description.ok;
    default:
      return kNoTarget;
  }
}

}  // namespace

bool Page::Closing() const {
  const OpenPage* open = FindOpenPage(window_);
  return open == nullptr || open->closed;
}

platform::comm::Port* Page::Port() const {
  return frame_->context ? frame_->context->Port() : nullptr;
}

void Page::GoTo(int next) const { GoToPage(window_, next); }

bool Page::SetText(int control, int textId) const { return SetItemText(window_, control, textId); }

void Page::Show(int control, bool show) const {
  W::ShowWindow(W::GetDlgItem(window_, control), show ? W::SW_SHOW : W::SW_HIDE);
}

void Page::Enable(int control, bool enable) const {
  W::EnableWindow(W::GetDlgItem(window_, control), enable);
}

int Page::Message(int textId, W::UINT style) const {
  return ShowMessage(*frame_, window_, textId, kMessageCaptionText, style);
}

OpenPage* FindOpenPage(W::HWND page) { return static_cast<OpenPage*>(W::GetWindowUserData(page)); }

void AttachOpenPage(W::HWND page, OpenPage& open) { W::SetWindowUserData(page, &open); }

W::LRESULT RunPage(const PageDescription& description, const PageFactory& make, W::HWND window,
                   W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
  OpenPage* open = FindOpenPage(window);
  if (open == nullptr || open->frame == nullptr) {
    return 0;
  }
  if (message == kClosePage || message == W::WM_DESTROY) {
    // Before the dialog ends: the page's workers may own the port.
    ClosePageObject(*open);
  }
  if (const W::LRESULT handled = HandleCommonPageMessage(window, message, wParam, lParam)) {
    return handled;
  }
  if (message == W::WM_INITDIALOG) {
    if (description.commonSetUp) {
      InitPage(window, description.texts, description.buttons);
    } else {
      // The page keeps its template's title: placed only.
      PlacePage(window);
      W::SetWaitCursor(window, false);
    }
    open->page = make();
    open->closed = false;
    if (open->page) {
      open->page->window_ = window;
      open->page->frame_ = open->frame;
      const HookScope scope(*open);
      open->page->OnInit();
    }
    W::PostMessage(window, kPageReady, 0, 0);
    return 1;
  }
  if (!open->page || open->closed) {
    return 0;
  }
  const HookScope scope(*open);
  Page& page = *open->page;
  switch (message) {
    case kPageReady:
      page.OnReady();
      return 1;
    case W::WM_COMMAND: {
      const int id = static_cast<int>(W::LOWORD(wParam));
      const unsigned code = W::HIWORD(wParam);
      if (id == W::IDCANCEL && description.escape != kNoTarget) {
        page.GoTo(description.escape);
        return 1;
      }
      if (const int target = ArrowTarget(description, id);
          target != kNoTarget && code == W::BN_CLICKED) {
        if (page.CanLeave()) {
          page.GoTo(target);
        }
        return 1;
      }
      return page.OnCommand(id, code) ? 1 : 0;
    }
    default:
      return page.OnMessage(message, wParam, lParam) ? 1 : 0;
  }
}

W::DialogProc PageProcedure(PageDescription description, PageFactory make) {
  return [description, make = std::move(make)](W::HWND window, W::UINT message, W::WPARAM wParam,
                                               W::LPARAM lParam) {
    return RunPage(description, make, window, message, wParam, lParam);
  };
}

}  // namespace norix::shell
