// Every dialog template of the program laid out on terminals from 80 x 24
// up: each control inside the area with at least one cell, no two controls
// that show together on a cell, and the rows that belong together shared.
// Pages added later are checked here without a line of their own.
#include "platform/terminal/cell_layout.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/window/template_registry.h"
#include "resources/dialogs/dialog_templates.h"
#include "resources/resource_ids.h"

namespace norix::platform::terminal {
namespace {

namespace W = window;

bool Overlap(const CellRect& a, const CellRect& b) {
  return a.row < b.Bottom() && b.row < a.Bottom() && a.col < b.Right() && b.col < a.Right();
}

std::vector<LayoutControl> LayoutOf(const W::DialogTemplate& dialog) {
  std::vector<LayoutControl> controls;
  for (const W::ControlTemplate& control : dialog.controls) {
    controls.push_back({control.rect, control.kind, control.style});
  }
  return controls;
}

class TemplateLayoutTest : public ::testing::TestWithParam<CellSize> {};

TEST_P(TemplateLayoutTest, EveryControlHasCellsOfItsOwn) {
  const CellRect area{1, 1, GetParam().rows - 2, GetParam().cols - 2};
  for (const W::DialogTemplate& dialog : resources::dialogs::DialogTemplates()) {
    const std::vector<LayoutControl> controls = LayoutOf(dialog);
    const std::vector<CellRect> cells = LayOut(controls, area);
    ASSERT_EQ(cells.size(), controls.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const CellRect& c = cells[i];
      const int id = dialog.controls[i].id;
      EXPECT_GE(c.rows, 1) << "dialog " << dialog.id << " control " << id;
      EXPECT_GE(c.cols, 1) << "dialog " << dialog.id << " control " << id;
      EXPECT_TRUE(area.Contains(c.row, c.col) && area.Contains(c.Bottom() - 1, c.Right() - 1))
          << "dialog " << dialog.id << " control " << id << " at " << c.row << "," << c.col;
    }
    // Controls shown together never share a cell; frames hold others.
    for (std::size_t i = 0; i < cells.size(); ++i) {
      for (std::size_t j = i + 1; j < cells.size(); ++j) {
        const W::ControlTemplate& a = dialog.controls[i];
        const W::ControlTemplate& b = dialog.controls[j];
        if (((a.style | b.style) & W::ControlStyle::kHidden) != 0 ||
            a.kind == W::ControlKind::kGroupBox || b.kind == W::ControlKind::kGroupBox) {
          continue;
        }
        EXPECT_FALSE(Overlap(cells[i], cells[j]))
            << "dialog " << dialog.id << ": controls " << a.id << " and " << b.id << " at "
            << cells[i].row << "," << cells[i].col << " and " << cells[j].row << ","
            << cells[j].col;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Terminals, TemplateLayoutTest,
                         ::testing::Values(CellSize{24, 80}, CellSize{25, 80}, CellSize{30, 100},
                                           CellSize{50, 160}));

TEST(CellLayoutTest, RowsFollowTheTemplateAndTheScaleIsNaturalWhenThereIsRoom) {
  W::TemplateRegistry registry;
  resources::dialogs::RegisterDialogTemplates(registry);
  const auto page = registry.Find(resources::kAtCommandTemplate);
  ASSERT_NE(page, nullptr);
  const std::vector<LayoutControl> controls = LayoutOf(*page);
  const auto cellOf = [&](const std::vector<CellRect>& cells, int id) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (page->controls[i].id == id) {
        return cells[i];
      }
    }
    return CellRect{};
  };
  constexpr int kCommandLabel = 1053;
  constexpr int kCommandEntry = 1041;
  constexpr int kReplyLabel = 1054;
  constexpr int kReply = 1069;

  const std::vector<CellRect> small = LayOut(controls, {1, 1, 22, 78});
  EXPECT_EQ(cellOf(small, kCommandLabel).row, cellOf(small, kCommandEntry).row);
  EXPECT_EQ(cellOf(small, kReplyLabel).row, cellOf(small, kReply).row);
  EXPECT_LT(cellOf(small, kCommandEntry).row, cellOf(small, kReply).row);

  // On a large terminal a cell is 4 x 8 units, the page centred across it.
  const std::vector<CellRect> large = LayOut(controls, {1, 1, 58, 198});
  const CellSize natural = NaturalSize(controls);
  EXPECT_EQ(natural.cols, (resources::dialogs::kPageWidth - 14 + 3) / kUnitsPerColumn);
  int left = 1000;
  int right = 0;
  for (const CellRect& cell : large) {
    left = std::min(left, cell.col);
    right = std::max(right, cell.Right());
  }
  EXPECT_EQ(right - left, natural.cols);
  EXPECT_EQ(left, 1 + (198 - natural.cols) / 2);
}

}  // namespace
}  // namespace norix::platform::terminal
