#include "shell/page_chrome.h"

#include <algorithm>
#include <string>

#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/frame.h"

namespace norix::shell {

namespace W = platform::window;

namespace {

std::vector<std::string> LoadList(const TextModule& texts, int first, int count) {
  std::vector<std::string> list;
  list.reserve(static_cast<std::size_t>(count));
  for (int id = first; id < first + count; ++id) {
    list.push_back(texts.LoadText(id, kTextBufferChars));
  }
  return list;
}

std::string Entry(const ChromeState& chrome, std::vector<std::string> TextLists::*list, int index) {
  const auto lists = chrome.Lists();
  if (!lists || index < 0 || static_cast<std::size_t>(index) >= ((*lists).*list).size()) {
    return {};
  }
  return ((*lists).*list)[static_cast<std::size_t>(index)];
}

}  // namespace

W::FontDescription HeaderFont() {
  W::FontDescription font;
  font.pixelHeight = 20;
  font.weight = 700;
  font.italic = true;
  return font;
}

std::shared_ptr<const TextLists> ChromeState::Lists() const {
  const std::lock_guard lock(mutex_);
  return lists_;
}

void BuildGraphics(ChromeState& chrome, const TextModule& texts) {
  auto lists = std::make_shared<TextLists>();
  lists->countryNames = LoadList(texts, kFirstCountryNameText, kCountryNameCount);
  lists->monthNames = LoadList(texts, kFirstMonthNameText, kMonthNameCount);
  lists->typeNames = LoadList(texts, kFirstTypeNameText, kTypeNameCount);
  {
    const std::lock_guard lock(chrome.mutex_);
    chrome.lists_ = std::move(lists);
  }
  chrome.builds_.fetch_add(1);
}

void ReleaseGraphics(ChromeState& chrome) {
  const std::lock_guard lock(chrome.mutex_);
  chrome.lists_.reset();
}

std::string CountryName(const ChromeState& chrome, int index) {
  return Entry(chrome, &TextLists::countryNames, index);
}

std::string MonthName(const ChromeState& chrome, int index) {
  return Entry(chrome, &TextLists::monthNames, index);
}

std::string TypeName(const ChromeState& chrome, int index) {
  return Entry(chrome, &TextLists::typeNames, index);
}

W::LRESULT ShowArrowFocus(W::HWND /*page*/, int id, unsigned notification) {
  const bool arrow =
      std::any_of(resources::kArrowButtons.begin(), resources::kArrowButtons.end(),
                  [id](const resources::ArrowButtonIds& row) { return row.control == id; });
  return arrow && (notification == W::BN_SETFOCUS || notification == W::BN_KILLFOCUS) ? 1 : 0;
}

void MakeBigButtons(W::HWND page, std::span<const PageText> buttons) {
  const Frame* frame = FindFrame(page);
  if (frame == nullptr) {
    return;
  }
  for (const PageText& button : buttons) {
    if (button.control == -1) {
      break;
    }
    W::SetDlgItemText(page, button.control, frame->texts.LoadText(button.text, kTextBufferChars));
  }
}

void ShowHoverHelp(W::HWND page, int helpControl, std::span<const PageText> table, int id,
                   W::HWND window) {
  Frame* frame = FindFrame(page);
  if (frame == nullptr || frame->chrome.ExchangeHoverWindow(window) == window) {
    return;
  }
  for (const PageText& entry : table) {
    if (entry.control == -1) {
      break;
    }
    if (entry.control == id) {
      if (W::IsWindowEnabled(W::GetDlgItem(page, id))) {
        const std::string help = frame->texts.LoadText(entry.text, kTextBufferChars);
        W::SetDlgItemText(page, helpControl, help);
        W::SetControlHelp(page, id, help);
      }
      return;
    }
  }
}

void ShowAllControls(W::HWND page, bool show) {
  for (const W::HWND control : W::GetChildWindows(page)) {
    W::ShowWindow(control, show ? W::SW_SHOW : W::SW_HIDE);
  }
}

}  // namespace norix::shell
