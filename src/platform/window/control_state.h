// The state of a dialog and its controls as the model holds it and hands it
// to the renderer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/dialog_template.h"
#include "platform/window/geometry.h"
#include "platform/window/messages.h"

namespace norix::platform::window {

// The window system's default limit of an edit.
inline constexpr int kDefaultEditLimit = 30000;

struct ListItem {
  std::string text;
  LPARAM data = 0;

  friend bool operator==(const ListItem&, const ListItem&) = default;
};

struct ControlState {
  int id = IDC_STATIC;
  HWND handle{};
  ControlKind kind = ControlKind::kStaticText;
  std::uint32_t style = 0;  // ControlStyle bits
  Rect rectUnits;           // dialog units, as in the template
  Rect rect;                // pixels in the dialog's client area
  std::string text;         // drop-down lists: the text of the selected line
  bool visible = true;
  bool enabled = true;
  UINT checked = BST_UNCHECKED;
  std::vector<ListItem> items;  // list box and drop-down list lines
  int selection = -1;           // selected line, -1 none
  int rangeMin = 0;             // progress bar and trackbar range
  int rangeMax = 100;
  int position = 0;
  int step = 10;  // progress bar step
  // Edits: what the user may type (the program sets any text it likes).
  int textLimit = kDefaultEditLimit;    // in characters
  std::string allowedChars;             // empty: any; else only these characters
  UINT enterMessage = 0;                // posted when Enter is pressed in the edit; 0 none
  std::optional<FontDescription> font;  // none: the dialog's font
  int picture = 0;
  int pressedPicture = 0;
  // What the page's hover help says about this control once the pointer
  // (or the keyboard focus) has been on it; empty when it has said nothing.
  std::string help;

  friend bool operator==(const ControlState&, const ControlState&) = default;
};

// What changed in a ControlChanged notification.
namespace ControlChange {
inline constexpr unsigned kText = 1U << 0;
inline constexpr unsigned kVisible = 1U << 1;
inline constexpr unsigned kEnabled = 1U << 2;
inline constexpr unsigned kChecked = 1U << 3;
inline constexpr unsigned kItems = 1U << 4;  // lines added, removed or their data changed
inline constexpr unsigned kSelection = 1U << 5;
inline constexpr unsigned kRange = 1U << 6;  // range or step
inline constexpr unsigned kPosition = 1U << 7;
inline constexpr unsigned kFont = 1U << 8;
inline constexpr unsigned kPicture = 1U << 9;
inline constexpr unsigned kEditRules = 1U << 10;  // limit, allowed characters, Enter message
inline constexpr unsigned kHelp = 1U << 11;
}  // namespace ControlChange

struct WindowState {
  HWND handle{};
  HWND owner{};
  int templateId = 0;
  ThreadId thread = 0;
  std::string caption;
  Rect rect;  // the whole window on the screen, frame and caption included
  Size clientSize;
  bool visible = false;
  bool ready = false;  // WM_INITDIALOG has been handled; the dialog runs its loop
  bool enabled = true;
  bool waitCursor = false;
  bool centered = false;
  int focusId = 0;  // control with the keyboard focus; 0 none
  int backgroundPicture = 0;
  FontDescription font;

  friend bool operator==(const WindowState&, const WindowState&) = default;
};

// What changed in a WindowChanged notification.
namespace WindowChange {
inline constexpr unsigned kCaption = 1U << 0;
inline constexpr unsigned kRect = 1U << 1;
inline constexpr unsigned kVisible = 1U << 2;
inline constexpr unsigned kEnabled = 1U << 3;
inline constexpr unsigned kWaitCursor = 1U << 4;
inline constexpr unsigned kFocus = 1U << 5;
inline constexpr unsigned kRaise = 1U << 6;  // bring to the foreground (a request, not a state)
inline constexpr unsigned kReady = 1U << 7;
inline constexpr unsigned kBeep = 1U << 8;  // sound the warning beep (a request, not a state)
}  // namespace WindowChange

struct WindowSnapshot {
  WindowState window;
  std::vector<ControlState> controls;  // in template order
};

}  // namespace norix::platform::window
