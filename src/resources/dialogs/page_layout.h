// The grid every page template is laid out on, and small builders for the
// controls, so that all pages share margins, heights and the arrow row.
//
//   7 units margin on every side
//   header 1027 across the top (7..21), content from y 26
//   content that spans the page ends by y 166
//   bottom band (y 170..194): status lines on the left, the arrow buttons
//   on the right in fixed slots < > X V, so that each arrow is in the same
//   place on every page whether or not its neighbours are there
//   one text line is 8 units high; edits and drop-down fields 12; check
//   boxes and radio buttons 10; big buttons 90 x 22
//
// Drop-down lists are given by their closed field; the list opens below it.
// Lines are 1 unit thick: horizontal ones 1 high, vertical ones 1 wide with
// the vertical style.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window/dialog_template.h"
#include "resources/dialogs/dialog_templates.h"

namespace norix::resources::dialogs::layout {

using platform::window::ControlTemplate;
using platform::window::DialogTemplate;
using platform::window::Rect;
using platform::window::RectAt;

inline constexpr int kMargin = 7;
inline constexpr int kLeft = kMargin;
inline constexpr int kRight = kPageWidth - kMargin;   // 295
inline constexpr int kContentWidth = kRight - kLeft;  // 288
inline constexpr int kContentTop = 26;
inline constexpr int kContentBottom = 166;

inline constexpr int kLineHeight = 8;
inline constexpr int kFieldHeight = 12;   // edits and closed drop-down lists
inline constexpr int kBoxHeight = 10;     // check boxes and radio buttons
inline constexpr int kBoxOnlyWidth = 10;  // a check box or radio without a label

inline constexpr int kBigButtonWidth = 90;
inline constexpr int kBigButtonHeight = 22;
// Texts beside a column of big buttons.
inline constexpr int kBesideBigButton = kLeft + kBigButtonWidth + 8;  // 105
inline constexpr int kBesideBigButtonWidth = kRight - kBesideBigButton;

inline constexpr int kArrowWidth = 24;
inline constexpr int kArrowHeight = 16;
inline constexpr int kArrowGap = 4;
inline constexpr int kArrowTop = kPageHeight - kMargin - kArrowHeight;  // 178

// The status band left of the arrow row.
inline constexpr Rect kStatusBand = RectAt(kLeft, 170, 176, 24);
inline constexpr Rect kStatusLine1 = RectAt(kLeft, 174, 176, kLineHeight);
inline constexpr Rect kStatusLine2 = RectAt(kLeft, 184, 176, kLineHeight);
// One line level with the middle of the arrow row.
inline constexpr Rect kBandLine = RectAt(kLeft, 182, 176, kLineHeight);

inline constexpr Rect kHeaderRect = RectAt(kLeft, kMargin, kContentWidth, 14);

// The text of string `id` in the program's own (English) table; empty when
// the table has no such text.
[[nodiscard]] std::string EnglishText(int id);

// A page of the standard size with the page font, the window title, the
// page picture behind it and, unless `withHeader` is false, the header.
[[nodiscard]] DialogTemplate Page(int id, bool withHeader = true);

// In the order of kArrowButtons.
enum class Arrow { kBack, kNext, kCancel, kOk };

// An arrow button in its slot of the arrow row.
[[nodiscard]] ControlTemplate ArrowButton(Arrow arrow);

// Single-line text.
[[nodiscard]] ControlTemplate Label(int id, Rect rect, std::string text = {},
                                    std::uint32_t style = 0);
// Text that wraps over several lines.
[[nodiscard]] ControlTemplate Paragraph(int id, Rect rect, std::string text = {});
[[nodiscard]] ControlTemplate BigButton(int id, Rect rect, std::string text = {});
[[nodiscard]] ControlTemplate PushButton(int id, Rect rect, std::string text,
                                         std::uint32_t style = 0);
[[nodiscard]] ControlTemplate Edit(int id, Rect rect, std::uint32_t style = 0);
[[nodiscard]] ControlTemplate DropDown(int id, Rect rect, std::uint32_t style = 0);
[[nodiscard]] ControlTemplate CheckBox(int id, Rect rect, std::string text = {});
// A radio button; `first` starts a new group of radios.
[[nodiscard]] ControlTemplate Radio(int id, Rect rect, std::string text, bool first);
[[nodiscard]] ControlTemplate Picture(int id, Rect rect, int picture);
[[nodiscard]] ControlTemplate GroupBox(int id, Rect rect, std::string text = {});
[[nodiscard]] ControlTemplate ProgressBar(int id, Rect rect);
[[nodiscard]] ControlTemplate Trackbar(int id, Rect rect);
[[nodiscard]] ControlTemplate HorizontalLine(int id, int x, int y, int length);
[[nodiscard]] ControlTemplate VerticalLine(int id, int x, int y, int length);

// The control with extra style bits.
[[nodiscard]] ControlTemplate With(ControlTemplate control, std::uint32_t style);
[[nodiscard]] ControlTemplate Hidden(ControlTemplate control);

}  // namespace norix::resources::dialogs::layout
