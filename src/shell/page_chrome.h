// The look every page shares, as far as the program decides it: the header
// font, the arrow buttons, the big button labels, hover help texts, and the
// three lists of texts that pages need in memory. Pictures, masks and the
// transparent drawing are the renderer's: it draws the page picture, the
// arrow images (pressed while pressed or focused) and the labels from the
// model's state.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/window/dialog_template.h"
#include "platform/window/messages.h"
#include "shell/page_messages.h"
#include "shell/text_module.h"

namespace norix::shell {

// A {control id, text id} pair of a page's text, button or help table. A
// table may end with a row whose control is -1; nothing after it is read.
struct PageText {
  int control = 0;
  int text = 0;
};

// Height 20 pixels, bold, italic, the renderer's default face.
[[nodiscard]] platform::window::FontDescription HeaderFont();

struct TextLists {
  std::vector<std::string> countryNames;  // texts 2162-2180
  std::vector<std::string> monthNames;    // texts 2186-2198, "Illegal Month" first
  std::vector<std::string> typeNames;     // texts 2214-2216
};

inline constexpr int kFirstCountryNameText = 2162;
inline constexpr int kCountryNameCount = 19;
inline constexpr int kFirstMonthNameText = 2186;
inline constexpr int kMonthNameCount = 13;
inline constexpr int kFirstTypeNameText = 2214;
inline constexpr int kTypeNameCount = 3;

// The graphic resources of the run. Built on the main thread while no page
// runs and rebuilt after a display change, while pages may still read the
// lists of the previous build: readers take a snapshot that stays valid.
class ChromeState {
 public:
  // The lists of the current build; null before BuildGraphics and after
  // ReleaseGraphics.
  [[nodiscard]] std::shared_ptr<const TextLists> Lists() const;
  // How many times the graphics were built.
  [[nodiscard]] int BuildCount() const { return builds_.load(); }

  // The window ShowHoverHelp saw last; swaps in `window` and returns it.
  platform::window::HWND ExchangeHoverWindow(platform::window::HWND window) {
    return hoverWindow_.exchange(window);
  }

 private:
  friend void BuildGraphics(ChromeState& chrome, const TextModule& texts);
  friend void ReleaseGraphics(ChromeState& chrome);

  mutable std::mutex mutex_;
  std::shared_ptr<const TextLists> lists_;
  std::atomic<int> builds_{0};
  std::atomic<platform::window::HWND> hoverWindow_{};
};

// Loads the three text lists from the text module.
void BuildGraphics(ChromeState& chrome, const TextModule& texts);
// Forgets them, so that BuildGraphics can run again.
void ReleaseGraphics(ChromeState& chrome);

// A list entry by index; "" out of range or when the graphics are not built.
[[nodiscard]] std::string CountryName(const ChromeState& chrome, int index);
[[nodiscard]] std::string MonthName(const ChromeState& chrome, int index);
[[nodiscard]] std::string TypeName(const ChromeState& chrome, int index);

// 1 when `id` is an arrow button and `notification` is BN_SETFOCUS or
// BN_KILLFOCUS, else 0. The renderer shows a focused arrow button with its
// pressed image from the model's focus, so nothing needs drawing here.
[[nodiscard]] platform::window::LRESULT ShowArrowFocus(platform::window::HWND page, int id,
                                                       unsigned notification);

// Gives each big button of the table its label from the text module.
void MakeBigButtons(platform::window::HWND page, std::span<const PageText> buttons);

// On a control hover: does nothing when `window` is the window of the last
// call; otherwise remembers it and, when `id` has a help entry and the
// control is enabled, sets the entry's text into `helpControl`.
void ShowHoverHelp(platform::window::HWND page, int helpControl, std::span<const PageText> table,
                   int id, platform::window::HWND window);

// Shows (true) or hides every control of the page.
void ShowAllControls(platform::window::HWND page, bool show);

}  // namespace norix::shell
