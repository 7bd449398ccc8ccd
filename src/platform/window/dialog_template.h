// Dialog templates as data: a dialog's size in dialog units, caption, font and
// controls, each control with its id, kind, initial text, rectangle and style
// bits. Pages are 302 x 201 units; small pickers are centred on their owner.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/geometry.h"
#include "platform/window/messages.h"

namespace norix::platform::window {

enum class ControlKind : std::uint8_t {
  kStaticText,    // text drawn transparently on the page
  kPicture,       // a picture resource
  kGroupBox,      // frame with a title
  kLine,          // etched line (connector lines between controls)
  kPushButton,    // ordinary button
  kArrowButton,   // picture button: normal picture, pressed picture while pressed or focused
  kBigButton,     // picture-like menu button whose label is drawn on the page picture
  kCheckBox,      // toggles itself when clicked
  kRadio,         // checks itself and clears the other radios of its group when clicked
  kEdit,          // single-line (or multi-line) text entry
  kDropDownList,  // closed list showing the selected line
  kListBox,       // open list
  kProgressBar,
  kTrackbar,
};

// Style bits of a control template.
namespace ControlStyle {
inline constexpr std::uint32_t kHidden = 1U << 0;      // starts hidden
inline constexpr std::uint32_t kDisabled = 1U << 1;    // starts disabled
inline constexpr std::uint32_t kTabStop = 1U << 2;     // reached by the Tab key
inline constexpr std::uint32_t kGroup = 1U << 3;       // starts a radio group / tab group
inline constexpr std::uint32_t kDigitsOnly = 1U << 4;  // edit: only 0-9 can be typed
inline constexpr std::uint32_t kUppercase = 1U << 5;   // edit: typed letters become capitals
inline constexpr std::uint32_t kReadOnly = 1U << 6;    // edit: the user cannot change it
inline constexpr std::uint32_t kMultiLine = 1U << 7;   // edit or text: several lines
inline constexpr std::uint32_t kFixedFont = 1U << 8;   // fixed-pitch font
inline constexpr std::uint32_t kNotify = 1U << 9;      // button: reports focus changes
inline constexpr std::uint32_t kDefault = 1U << 10;    // button: default push button look
inline constexpr std::uint32_t kCentered = 1U << 11;   // text centred
inline constexpr std::uint32_t kRightAligned = 1U << 12;
inline constexpr std::uint32_t kBorder = 1U << 13;    // sunken border
inline constexpr std::uint32_t kVertical = 1U << 14;  // progress bar, trackbar, line
}  // namespace ControlStyle

// A font as a description; the renderer turns it into a real font.
struct FontDescription {
  std::string face;     // empty: the renderer's dialog font
  int pointSize = 0;    // 0: not given
  int pixelHeight = 0;  // character cell height in pixels; 0: not given
  int weight = 400;     // 400 normal, 700 bold
  bool italic = false;
  bool fixedPitch = false;

  friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

struct ControlTemplate {
  int id = IDC_STATIC;
  ControlKind kind = ControlKind::kStaticText;
  std::string text;
  Rect rect;  // dialog units, relative to the dialog's client area
  std::uint32_t style = 0;
  int picture = 0;         // picture resource id (picture controls, arrow buttons)
  int pressedPicture = 0;  // arrow buttons: shown while pressed or focused
};

struct DialogTemplate {
  int id = 0;
  int width = 0;   // dialog units
  int height = 0;  // dialog units
  std::string caption;
  FontDescription font;
  bool centered = false;      // centred on the owner, or on the screen without one
  Point position;             // dialog units from the screen's top left when not centred
  int backgroundPicture = 0;  // picture resource drawn as the dialog's background; 0 none
  std::vector<ControlTemplate> controls;  // in tab and radio group order
};

// Empty when the template can be used; otherwise what is wrong with it.
// Checked: a positive id and size, controls with non-negative sizes and a
// non-zero id (0 means "no control"), and no two controls with the same id
// (except IDC_STATIC, which nobody addresses).
[[nodiscard]] std::string CheckTemplate(const DialogTemplate& dialog);

}  // namespace norix::platform::window
