// The layout of the templates: everything within the margins, nothing on
// top of anything else, the same heights for the same kinds, the arrow row,
// and room for every text a control is given.

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "resources/strings/builtin_texts.h"
#include "resources_dialogs/page_expectations.h"
#include "resources_dialogs/template_support.h"

namespace norix::resources::dialogs::testing {
namespace {

namespace style = platform::window::ControlStyle;
using platform::window::ControlKind;
using platform::window::Rect;

constexpr int kMargin = 7;

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

// True when the two controls are in different sets of controls that never
// show together.
bool NeverTogether(int page, int a, int b) {
  for (const Alternatives& alternatives : PageAlternatives()) {
    if (alternatives.page != page) {
      continue;
    }
    int setOfA = -1;
    int setOfB = -1;
    for (std::size_t i = 0; i < alternatives.sets.size(); ++i) {
      setOfA = alternatives.sets[i].contains(a) ? static_cast<int>(i) : setOfA;
      setOfB = alternatives.sets[i].contains(b) ? static_cast<int>(i) : setOfB;
    }
    return setOfA >= 0 && setOfB >= 0 && setOfA != setOfB;
  }
  return false;
}

TEST(TemplateLayout, EveryControlLiesWithinTheMarginsOfItsDialog) {
  for (const auto& [id, dialog] : TemplatesById()) {
    const Rect usable{kMargin, kMargin, dialog.width - kMargin, dialog.height - kMargin};
    for (const ControlTemplate& control : dialog.controls) {
      EXPECT_TRUE(Inside(control.rect, usable))
          << "template " << id << ": " << Describe(control) << " leaves the page's margins";
      EXPECT_GT(control.rect.Width(), 0) << "template " << id << ": " << Describe(control);
      EXPECT_GT(control.rect.Height(), 0) << "template " << id << ": " << Describe(control);
    }
  }
}

// Hidden controls count too: the pages show them later. Only a group box
// may hold other controls, and only controls that never show together may
// share a place.
TEST(TemplateLayout, NoTwoControlsOverlap) {
  for (const auto& [id, dialog] : TemplatesById()) {
    const auto& controls = dialog.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      for (std::size_t j = i + 1; j < controls.size(); ++j) {
        const ControlTemplate& a = controls[i];
        const ControlTemplate& b = controls[j];
        if (!Overlap(a.rect, b.rect)) {
          continue;
        }
        const bool framed = (a.kind == ControlKind::kGroupBox && Inside(b.rect, a.rect)) ||
                            (b.kind == ControlKind::kGroupBox && Inside(a.rect, b.rect));
        EXPECT_TRUE(framed || NeverTogether(id, a.id, b.id))
            << "template " << id << ": " << Describe(a) << " overlaps " << Describe(b);
      }
    }
  }
}

TEST(TemplateLayout, GroupBoxesHoldTheWholeOfWhatTheyTouch) {
  for (const auto& [id, dialog] : TemplatesById()) {
    for (const ControlTemplate& box : dialog.controls) {
      if (box.kind != ControlKind::kGroupBox) {
        continue;
      }
      int held = 0;
      for (const ControlTemplate& control : dialog.controls) {
        if (&control != &box && Overlap(control.rect, box.rect)) {
          EXPECT_TRUE(Inside(control.rect, box.rect))
              << "template " << id << ": " << Describe(control) << " crosses the frame";
          ++held;
        }
      }
      EXPECT_GT(held, 0) << "template " << id << ": empty frame " << box.id;
    }
  }
}

TEST(TemplateLayout, ControlsOfOneKindShareTheirHeight) {
  for (const auto& [id, dialog] : TemplatesById()) {
    for (const ControlTemplate& control : dialog.controls) {
      const int height = control.rect.Height();
      const std::string where = "template " + std::to_string(id) + ": " + Describe(control);
      switch (control.kind) {
        case ControlKind::kEdit:
        case ControlKind::kDropDownList:
          EXPECT_EQ(height, 12) << where;
          break;
        case ControlKind::kCheckBox:
        case ControlKind::kRadio:
          EXPECT_EQ(height, 10) << where;
          break;
        case ControlKind::kBigButton:
          EXPECT_EQ(control.rect.Width(), 90) << where;
          EXPECT_EQ(height, 22) << where;
          break;
        case ControlKind::kArrowButton:
          EXPECT_EQ(control.rect.Width(), 24) << where;
          EXPECT_EQ(height, 16) << where;
          break;
        case ControlKind::kStaticText:
          // Whole text lines; the header has its own larger font, and a
          // framed text is as high as a field.
          if (control.id == 1027 && dialog.backgroundPicture != 0) {
            EXPECT_EQ(height, 14) << where;
          } else if ((control.style & style::kBorder) != 0) {
            EXPECT_EQ(height, 12) << where;
          } else {
            EXPECT_EQ(height % 8, 0) << where;
          }
          break;
        case ControlKind::kLine:
          EXPECT_EQ((control.style & style::kVertical) != 0 ? control.rect.Width()
                                                            : control.rect.Height(),
                    1)
              << where;
          break;
        default:
          break;
      }
    }
  }
}

// Each arrow has its own place at the bottom right, the same on every page,
// in the order < > X V from left to right.
TEST(TemplateLayout, ArrowButtonsStandInTheirSlotsOfTheBottomRow) {
  const int kOrder[] = {1014, 1002, 1008, 1006};
  std::map<int, Rect> slots;
  for (const int id : kPageTable) {
    for (const ControlTemplate& control : TemplateOf(id).controls) {
      if (control.kind != ControlKind::kArrowButton) {
        continue;
      }
      EXPECT_EQ(control.rect.bottom, 201 - kMargin) << "template " << id;
      if (const auto [slot, fresh] = slots.emplace(control.id, control.rect); !fresh) {
        EXPECT_EQ(slot->second, control.rect)
            << "template " << id << ": arrow " << control.id << " moved";
      }
    }
  }
  ASSERT_EQ(slots.size(), 4U);
  EXPECT_EQ(slots.at(1006).right, 302 - kMargin);
  for (int i = 0; i + 1 < 4; ++i) {
    EXPECT_LT(slots.at(kOrder[i]).right, slots.at(kOrder[i + 1]).left)
        << kOrder[i] << " before " << kOrder[i + 1];
  }
}

// --- Room for the texts -------------------------------------------------

// A dialog unit is a quarter of the dialog font's average character width,
// and a text line is 8 units high; estimating 4 units per character is
// generous for the mostly lower-case texts of the program.
constexpr int kCharWidth = 4;

std::string_view TextOf(int textId) {
  for (const strings::BuiltinText& text : strings::BuiltinTexts()) {
    if (text.id == textId) {
      return text.text;
    }
  }
  return {};
}

// The text a help area shows for a protocol whose description has
// placeholders: the multilink form, the longest.
std::string Expanded(std::string_view text) {
  std::string result(text);
  const std::string fills[] = {"Multilink", std::string(TextOf(2257))};
  for (const std::string& fill : fills) {
    const std::size_t at = result.find("%s");
    if (at != std::string::npos) {
      result.replace(at, 2, fill);
    }
  }
  return result;
}

// Lines the text takes when wrapped at word boundaries into `width` units.
int LinesFor(std::string_view text, int width) {
  const int perLine = std::max(1, width / kCharWidth);
  int lines = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view paragraph = text.substr(start, end - start);
    int used = 0;
    int paragraphLines = 1;
    std::size_t word = 0;
    while (word < paragraph.size()) {
      const std::size_t wordEnd = std::min(paragraph.find(' ', word), paragraph.size());
      const int length = static_cast<int>(wordEnd - word);
      if (used > 0 && used + 1 + length <= perLine) {
        used += 1 + length;
      } else {
        if (used > 0) {
          ++paragraphLines;
        }
        // A word longer than a line breaks over as many as it needs.
        const int extra = length > 0 ? (length - 1) / perLine : 0;
        paragraphLines += extra;
        used = length - extra * perLine;
      }
      word = wordEnd + 1;
    }
    lines += paragraphLines;
    start = end + 1;
  }
  return lines;
}

// Whether `text` fits the control, in the way the control draws it.
std::string FitProblem(const ControlTemplate& control, std::string_view text) {
  int width = control.rect.Width();
  bool oneLine = false;
  switch (control.kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kRadio:
      width -= 12;  // the box and the gap after it
      oneLine = true;
      break;
    case ControlKind::kBigButton:
    case ControlKind::kPushButton:
      width -= 4;
      oneLine = true;
      break;
    case ControlKind::kStaticText:
      if ((control.style & style::kBorder) != 0) {
        width -= 4;
      }
      oneLine = (control.style & style::kMultiLine) == 0;
      break;
    default:
      return {};
  }
  const int lines = LinesFor(text, width);
  if (oneLine && static_cast<int>(text.size()) * kCharWidth > width) {
    return "\"" + std::string(text) + "\" is wider than " + Describe(control);
  }
  if (lines * 8 > control.rect.Height()) {
    return "\"" + std::string(text) + "\" takes " + std::to_string(lines) + " lines in " +
           Describe(control);
  }
  return {};
}

TEST(TemplateLayout, TemplateTextsFitTheirControls) {
  for (const auto& [id, dialog] : TemplatesById()) {
    for (const ControlTemplate& control : dialog.controls) {
      if (!control.text.empty()) {
        EXPECT_EQ(FitProblem(control, control.text), "") << "template " << id;
      }
    }
  }
}

TEST(TemplateLayout, TextsThePagesSetFitTheirControls) {
  for (const RuntimeTexts& runtime : ControlTexts()) {
    const ControlTemplate& control = ControlOf(TemplateOf(runtime.page), runtime.control);
    for (const int textId : runtime.texts) {
      const std::string_view text = TextOf(textId);
      ASSERT_FALSE(text.empty()) << "no text " << textId;
      EXPECT_EQ(FitProblem(control, Expanded(text)), "")
          << "template " << runtime.page << ", text " << textId;
    }
  }
}

// The estimate itself: wrapping at words, explicit line breaks, long words.
TEST(TemplateLayout, LineEstimateWrapsAtWords) {
  EXPECT_EQ(LinesFor("abc def", 28), 1);  // 7 characters in 7
  EXPECT_EQ(LinesFor("abc defg", 28), 2);
  EXPECT_EQ(LinesFor("abc\ndef", 100), 2);
  EXPECT_EQ(LinesFor("\nabc", 100), 2);
  EXPECT_EQ(LinesFor("abcdefghij", 20), 2);  // 10 characters, 5 a line
  EXPECT_EQ(LinesFor("abcdefghij k", 20), 3);
  EXPECT_EQ(LinesFor("", 20), 1);
}

}  // namespace
}  // namespace norix::resources::dialogs::testing
