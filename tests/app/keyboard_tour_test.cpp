// The wizard worked by keyboard alone, as the program runs it: on every page
// the tour reaches, Tab and Shift+Tab go round exactly the controls the page
// offers (in the page's order), each shows that it has the focus and has a
// name for readers of the screen, the clickable ones light up under the
// mouse, and Space, Enter and Esc move through the wizard.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QDir>
#include <QEnterEvent>
#include <QEvent>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/tour_ids.h"
#include "app/wizard_tour.h"
#include "platform/window/control_api.h"
#include "platform/window/window.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"

namespace norix::app {
namespace {

using namespace wizard_tour;
using namespace tour_ids;
namespace W = platform::window;
using namespace std::chrono_literals;

// The controls Tab stops at, in the page's order: the model's tab stops
// that are shown, enabled and can take the focus.
std::vector<int> TabStops(W::HWND page) {
  std::vector<int> stops;
  for (const W::HWND control : W::GetChildWindows(page)) {
    const auto state = W::GetControlState(page, W::GetDlgCtrlID(control));
    if (state && (state->style & W::ControlStyle::kTabStop) != 0 && state->visible &&
        state->enabled && W::CanTakeFocus(state->kind)) {
      stops.push_back(state->id);
    }
  }
  return stops;
}

// What a reader of the screen hears for control `id`, or empty.
QString AccessibleName(W::HWND page, int id) {
  QString name;
  RunOnGuiThread([&] {
    if (auto* widget = PageWidgetOf(page); widget != nullptr && widget->Control(id) != nullptr) {
      if (QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget->Control(id))) {
        name = face->text(QAccessible::Name);
      }
    }
  });
  return name;
}

// Whether control `id` draws itself differently with the mouse over it. The
// page with the mouse over the control is saved as hover-<id>.png.
bool LightsUpUnderTheMouse(Tour& tour, W::HWND page, int id) {
  const QImage before = tour.Grab(page, id);
  QImage under;
  RunOnGuiThread([&] {
    if (auto* widget = PageWidgetOf(page); widget != nullptr && widget->Control(id) != nullptr) {
      QWidget* control = widget->Control(id);
      const QPointF middle = QRectF(control->rect()).center();
      QEnterEvent enter(middle, control->mapTo(widget, middle), control->mapToGlobal(middle));
      QApplication::sendEvent(control, &enter);
      under = control->grab().toImage();
      QDir().mkpath(QStringLiteral(NORIX_SCREENSHOT_DIR));
      widget->grab().save(QStringLiteral(NORIX_SCREENSHOT_DIR "/hover-%1.png").arg(id));
      QEvent leave(QEvent::Leave);
      QApplication::sendEvent(control, &leave);
    }
  });
  return !under.isNull() && under != before && tour.Grab(page, id) == before;
}

// Goes round the page with Tab and back with Shift+Tab and checks each stop.
void CheckKeyboard(Tour& tour, W::HWND page, const std::string& what) {
  SCOPED_TRACE(what);
  const std::vector<int> stops = TabStops(page);
  ASSERT_GE(stops.size(), 2U);
  ASSERT_TRUE(tour.TabTo(page, stops.front()));
  std::vector<QImage> focused;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    ASSERT_EQ(tour.FocusedControl(page), stops[i]) << "Tab press " << i;
    focused.push_back(tour.Grab(page, stops[i]));
    EXPECT_FALSE(AccessibleName(page, stops[i]).trimmed().isEmpty())
        << "control " << stops[i] << " has no accessible name";
    tour.Key(page, Qt::Key_Tab);
  }
  EXPECT_EQ(tour.FocusedControl(page), stops.front()) << "Tab goes round";
  for (std::size_t i = stops.size(); i-- > 0;) {
    tour.Key(page, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(tour.FocusedControl(page), stops[i]) << "Shift+Tab back to stop " << i;
  }
  // Each control shows the focus: it draws itself otherwise once the focus
  // has gone on.
  for (std::size_t i = 0; i < stops.size(); ++i) {
    tour.TabTo(page, stops[(i + 1) % stops.size()]);
    EXPECT_NE(tour.Grab(page, stops[i]), focused[i])
        << "control " << stops[i] << " shows no focus mark";
  }
  // The clickable entries drawn by the page light up under the mouse.
  for (const int id : stops) {
    const auto state = W::GetControlState(page, id);
    if (state && (state->kind == W::ControlKind::kBigButton ||
                  state->kind == W::ControlKind::kArrowButton)) {
      EXPECT_TRUE(LightsUpUnderTheMouse(tour, page, id)) << "control " << id;
    }
  }
}

void WalkByKeyboard(Tour& tour, const app::Program& program) {
  W::HWND list = tour.WaitForPage(kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  ASSERT_TRUE(tour.Wait(
      [&] {
        const auto next = W::GetControlState(list, kNextArrowId);
        return next && next->visible;
      },
      kPageWait));
  CheckKeyboard(tour, list, "product list");
  // The first product, chosen with the arrow keys, and '>' with Enter.
  ASSERT_TRUE(tour.TabTo(list, kDeviceListControl));
  tour.Key(list, Qt::Key_End);
  tour.Key(list, Qt::Key_Home);
  ASSERT_TRUE(
      tour.Wait([&] { return W::GetListSelection(list, kDeviceListControl) == 0; }, kPageWait));
  ASSERT_TRUE(tour.TabTo(list, kNextArrowId));
  tour.Key(list, Qt::Key_Return);

  W::HWND menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(tour.ExpectHeader(menu, kModemName));
  CheckKeyboard(tour, menu, "main menu");

  if (PageBuilt(program, kProductInformationPage)) {
    ASSERT_TRUE(tour.TabTo(menu, kProductInformationButton));
    tour.Key(menu, Qt::Key_Space);
    const W::HWND information = tour.WaitForPage(kProductInformationPage);
    ASSERT_NE(information, W::kNullHwnd);
    ASSERT_TRUE(tour.Wait(
        [&] { return !W::GetDlgItemText(information, utilities::kDateId).empty(); }, kPageWait));
    CheckKeyboard(tour, information, "product information");
    EXPECT_FALSE(AccessibleName(information, kTestLineId).isEmpty());
    ASSERT_TRUE(tour.TabTo(information, kBackArrowId));
    tour.Key(information, Qt::Key_Return);
    menu = tour.WaitForPage(kMainMenuPage);
    ASSERT_NE(menu, W::kNullHwnd);
  }

  ASSERT_TRUE(tour.TabTo(menu, kSettingsButton));
  tour.Key(menu, Qt::Key_Return);
  const W::HWND settings = tour.WaitForPage(kModemSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  CheckKeyboard(tour, settings, "modem settings");

  ASSERT_TRUE(tour.TabTo(settings, kDefaultSettingButton));
  tour.Key(settings, Qt::Key_Space);
  const W::HWND console = tour.WaitForPage(kAtCommandPage);
  ASSERT_NE(console, W::kNullHwnd);
  ASSERT_TRUE(tour.Wait(
      [&] {
        const auto entry = W::GetControlState(console, kCommandEntry);
        return entry && entry->enterMessage != 0;
      },
      kPageWait));
  CheckKeyboard(tour, console, "AT console");
  ASSERT_TRUE(tour.TabTo(console, kCommandEntry));
  tour.Type(console, QStringLiteral("ATI3"));
  tour.Key(console, Qt::Key_Return);
  EXPECT_TRUE(tour.Wait(
      [&] {
        return W::GetDlgItemText(console, kReplyText).find(kModemIdentification) !=
               std::string::npos;
      },
      kPageWait))
      << "reply \"" << W::GetDlgItemText(console, kReplyText) << "\"";

  // Esc leaves the wizard, page by page, as the pages give it.
  for (int presses = 0; presses < 4; ++presses) {
    const W::HWND current = program.frame.navigator.CurrentWindow();
    if (current == W::kNullHwnd) {
      break;
    }
    tour.Key(current, Qt::Key_Escape);
    if (tour.Wait([&] { return program.frame.navigator.CurrentWindow() != current; }, kPageWait)) {
      continue;
    }
    break;
  }
}

TEST(KeyboardTourTest, EveryPageWorksByKeyboardAlone) {
  std::string diagnostics;
  const int result = RunTour({"netrunner56k", "solano1280i"}, WalkByKeyboard, diagnostics);
  EXPECT_EQ(result, 0) << diagnostics;
}

}  // namespace
}  // namespace norix::app
