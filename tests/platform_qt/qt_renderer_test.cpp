// The Qt renderer with real dialogs on page threads: what the page changes
// shows on the widgets, what the user does on the widgets reaches the page
// procedure, and the look (pictures, transparent texts, arrow images).
#include "platform/qt/qt_renderer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <array>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/control_widgets.h"
#include "platform/window/control_api.h"
#include "platform/window/message_box.h"
#include "platform_qt/program_page_texts.h"
#include "platform_window/dialog_fixture.h"
#include "resources/dialogs/dialog_templates.h"
#include "resources/dialogs/page_layout.h"
#include "resources/pictures/pictures.h"
#include "resources/resource_ids.h"
#include "shell/page_chrome.h"
#include "utilities/nationality_page.h"

// The system's font configuration library keeps a cache for the life of the
// process; the leak checker must not count it against the tests. The name is
// the one the sanitizer runtime looks for.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" const char* __lsan_default_suppressions();
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace norix::platform::qt {
namespace {

namespace w = window;
using qt::testing::kPageTemplates;
using qt::testing::kPageTexts;
using qt::testing::PageTextRow;
using w::testing::DialogThread;
using w::testing::kLong;
using w::testing::LoggingProc;
using w::testing::MessageLog;
using w::testing::Received;

constexpr w::UINT kRunOnPage = w::WM_APP + 50;  // wParam: index into the page's job list
constexpr w::UINT kHover = 0x8008;

const QColor kBackgroundColour(40, 120, 60);
const QColor kNormalColour(200, 30, 30);
const QColor kPressedColour(30, 30, 200);

// Pictures with colours a test can recognise: a plain page, and arrow
// images whose middle is red (normal) or blue (pressed) inside a light grey
// border that must come out transparent.
QImage TestPicture(int id, QSize size) {
  QImage image(size, QImage::Format_ARGB32);
  if (id == 120) {
    image.fill(kBackgroundColour);
    QPainter painter(&image);
    painter.setPen(QColor(230, 230, 200));
    painter.drawText(image.rect().adjusted(0, 0, -6, -4), Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("test picture"));
    return image;
  }
  const bool pressed = id == 124 || id == 128 || id == 130 || id == 139;
  image.fill(QColor(192, 192, 192));
  QPainter painter(&image);
  painter.fillRect(image.rect().adjusted(size.width() / 4, size.height() / 4, -size.width() / 4,
                                         -size.height() / 4),
                   pressed ? kPressedColour : kNormalColour);
  return image;
}

QApplication& App() {
  static int argc = 1;
  static char name[] = "platform_qt_tests";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");  // no display needed
  }
  // Never destroyed: at exit Qt's own globals may already be gone.
  static auto* const app = new QApplication(argc, argv);
  return *app;
}

bool WaitGui(const std::function<bool()>& condition) {
  return QTest::qWaitFor(condition, static_cast<int>(kLong.count() * 1000));
}

// Waits until the dialog's widget is there and shown.
bool WaitShown(QtRenderer& renderer, w::HWND hwnd) {
  return WaitGui([&] {
    QWidget* widget = renderer.DialogWidget(hwnd);
    return widget != nullptr && widget->isVisible();
  });
}

void SaveScreenshot(QWidget* widget, const QString& name) {
  QDir().mkpath(QStringLiteral(NORIX_SCREENSHOT_DIR));
  widget->grab().save(QStringLiteral(NORIX_SCREENSHOT_DIR "/") + name + ".png");
}

class QtRendererTest : public ::testing::Test {
 protected:
  QtRendererTest() {
    EXPECT_EQ(templates_.Add(w::testing::PageTemplate()), "");
    EXPECT_EQ(templates_.Add(w::testing::PickerTemplate()), "");
  }

  // Opens the test page on a thread of its own and waits until it shows.
  // `jobs` run on the page thread when kRunOnPage comes with their index.
  std::unique_ptr<DialogThread> OpenPage(std::vector<std::function<void(w::HWND)>> jobs = {}) {
    jobs_ = std::move(jobs);
    auto page = std::make_unique<DialogThread>(
        desktop_, w::testing::kPage,
        LoggingProc(
            log_, [this](w::HWND hwnd, w::UINT message, w::WPARAM wParam, w::LPARAM) -> w::LRESULT {
              if (message == kRunOnPage && wParam < jobs_.size()) {
                jobs_[wParam](hwnd);
                return 1;
              }
              return message == w::WM_INITDIALOG ? 1 : 0;
            }));
    handle_ = page->WaitHandle();
    EXPECT_NE(handle_, w::kNullHwnd);
    EXPECT_TRUE(WaitShown(renderer_, handle_));
    return page;
  }

  // The widget of a control of the test page, of the class the page makes
  // for that kind (checked by the first test).
  template <class T>
  T* Control(int id) {
    QWidget* widget = renderer_.ControlWidget(handle_, id);
    EXPECT_NE(dynamic_cast<T*>(widget), nullptr) << id;
    return static_cast<T*>(widget);
  }

  void RunOnPage(std::size_t job) { w::PostMessage(handle_, kRunOnPage, job, 0); }

  std::optional<Received> WaitCommand(int id, w::UINT code) {
    std::optional<Received> found;
    WaitGui([&] {
      found = log_.WaitForCommand(id, code, std::chrono::milliseconds(0));
      return found.has_value();
    });
    return found;
  }

  std::optional<Received> WaitMessage(w::UINT message) {
    std::optional<Received> found;
    WaitGui([&] {
      found = log_.WaitForMessage(message, std::chrono::milliseconds(0));
      return found.has_value();
    });
    return found;
  }

  QApplication& app_ = App();  // before the renderer, which needs it
  w::TemplateRegistry templates_;
  QtRenderer renderer_{TestPicture};
  w::Desktop desktop_{renderer_, templates_};
  MessageLog log_;
  std::vector<std::function<void(w::HWND)>> jobs_;
  w::HWND handle_{};
};

TEST_F(QtRendererTest, PageShowsTheTemplateAndFollowsChangesFromThePageThread) {
  auto page = OpenPage({[](w::HWND hwnd) {
    w::SetDlgItemText(hwnd, w::testing::kStatus, "Searching for products");
    w::ShowWindow(w::GetDlgItem(hwnd, w::testing::kHidden), w::SW_SHOW);
    w::ShowWindow(w::GetDlgItem(hwnd, w::testing::kBod), w::SW_HIDE);
    w::EnableWindow(w::GetDlgItem(hwnd, w::testing::kSettings), true);
    w::AddListItem(hwnd, w::testing::kCountries, "Denmark (45)");
    w::AddListItem(hwnd, w::testing::kCountries, "Germany (49)");
    w::SetListSelection(hwnd, w::testing::kCountries, 1);
    w::AddListItem(hwnd, w::testing::kLines, "KOMET II on /dev/ttyUSB0");
    w::SetProgressRange(hwnd, w::testing::kProgress, 0, 200);
    w::SetProgressPos(hwnd, w::testing::kProgress, 150);
    w::CheckDlgButton(hwnd, w::testing::kBod, w::BST_CHECKED);
    w::SetWindowText(hwnd, "Renamed page");
  }});
  QWidget* window = renderer_.DialogWidget(handle_);
  const auto state = w::GetWindowState(handle_);
  ASSERT_TRUE(state);
  EXPECT_EQ(window->size(), QSize(state->clientSize.width, state->clientSize.height));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->windowTitle(), "Test page");
  EXPECT_FALSE(Control<QPushButton>(w::testing::kHidden)->isVisible());
  EXPECT_FALSE(Control<BigButton>(w::testing::kSettings)->isEnabled());
  EXPECT_EQ(Control<TextLabel>(w::testing::kStatus)->Text(), "Please wait...");
  EXPECT_EQ(Control<QLineEdit>(w::testing::kReadOnly)->text(), "fixed");
  EXPECT_TRUE(Control<QLineEdit>(w::testing::kReadOnly)->isReadOnly());
  SaveScreenshot(window, "test-page-initial");

  RunOnPage(0);
  EXPECT_TRUE(WaitGui([&] { return window->windowTitle() == "Renamed page"; }));
  EXPECT_EQ(Control<TextLabel>(w::testing::kStatus)->Text(), "Searching for products");
  EXPECT_TRUE(Control<QPushButton>(w::testing::kHidden)->isVisible());
  EXPECT_FALSE(Control<QCheckBox>(w::testing::kBod)->isVisible());
  EXPECT_TRUE(Control<QCheckBox>(w::testing::kBod)->isChecked());
  EXPECT_TRUE(Control<BigButton>(w::testing::kSettings)->isEnabled());
  auto* combo = Control<QComboBox>(w::testing::kCountries);
  ASSERT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->currentIndex(), 1);
  EXPECT_EQ(combo->currentText(), "Germany (49)");
  EXPECT_EQ(Control<QListWidget>(w::testing::kLines)->count(), 1);
  auto* bar = Control<QProgressBar>(w::testing::kProgress);
  EXPECT_EQ(bar->maximum(), 200);
  EXPECT_EQ(bar->value(), 150);
  SaveScreenshot(window, "test-page-changed");
}

TEST_F(QtRendererTest, UserInputOnTheWidgetsReachesThePageProcedure) {
  desktop_.SetHoverMessage(kHover);
  auto page = OpenPage();

  QTest::mouseClick(Control<QWidget>(w::testing::kNext), Qt::LeftButton);
  EXPECT_TRUE(WaitCommand(w::testing::kNext, w::BN_CLICKED));

  // The model's rules decide what an edit keeps: digits only here.
  auto* digits = Control<QLineEdit>(w::testing::kDigits);
  digits->setFocus();
  QTest::keyClicks(digits, "a1b2");
  EXPECT_EQ(digits->text(), "12");
  EXPECT_EQ(w::GetDlgItemText(handle_, w::testing::kDigits), "12");
  EXPECT_TRUE(WaitCommand(w::testing::kDigits, w::EN_CHANGE));
  auto* upper = Control<QLineEdit>(w::testing::kUpper);
  upper->setFocus();
  QTest::keyClicks(upper, "msn");
  EXPECT_EQ(upper->text(), "MSN");

  // Radios of one group: the model clears the other one.
  QTest::mouseClick(Control<QRadioButton>(w::testing::kOneChannel), Qt::LeftButton);
  QTest::mouseClick(Control<QRadioButton>(w::testing::kTwoChannels), Qt::LeftButton);
  EXPECT_TRUE(WaitGui([&] {
    return !Control<QRadioButton>(w::testing::kOneChannel)->isChecked() &&
           Control<QRadioButton>(w::testing::kTwoChannels)->isChecked();
  }));
  EXPECT_EQ(w::IsDlgButtonChecked(handle_, w::testing::kOneChannel), w::BST_UNCHECKED);
  EXPECT_EQ(w::IsDlgButtonChecked(handle_, w::testing::kTwoChannels), w::BST_CHECKED);
  auto* bod = Control<QCheckBox>(w::testing::kBod);
  QTest::mouseClick(bod, Qt::LeftButton, {}, QPoint(4, bod->height() / 2));  // on the box
  EXPECT_EQ(w::IsDlgButtonChecked(handle_, w::testing::kBod), w::BST_CHECKED);
  EXPECT_TRUE(WaitCommand(w::testing::kBod, w::BN_CLICKED));

  // Picking a line of the list box.
  w::AddListItem(handle_, w::testing::kLines, "first");
  w::AddListItem(handle_, w::testing::kLines, "second");
  auto* lines = Control<QListWidget>(w::testing::kLines);
  ASSERT_TRUE(WaitGui([&] { return lines->count() == 2; }));
  lines->setCurrentRow(1);
  EXPECT_EQ(w::GetListSelection(handle_, w::testing::kLines), 1);
  EXPECT_TRUE(WaitCommand(w::testing::kLines, w::LBN_SELCHANGE));

  // The pointer entering a control: hover message with the control's id.
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(Control<QWidget>(w::testing::kStatus), &enter);
  const auto hover = WaitMessage(kHover);
  ASSERT_TRUE(hover);
  EXPECT_EQ(hover->lParam, w::testing::kStatus);
  EXPECT_EQ(hover->wParam, w::HwndToWParam(w::GetDlgItem(handle_, w::testing::kStatus)));

  // Esc is the cancel command; closing the window is WM_CLOSE.
  QTest::keyClick(Control<QWidget>(w::testing::kUpper), Qt::Key_Escape);
  EXPECT_TRUE(WaitCommand(w::IDCANCEL, w::BN_CLICKED));
  renderer_.DialogWidget(handle_)->close();
  EXPECT_TRUE(WaitMessage(w::WM_CLOSE));
  EXPECT_TRUE(renderer_.DialogWidget(handle_)->isVisible());  // the page decides
}

TEST_F(QtRendererTest, FocusedArrowButtonShowsThePressedImageAndEnterPressesIt) {
  auto page = OpenPage({[](w::HWND hwnd) { w::SetFocus(w::GetDlgItem(hwnd, w::testing::kNext)); }});
  auto* next = Control<ArrowButton>(w::testing::kNext);
  ASSERT_NE(next, nullptr);
  QWidget* window = renderer_.DialogWidget(handle_);
  const QPoint middle = next->geometry().center();
  const QPoint corner = next->geometry().topLeft() + QPoint(1, 1);
  EXPECT_EQ(window->grab().toImage().pixelColor(middle), kNormalColour);
  // The light grey border is transparent: the page picture shows through.
  EXPECT_EQ(window->grab().toImage().pixelColor(corner), kBackgroundColour);

  RunOnPage(0);  // the page moves the focus onto '>'
  ASSERT_TRUE(WaitGui([&] { return next->hasFocus(); }));
  EXPECT_EQ(window->grab().toImage().pixelColor(middle), kPressedColour);
  EXPECT_EQ(window->grab().toImage().pixelColor(corner), kBackgroundColour);
  SaveScreenshot(window, "test-page-arrow-focused");

  QTest::keyClick(next, Qt::Key_Return);
  EXPECT_TRUE(WaitCommand(w::testing::kNext, w::BN_CLICKED));

  // Tabbing away shows the normal image again.
  Control<QLineEdit>(w::testing::kEntry)->setFocus();
  ASSERT_TRUE(WaitGui([&] { return !next->hasFocus(); }));
  EXPECT_EQ(window->grab().toImage().pixelColor(middle), kNormalColour);
}

TEST_F(QtRendererTest, ShorterTextLeavesNoRemainsOfTheLongerOne) {
  auto page = OpenPage({
      [](w::HWND hwnd) {
        w::SetDlgItemText(hwnd, w::testing::kStatus, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
      },
      [](w::HWND hwnd) { w::SetDlgItemText(hwnd, w::testing::kStatus, "W"); },
  });
  QWidget* window = renderer_.DialogWidget(handle_);
  auto* status = Control<TextLabel>(w::testing::kStatus);
  RunOnPage(0);
  ASSERT_TRUE(WaitGui([&] { return status->Text().size() == 30; }));
  const QImage longText = window->grab(status->geometry()).toImage();
  RunOnPage(1);
  ASSERT_TRUE(WaitGui([&] { return status->Text() == "W"; }));
  const QImage shortText = window->grab(status->geometry()).toImage();

  // Right of the first letter, the long text had ink and the short one must
  // show nothing but the page picture.
  const int from = status->fontMetrics().horizontalAdvance(QStringLiteral("WW"));
  int inkBefore = 0;
  for (int y = 0; y < shortText.height(); ++y) {
    for (int x = from; x < shortText.width(); ++x) {
      ASSERT_EQ(shortText.pixelColor(x, y), kBackgroundColour) << x << "," << y;
      inkBefore += longText.pixelColor(x, y) != kBackgroundColour ? 1 : 0;
    }
  }
  EXPECT_GT(inkBefore, 0);
}

TEST_F(QtRendererTest, MessageBoxShowsStyleAndAnswersWithTheButtonClicked) {
  std::atomic<int> answer{-1};
  auto page = OpenPage({[&answer](w::HWND hwnd) {
    answer.store(
        w::MessageBox(hwnd, "Upgrade now?", "NORIX message",
                      w::MB_YESNO | w::MB_ICONQUESTION | w::MB_DEFBUTTON2 | w::MB_TASKMODAL));
  }});
  RunOnPage(0);
  QMessageBox* box = nullptr;
  ASSERT_TRUE(WaitGui([&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->inherits("QMessageBox") && widget->isVisible()) {
        box = static_cast<QMessageBox*>(widget);
      }
    }
    return box != nullptr;
  }));
  EXPECT_EQ(box->text(), "Upgrade now?");
  EXPECT_EQ(box->windowTitle(), "NORIX message");
  EXPECT_EQ(box->icon(), QMessageBox::Question);
  EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
  ASSERT_EQ(box->buttons().size(), 2);
  EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
  // The owner page takes no input while the box is open.
  EXPECT_TRUE(WaitGui([&] { return !renderer_.DialogWidget(handle_)->isEnabled(); }));
  SaveScreenshot(box, "test-message-box");

  box->button(QMessageBox::Yes)->click();
  EXPECT_TRUE(WaitGui([&] { return answer.load() == w::IDYES; }));
  EXPECT_TRUE(WaitGui([&] { return renderer_.DialogWidget(handle_)->isEnabled(); }));
}

TEST_F(QtRendererTest, DisplayChangeReachesEveryOpenPageAndClosingRemovesTheWidget) {
  renderer_.AttachDesktop(&desktop_);
  auto page = OpenPage();
  renderer_.ScreenChanged();
  const auto changed = WaitMessage(w::WM_DISPLAYCHANGE);
  ASSERT_TRUE(changed);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(w::LOWORD(changed->lParam), static_cast<unsigned>(screen.width()));
  EXPECT_EQ(w::HIWORD(changed->lParam), static_cast<unsigned>(screen.height()));

  w::EndDialog(handle_, 7);
  EXPECT_EQ(page->WaitResult(), 7);
  EXPECT_TRUE(WaitGui([&] { return renderer_.DialogWidget(handle_) == nullptr; }));
  renderer_.AttachDesktop(nullptr);
}

// What the pages read from the product, in the pictures: sample values.
struct PageValueRow {
  int page;
  int control;
  const char* value;
};

constexpr PageValueRow kPageValues[] = {
    {16, 1034, "NORIX solano 1280i"},
    {16, 1031, "V1.42"},
    {16, 1032, "12 March 2001"},
    {16, 1042, "norixisdn.inf"},
    {16, 1043, "4 May 2001"},
    {17, 1028, "V1.42"},
    {18, 1029, "V1.42"},
    {18, 1075, "V1.30"},
    {19, 1028, "V1.42"},
    {20, 1028, "V1.42"},
    {21, 1028, "V1.42"},
};

// The KOMET II number pages start with every control hidden but the status
// text while they read the adapter, and show them once it has answered: the
// pictures show them loaded. Two-digit mode on the local numbers page: the
// second prefix box and the connector lines of one-digit mode stay hidden.
bool ShownOnceLoaded(int page) {
  return page == resources::kKometMsnPage || page == resources::kKometLocalPage;
}
bool HiddenOnceLoaded(int page, int control) {
  return control == 1074 || (page == resources::kKometLocalPage &&
                             (control == 1117 || (control >= 1184 && control <= 1187)));
}

// The nationality page once it has read the product: the country list with
// Germany chosen and its flag beside the list.
using utilities::kCountryListId;
using utilities::kFlagPictureId;
constexpr int kGermany = 6;  // position in the country table; the flags follow it

void ShowCountries(w::HWND page) {
  for (int country = 0; country < shell::kCountryNameCount; ++country) {
    w::AddListItem(page, kCountryListId,
                   resources::dialogs::layout::EnglishText(shell::kFirstCountryNameText + country));
  }
  w::SetListSelection(page, kCountryListId, kGermany);
  w::SetControlPicture(page, kFlagPictureId, resources::kFirstFlagPicture + kGermany);
}

// Every page of the program as the program draws it: its own pictures, the
// header with a product name and the texts of the page's set-up, saved as
// page-NN.png (NN the page index) for a look. Each must open, show its texts
// on the widgets and close cleanly.
TEST(QtProgramPages, EveryProgramPageOpensShowsItsTextsAndCloses) {
  QApplication& app = App();
  static_cast<void>(app);
  w::TemplateRegistry templates;
  resources::dialogs::RegisterDialogTemplates(templates);
  QtRenderer renderer(
      [](int id, QSize size) { return resources::pictures::RenderPicture(id, size); });
  w::Desktop desktop(renderer, templates);
  for (std::size_t index = 0; index < kPageTemplates.size(); ++index) {
    SCOPED_TRACE(index);
    const int pageIndex = static_cast<int>(index);
    std::vector<std::pair<int, std::string>> texts;
    for (const PageTextRow& row : kPageTexts) {
      if (row.page == pageIndex) {
        texts.emplace_back(row.control, resources::dialogs::layout::EnglishText(row.text));
        EXPECT_FALSE(texts.back().second.empty()) << "string " << row.text;
      }
    }
    for (const PageValueRow& row : kPageValues) {
      if (row.page == pageIndex) {
        texts.emplace_back(row.control, row.value);
      }
    }
    const auto pageTemplate = templates.Find(kPageTemplates[index]);
    ASSERT_NE(pageTemplate, nullptr);
    std::vector<int> shownOnceLoaded;
    if (ShownOnceLoaded(pageIndex)) {
      for (const w::ControlTemplate& control : pageTemplate->controls) {
        if (!HiddenOnceLoaded(pageIndex, control.id)) {
          shownOnceLoaded.push_back(control.id);
        }
      }
    }
    DialogThread page(desktop, kPageTemplates[index],
                      [&texts, &shownOnceLoaded](w::HWND hwnd, w::UINT message, w::WPARAM,
                                                 w::LPARAM) -> w::LRESULT {
                        if (message == w::WM_INITDIALOG) {
                          // What the page set-up does with the header.
                          w::FontDescription header;
                          header.pixelHeight = 20;
                          header.weight = 700;
                          header.italic = true;
                          w::SetControlFont(hwnd, resources::kHeaderId, header);
                          w::SetDlgItemText(hwnd, resources::kHeaderId, "NORIX solano 1280i ");
                          for (const auto& [control, text] : texts) {
                            w::SetDlgItemText(hwnd, control, text);
                          }
                          if (!shownOnceLoaded.empty()) {
                            w::ShowWindow(w::GetDlgItem(hwnd, 1074), w::SW_HIDE);
                          }
                          for (const int control : shownOnceLoaded) {
                            w::ShowWindow(w::GetDlgItem(hwnd, control), w::SW_SHOW);
                          }
                          if (w::GetDlgItem(hwnd, kFlagPictureId) != w::kNullHwnd &&
                              w::GetDlgItem(hwnd, kCountryListId) != w::kNullHwnd) {
                            ShowCountries(hwnd);
                          }
                          return 1;
                        }
                        return 0;
                      });
    const w::HWND hwnd = page.WaitHandle();
    ASSERT_NE(hwnd, w::kNullHwnd);
    ASSERT_TRUE(WaitShown(renderer, hwnd));
    QWidget* widget = renderer.DialogWidget(hwnd);
    EXPECT_EQ(widget->size(), QSize(w::GetClientRect(hwnd).right, w::GetClientRect(hwnd).bottom));
    // The texts reached the widgets that draw them.
    for (const auto& [control, text] : texts) {
      QWidget* shown = renderer.ControlWidget(hwnd, control);
      ASSERT_NE(shown, nullptr) << control;
      QString onWidget;
      if (const auto* label = dynamic_cast<TextLabel*>(shown)) {
        onWidget = label->Text();
      } else if (const auto* button = dynamic_cast<QAbstractButton*>(shown)) {
        onWidget = button->text();
      }
      EXPECT_EQ(onWidget.toStdString(), text) << control;
    }
    if (pageIndex == resources::kNationalityPage) {
      auto* countries = dynamic_cast<QComboBox*>(renderer.ControlWidget(hwnd, kCountryListId));
      ASSERT_NE(countries, nullptr);
      EXPECT_EQ(countries->count(), shell::kCountryNameCount);
      EXPECT_EQ(countries->currentText(), "Germany (49)");
      // The flag is drawn: black, red and gold stripes from top to bottom.
      QWidget* flag = renderer.ControlWidget(hwnd, kFlagPictureId);
      ASSERT_NE(flag, nullptr);
      const QImage drawn = flag->grab().toImage();
      const QColor top = drawn.pixelColor(drawn.width() / 2, drawn.height() / 6);
      const QColor bottom = drawn.pixelColor(drawn.width() / 2, drawn.height() * 5 / 6);
      EXPECT_LT(top.lightness(), 60);
      EXPECT_GT(bottom.red(), 180);
      EXPECT_GT(bottom.green(), 150);
    }
    // The page picture is behind the page: far more than a flat fill.
    const QImage shot = widget->grab().toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 4) {
      for (int x = 0; x < shot.width(); x += 4) {
        colours.insert(shot.pixel(x, y));
      }
    }
    EXPECT_GT(colours.size(), 50U);
    SaveScreenshot(widget, QStringLiteral("page-%1").arg(index, 2, 10, QChar('0')));
    w::EndDialog(hwnd, 0);
    EXPECT_EQ(page.WaitResult(), 0);
    EXPECT_TRUE(WaitGui([&] { return renderer.DialogWidget(hwnd) == nullptr; }));
  }
}

// The provider services page's "*"/"#" lists and the labels of the
// portability character are fixed-pitch, open list included, so that the
// key sequences of the activation and cancel lines keep their columns; the
// service list beside them keeps the page's font.
TEST(QtProgramPages, KeySequencesAreFixedPitchAndTheServiceListIsNot) {
  QApplication& app = App();
  static_cast<void>(app);
  w::TemplateRegistry templates;
  resources::dialogs::RegisterDialogTemplates(templates);
  QtRenderer renderer(
      [](int id, QSize size) { return resources::pictures::RenderPicture(id, size); });
  w::Desktop desktop(renderer, templates);
  DialogThread page(desktop, resources::kProviderServicesTemplate,
                    [](w::HWND hwnd, w::UINT message, w::WPARAM, w::LPARAM) -> w::LRESULT {
                      if (message == w::WM_INITDIALOG) {
                        shell::ShowAllControls(hwnd, true);
                        for (const int list : {1154, 1155, 1157, 1156, 1158, 1160, 1161}) {
                          w::AddListItem(hwnd, list, "*");
                          w::AddListItem(hwnd, list, "#");
                        }
                        return 1;
                      }
                      return 0;
                    });
  const w::HWND hwnd = page.WaitHandle();
  ASSERT_NE(hwnd, w::kNullHwnd);
  ASSERT_TRUE(WaitShown(renderer, hwnd));
  const auto fixedPitch = [&](int id) {
    QWidget* widget = renderer.ControlWidget(hwnd, id);
    EXPECT_NE(widget, nullptr) << id;
    return widget != nullptr && QFontInfo(widget->font()).fixedPitch();
  };
  for (const int id : {1155, 1157, 1156, 1158, 1160, 1161, 1193, 1194, 1196, 1198, 1199, 1201}) {
    EXPECT_TRUE(fixedPitch(id)) << id;
  }
  auto* prefix = dynamic_cast<QComboBox*>(renderer.ControlWidget(hwnd, 1155));
  ASSERT_NE(prefix, nullptr);
  EXPECT_TRUE(QFontInfo(prefix->view()->font()).fixedPitch());
  EXPECT_EQ(QFontMetrics(prefix->font()).horizontalAdvance('*'),
            QFontMetrics(prefix->font()).horizontalAdvance('#'));
  EXPECT_FALSE(fixedPitch(1154));
  w::EndDialog(hwnd, 0);
  EXPECT_EQ(page.WaitResult(), 0);
}

TEST(QtMaskArrowGrey, OnlyExactLightGreyBecomesTransparent) {
  QImage image(3, 1, QImage::Format_RGB32);
  image.setPixelColor(0, 0, QColor(192, 192, 192));
  image.setPixelColor(1, 0, QColor(192, 192, 193));
  image.setPixelColor(2, 0, QColor(0, 0, 0));
  const QImage masked = MaskArrowGrey(image);
  EXPECT_EQ(qAlpha(masked.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(masked.pixel(1, 0)), 255);
  EXPECT_EQ(masked.pixelColor(2, 0), QColor(0, 0, 0));
}

}  // namespace
}  // namespace norix::platform::qt
