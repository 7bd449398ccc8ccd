// Every page in every language of the program. norix-config runs offscreen
// once per language token with simulated products while a tour opens each
// page the build runs, and every page template is drawn with each text its
// controls can show. A text fails when it is missing, clipped by its control
// (measured with the control's font against the area the control draws
// text in, word-wrapped where the control wraps) or still in English where
// the language's catalogue has the text. Qt's own texts (standard buttons,
// the file dialog) must follow the language too.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/wizard_tour.h"
#include "isdn/komet_msn_page.h"
#include "platform/qt/control_widgets.h"
#include "platform/qt/qt_renderer.h"
#include "platform/window/template_registry.h"
#include "platform_qt/program_page_texts.h"
#include "platform_window/dialog_fixture.h"
#include "resources/dialogs/dialog_templates.h"
#include "resources/pictures/pictures.h"
#include "resources/resource_ids.h"
#include "resources/strings/data_folder.h"
#include "shell/language.h"
#include "shell/text_module.h"

namespace norix::app {
namespace {

using namespace wizard_tour;
namespace qt = platform::qt;
namespace dialogs = resources::dialogs;

// ---------------------------------------------------------------------------
// Measuring a text on its control (GUI thread only).

// The text a control shows on its own; nullopt for the controls that show
// none of the program's texts (pictures, arrow buttons, edits, lists; the
// lines of a drop-down list are read apart).
std::optional<QString> ShownText(const QWidget& widget) {
  if (const auto* label = dynamic_cast<const qt::TextLabel*>(&widget)) {
    return label->Text();
  }
  if (dynamic_cast<const qt::ArrowButton*>(&widget) != nullptr) {
    return std::nullopt;
  }
  if (const auto* button = dynamic_cast<const QAbstractButton*>(&widget)) {
    return button->text();
  }
  if (const auto* box = dynamic_cast<const QGroupBox*>(&widget)) {
    return box->title();
  }
  return std::nullopt;
}

// The area a check box, radio button or push button draws its label in.
QRect ButtonLabelArea(const QAbstractButton& button, const QString& text) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = text;
  QStyle::SubElement element = QStyle::SE_PushButtonContents;
  if (dynamic_cast<const QCheckBox*>(&button) != nullptr) {
    element = QStyle::SE_CheckBoxContents;
  } else if (dynamic_cast<const QRadioButton*>(&button) != nullptr) {
    element = QStyle::SE_RadioButtonContents;
  }
  return button.style()->subElementRect(element, &option, &button);
}

// Whether `text` shows whole on `widget`.
bool Fits(const QWidget& widget, const QString& text) {
  // A control without text (the tick boxes of a table's rows) clips none.
  if (text.isEmpty()) {
    return true;
  }
  const QFontMetrics metrics(widget.font());
  const auto fitsOneLine = [&](const QRect& area) {
    return metrics.horizontalAdvance(text) <= area.width() && metrics.height() <= area.height();
  };
  if (dynamic_cast<const qt::TextLabel*>(&widget) != nullptr) {
    const QRect area = widget.rect();
    const QRect needed =
        metrics.boundingRect(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return needed.width() <= area.width() && needed.height() <= area.height();
  }
  if (dynamic_cast<const qt::BigButton*>(&widget) != nullptr) {
    return fitsOneLine(widget.rect());
  }
  if (const auto* button = dynamic_cast<const QAbstractButton*>(&widget)) {
    return fitsOneLine(ButtonLabelArea(*button, text));
  }
  if (const auto* combo = dynamic_cast<const QComboBox*>(&widget)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    option.frame = true;
    option.currentText = text;
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    return fitsOneLine(field);
  }
  if (dynamic_cast<const QGroupBox*>(&widget) != nullptr) {
    constexpr int kFrameIndent = 8;  // the title starts a little inside the frame
    return metrics.horizontalAdvance(text) + 2 * kFrameIndent <= widget.width();
  }
  return true;
}

// ---------------------------------------------------------------------------
// The languages and their texts.

struct Language {
  const char* token;
  const char* name;
};

// English first: the other languages are compared with it.
constexpr std::array<Language, 6> kLanguages{{
    {"uk", "English"},
    {"dk", "Danish"},
    {"n", "Norwegian"},
    {"s", "Swedish"},
    {"d", "German"},
    {"f", "French"},
}};

bool IsEnglish(const Language& language) { return std::string_view(language.token) == "uk"; }

// The texts the program shows for a language token.
shell::TextModule TextsOf(const Language& language) {
  const std::optional<int> code = shell::CountryCodeFromCommandLine(language.token);
  EXPECT_TRUE(code.has_value()) << language.token;
  if (!code || IsEnglish(language)) {
    return {};
  }
  shell::TextModuleChoice choice =
      shell::LoadTextModule(*code, resources::strings::BuildTreeDataFolder());
  EXPECT_FALSE(choice.module.IsProgramOwn()) << language.name << ": no catalogue";
  for (const std::string& problem : choice.problems) {
    ADD_FAILURE() << problem;
  }
  return std::move(choice.module);
}

// The string numbers of the program's English texts, by wording.
class EnglishTexts {
 public:
  EnglishTexts() {
    const shell::TextModule own;
    for (int id = resources::strings::kFirstTextId; id <= resources::strings::kLastTextId; ++id) {
      if (!own.Text(id).empty()) {
        ids_[QString::fromStdString(std::string(own.Text(id)))].push_back(id);
      }
    }
  }

  // The numbers of the English texts worded exactly `text`.
  [[nodiscard]] std::vector<int> IdsOf(const QString& text) const {
    const auto found = ids_.find(text);
    return found == ids_.end() ? std::vector<int>{} : found->second;
  }

  // A number whose English wording `text` is and whose text in `texts`
  // differs from it: the text is left in English. 0 when there is none.
  [[nodiscard]] int LeftInEnglish(const QString& text, const shell::TextModule& texts) const {
    const shell::TextModule own;
    for (const int id : IdsOf(text)) {
      if (texts.Text(id) != own.Text(id)) {
        return id;
      }
    }
    return 0;
  }

 private:
  std::map<QString, std::vector<int>> ids_;
};

// A problem of one text, for the failure message.
std::string Describe(const Language& language, const std::string& where, const QString& text) {
  std::ostringstream out;
  out << language.name << ", " << where << ": \"" << text.toStdString() << "\"";
  return out.str();
}

// ---------------------------------------------------------------------------
// The pages of a run, as the tour finds them.

// What a page shows: by control id and line of a drop-down list (-1 for the
// control's own text; control 0 is the window title).
struct ShownControl {
  QString text;
  bool fits = true;
};
using Snapshot = std::map<std::pair<int, int>, ShownControl>;
using RunSnapshots = std::map<std::string, Snapshot>;

constexpr int kProductListPage = 0;
constexpr int kMainMenuPage = 1;
constexpr int kNationalityPage = 3;
constexpr int kAtConsolePage = 5;
constexpr int kSolanoSettingsPage = 7;
constexpr int kKometSettingsPage = 8;
constexpr int kProductInformationPage = 16;

constexpr int kBack = 1014;
constexpr int kNext = 1002;
constexpr int kCancel = 1008;
constexpr int kDeviceList = 1000;
constexpr int kSettingsButton = 1004;
constexpr int kProductInformationButton = 1001;
constexpr int kCountryButton = 1021;
constexpr int kDefaultSettingButton = 1068;
constexpr int kCountryList = 1023;
constexpr int kKometDescription = 1121;
constexpr int kMsnEntry = 1043;    // solano button, KOMET II radio
constexpr int kLocalEntry = 1122;  // KOMET II radio
constexpr std::array<int, 6> kKometRadios = {1123, 1122, 1043, 1068, 1021, 1069};

struct Product {
  const char* model;   // simulator model
  const char* listed;  // part of its line in the product list
  const char* name;    // in the step names
  int settingsPage;    // its settings menu
  bool utilityPages;   // also visit the nationality page and the AT console
};

constexpr std::array<Product, 3> kProducts{{
    {"netrunner56k", "Netrunner", "modem", 6, true},
    {"solano1280i", "solano", "solano", kSolanoSettingsPage, false},
    {"komet2", "KOMET", "KOMET II", kKometSettingsPage, false},
}};

class PageRecorder {
 public:
  PageRecorder(Tour& tour, const app::Program& program, const char* token, RunSnapshots& snapshots)
      : tour_(tour), program_(program), token_(token), snapshots_(snapshots) {
    dialogs::RegisterDialogTemplates(templates_);
  }

  // Records what page `index` shows under `step`.
  void Take(const std::string& step, W::HWND page, int index) {
    const shell::PageRow* row = program_.frame.pages.Row(index);
    const auto pageTemplate = row != nullptr ? templates_.Find(row->templateId) : nullptr;
    if (pageTemplate == nullptr) {
      ADD_FAILURE() << step << ": no template for page " << index;
      return;
    }
    Snapshot snapshot;
    RunOnGuiThread([&] {
      qt::PageWidget* widget = PageWidgetOf(page);
      if (widget == nullptr) {
        return;
      }
      // For a look: language-<token>-<step>.png.
      QString file = QString::fromStdString(step);
      file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("-"));
      QDir().mkpath(QStringLiteral(NORIX_SCREENSHOT_DIR));
      widget->grab().save(QStringLiteral(NORIX_SCREENSHOT_DIR "/language-%1-%2.png")
                              .arg(QString::fromLatin1(token_), file.toLower()));
      snapshot[{0, -1}] = {widget->windowTitle(), true};
      for (const platform::window::ControlTemplate& control : pageTemplate->controls) {
        const QWidget* shown = widget->Control(control.id);
        if (shown == nullptr || !shown->isVisible()) {
          continue;
        }
        if (const auto* combo = dynamic_cast<const QComboBox*>(shown)) {
          for (int line = 0; line < combo->count(); ++line) {
            const QString text = combo->itemText(line);
            snapshot[{control.id, line}] = {text, Fits(*combo, text)};
          }
        } else if (const std::optional<QString> text = ShownText(*shown)) {
          snapshot[{control.id, -1}] = {*text, Fits(*shown, *text)};
        }
      }
    });
    EXPECT_FALSE(snapshot.empty()) << step << ": page " << index << " not drawn";
    snapshots_[step] = std::move(snapshot);
  }

  // Qt's own texts as the run's message boxes and file dialog show them.
  void TakeQtTexts() {
    Snapshot snapshot;
    RunOnGuiThread([&] {
      QMessageBox box;
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel |
                             QMessageBox::Retry | QMessageBox::Abort | QMessageBox::Ignore);
      for (QAbstractButton* button : box.buttons()) {
        snapshot[{static_cast<int>(box.standardButton(button)), -1}] = {button->text(), true};
      }
      QFileDialog dialog;
      dialog.setOption(QFileDialog::DontUseNativeDialog);
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      if (const auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        for (QAbstractButton* button : buttons->buttons()) {
          snapshot[{static_cast<int>(buttons->standardButton(button)), 1}] = {button->text(), true};
        }
      }
    });
    snapshots_["Qt's own texts"] = std::move(snapshot);
  }

  // Waits for a page that shows a list and offers '>' once it is complete.
  W::HWND WaitForCompleteList() {
    const W::HWND list = tour_.WaitForPage(kProductListPage);
    if (list == W::kNullHwnd || !tour_.Wait(
                                    [&] {
                                      const auto next = W::GetControlState(list, kNext);
                                      return next && next->visible;
                                    },
                                    kPageWait)) {
      ADD_FAILURE() << "the product list never offered '>'";
      return W::kNullHwnd;
    }
    return list;
  }

  // The main menu with the selected product's name in its header.
  W::HWND WaitForIdentifiedMenu() {
    const W::HWND menu = tour_.WaitForPage(kMainMenuPage);
    if (menu == W::kNullHwnd) {
      return menu;
    }
    EXPECT_TRUE(tour_.Wait(
        [&] {
          const auto header = W::GetControlState(menu, kHeader);
          return header && !header->text.empty();
        },
        kPageWait))
        << "the main menu names no product";
    return menu;
  }

  // The product's main menu, information page and settings menu, and for a
  // modem the nationality page and the AT console; back to the list.
  void VisitProduct(const Product& product, W::HWND list, int line) {
    const std::string name = product.name;
    if (!tour_.Pick(list, kDeviceList, line) || !tour_.Click(list, kNext)) {
      return;
    }
    W::HWND menu = WaitForIdentifiedMenu();
    if (menu == W::kNullHwnd) {
      return;
    }
    Take(name + " main menu", menu, kMainMenuPage);

    if (PageBuilt(program_, kProductInformationPage) &&
        tour_.Click(menu, kProductInformationButton)) {
      const W::HWND information = tour_.WaitForPage(kProductInformationPage);
      if (information == W::kNullHwnd) {
        return;
      }
      constexpr int kNameValue = 1034;
      tour_.Wait([&] { return !W::GetDlgItemText(information, kNameValue).empty(); }, kPageWait);
      Take(name + " product information", information, kProductInformationPage);
      tour_.Click(information, kBack);
      menu = WaitForIdentifiedMenu();
      if (menu == W::kNullHwnd) {
        return;
      }
    }

    if (!tour_.Click(menu, kSettingsButton)) {
      return;
    }
    W::HWND settings = tour_.WaitForPage(product.settingsPage);
    if (settings == W::kNullHwnd) {
      return;
    }
    Take(name + " settings", settings, product.settingsPage);
    if (product.settingsPage == kKometSettingsPage) {
      HoverKometRadios(settings, name);
      settings = VisitNumberPage(name + " MSN setting", settings, product, kMsnEntry,
                                 resources::kKometMsnPage);
      settings = VisitNumberPage(name + " local setting", settings, product, kLocalEntry,
                                 resources::kKometLocalPage);
    } else if (product.settingsPage == kSolanoSettingsPage) {
      settings = VisitNumberPage(name + " MSN setting", settings, product, kMsnEntry,
                                 resources::kMsnSettingPage);
    }
    if (product.utilityPages) {
      if (PageBuilt(program_, kAtConsolePage) && tour_.Click(settings, kDefaultSettingButton)) {
        const W::HWND console = tour_.WaitForPage(kAtConsolePage);
        if (console == W::kNullHwnd) {
          return;
        }
        Take(name + " AT console", console, kAtConsolePage);
        tour_.Click(console, kBack);
        settings = tour_.WaitForPage(product.settingsPage);
      }
      if (settings != W::kNullHwnd && PageBuilt(program_, kNationalityPage) &&
          tour_.Click(settings, kCountryButton)) {
        const W::HWND nationality = tour_.WaitForPage(kNationalityPage);
        if (nationality == W::kNullHwnd) {
          return;
        }
        tour_.Wait([&] { return W::GetListCount(nationality, kCountryList) > 0; }, kPageWait);
        Take(name + " nationality", nationality, kNationalityPage);
        tour_.Click(nationality, kCancel);
        settings = tour_.WaitForPage(product.settingsPage);
      }
    }
    if (settings == W::kNullHwnd || !tour_.Click(settings, kBack)) {
      return;
    }
    menu = tour_.WaitForPage(kMainMenuPage);
    if (menu != W::kNullHwnd) {
      tour_.Click(menu, kBack);
    }
  }

 private:
  // An ISDN number page from the settings menu (a KOMET II's through its
  // radio and '>'), recorded once it has read the adapter; back to the menu,
  // which is returned (null when it did not come back).
  W::HWND VisitNumberPage(const std::string& step, W::HWND settings, const Product& product,
                          int entry, int index) {
    const bool komet = product.settingsPage == kKometSettingsPage;
    if (settings == W::kNullHwnd || !PageBuilt(program_, index) || !tour_.Click(settings, entry) ||
        (komet && !tour_.Click(settings, kNext))) {
      return settings;
    }
    const W::HWND page = tour_.WaitForPage(index);
    if (page == W::kNullHwnd) {
      return page;
    }
    // The page takes a sent message once it has read the adapter; the
    // KOMET II's pages then hide their wait text.
    static_cast<void>(W::SendMessage(page, W::WM_NULL, 0, 0));
    if (komet) {
      EXPECT_TRUE(tour_.Wait(
          [&] {
            const auto text = W::GetControlState(page, isdn::kKometWaitTextId);
            return text && !text->visible;
          },
          kPageWait))
          << step << ": still waiting for the adapter";
    }
    Take(step, page, index);
    tour_.Click(page, kCancel);
    const W::HWND settingsAgain = tour_.WaitForPage(product.settingsPage);
    // The KOMET II's menu selects its remembered radio as it comes up: a
    // click before that would be undone.
    if (komet && settingsAgain != W::kNullHwnd) {
      EXPECT_TRUE(tour_.Wait(
          [&] { return !W::GetDlgItemText(settingsAgain, kKometDescription).empty(); }, kPageWait));
    }
    return settingsAgain;
  }

  // The pointer over each radio of the KOMET II settings menu shows the
  // radio's description; consecutive radios have different ones.
  void HoverKometRadios(W::HWND settings, const std::string& name) {
    for (std::size_t i = 1; i <= kKometRadios.size(); ++i) {
      const int radio = kKometRadios.at(i % kKometRadios.size());
      const std::string before = W::GetDlgItemText(settings, kKometDescription);
      RunOnGuiThread([&] {
        if (const qt::PageWidget* widget = PageWidgetOf(settings)) {
          if (QWidget* control = widget->Control(radio)) {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(control, &enter);
          }
        }
      });
      EXPECT_TRUE(tour_.Wait(
          [&] { return W::GetDlgItemText(settings, kKometDescription) != before; }, kPageWait))
          << "pointing at radio " << radio << " changed no description";
      Take(name + " settings, pointing at " + std::to_string(radio), settings, kKometSettingsPage);
    }
  }

  Tour& tour_;
  const app::Program& program_;
  const char* token_;
  RunSnapshots& snapshots_;
  platform::window::TemplateRegistry templates_;
};

// Runs the program in `language` on the three products and records every
// page the tour reaches.
RunSnapshots RunLanguage(const Language& language) {
  RunSnapshots snapshots;
  std::vector<std::string> models;
  models.reserve(kProducts.size());
  for (const Product& product : kProducts) {
    models.emplace_back(product.model);
  }
  std::string diagnostics;
  const int result = RunTour(
      models,
      [&](Tour& tour, const app::Program& program) {
        PageRecorder recorder(tour, program, language.token, snapshots);
        recorder.TakeQtTexts();
        W::HWND list = recorder.WaitForCompleteList();
        if (list == W::kNullHwnd) {
          return;
        }
        recorder.Take("product list", list, kProductListPage);
        for (const Product& product : kProducts) {
          const QStringList lines = tour.Lines(list, kDeviceList);
          const auto line = std::find_if(lines.begin(), lines.end(), [&](const QString& text) {
            return text.contains(QString::fromLatin1(product.listed));
          });
          if (line == lines.end()) {
            ADD_FAILURE() << product.model
                          << " not in the list: " << lines.join(", ").toStdString();
            continue;
          }
          recorder.VisitProduct(product, list, static_cast<int>(line - lines.begin()));
          list = recorder.WaitForCompleteList();
          if (list == W::kNullHwnd) {
            return;
          }
        }
      },
      diagnostics, language.token,
      // The pages are read, not watched: the list needs no pause to be seen.
      [](app::Program& program) { program.product.selection.showListPauseTenths = 0; });
  EXPECT_EQ(result, 0) << language.name << ": " << diagnostics;
  return snapshots;
}

TEST(LanguagePages, EveryPageTheProgramShowsIsInItsLanguage) {
  const EnglishTexts english;
  std::map<std::string, RunSnapshots> runs;
  for (const Language& language : kLanguages) {
    runs[language.token] = RunLanguage(language);
  }
  const RunSnapshots& englishRun = runs.at("uk");
  ASSERT_GE(englishRun.size(), 12U) << "the English tour reached too few pages";

  for (const Language& language : kLanguages) {
    const shell::TextModule texts = TextsOf(language);
    const RunSnapshots& run = runs.at(language.token);
    for (const auto& [step, englishSnapshot] : englishRun) {
      const auto found = run.find(step);
      if (found == run.end()) {
        ADD_FAILURE() << language.name << ": the tour never reached " << step;
        continue;
      }
      const Snapshot& snapshot = found->second;
      if (step == "Qt's own texts") {
        for (const auto& [key, shown] : englishSnapshot) {
          const auto other = snapshot.find(key);
          ASSERT_NE(other, snapshot.end()) << language.name << ": Qt's button " << key.first;
          if (!IsEnglish(language)) {
            EXPECT_NE(other->second.text, shown.text)
                << Describe(language, "Qt's own text", shown.text) << " left in English";
          }
        }
        continue;
      }
      // A text of the program's that English shows and this language leaves empty.
      for (const auto& [key, shown] : englishSnapshot) {
        const auto other = snapshot.find(key);
        if (!english.IdsOf(shown.text).empty() && other != snapshot.end()) {
          EXPECT_FALSE(other->second.text.isEmpty())
              << Describe(language, step + ", control " + std::to_string(key.first), shown.text)
              << " missing";
        }
      }
      for (const auto& [key, shown] : snapshot) {
        const std::string where = step + ", control " + std::to_string(key.first);
        EXPECT_TRUE(shown.fits) << Describe(language, where, shown.text) << " clipped";
        if (const int id = english.LeftInEnglish(shown.text, texts); id != 0) {
          ADD_FAILURE() << Describe(language, where, shown.text) << " left in English (string "
                        << id << ")";
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Every template with every text its controls can show.

// Texts that controls show besides the one the page set-up puts there
// (kPageTexts), in turn or as lines of a drop-down list, by template: help
// texts under the pointer, status texts, the model pickers' fixed texts.
struct ControlTexts {
  int templateId;
  int control;
  std::vector<int> texts;
};

const std::vector<ControlTexts>& OtherControlTexts() {
  static const std::vector<ControlTexts> rows = {
      // product list and main menu while they identify
      {resources::kProductListTemplate, 1074, {2102}},
      {resources::kMainMenuTemplate, 1076, {2015}},
      {resources::kMainMenuTemplate, 1077, {2102}},
      // nationality list
      {resources::kNationalityTemplate,
       1023,
       {2162, 2163, 2164, 2165, 2166, 2167, 2168, 2169, 2170, 2171, 2172, 2173, 2174, 2175, 2176,
        2177, 2178, 2179, 2180}},
      // product information: column headings of a two-part adapter
      {resources::kProductInformationTemplate, 1070, {2050}},
      {resources::kProductInformationTemplate, 1071, {2067}},
      // KOMET II settings: the description of each radio
      {resources::kKometSettingsTemplate, 1121, {2227, 2209, 2076, 2127, 2126, 2245}},
      // upgrade: the refusal of old versions on the same-version page
      {resources::kUpgradeSameTemplate, 1076, {2042}},
      // progress: remaining time and status texts
      {resources::kUpgradeProgressTemplate, 1038, {2038}},
      {resources::kUpgradeProgressTemplate,
       1037,
       {2035, 2082, 2094, 2107, 2113, 2131, 2132, 2133, 2157, 2158, 2159, 2160}},
      // KOMET II local numbers in one-digit mode, and when the mode is unknown
      {resources::kKometLocalTemplate, 1115, {2211, 2472}},
      // protocols: help texts and the two buttons
      {resources::kProtocolsTemplate,
       1146,
       {2233, 2230, 2231, 2232, 2239, 2240, 2246, 2247, 2248, 2249}},
      {resources::kProtocolsTemplate, 1143, {2238}},
      {resources::kProtocolsTemplate, 1148, {2241}},
      // protocol choice: descriptions (2250, 2252, 2253 as the multilink rows fill them)
      {resources::kProtocolChoiceTemplate,
       1146,
       {2250, 2251, 2252, 2253, 2254, 2255, 2256, 2258, 2269}},
      // provider services: the service list, line functions, settings and help texts
      {resources::kProviderServicesTemplate,
       1154,
       {2259, 2262, 2265, 2270, 2273, 2279, 2282, 2285, 2288, 2299, 2301, 2293, 2300}},
      {resources::kProviderServicesTemplate, 1169, {2294, 2295, 2296, 2298}},
      {resources::kProviderServicesTemplate, 1129, {2307, 2268}},
      {resources::kProviderServicesTemplate, 1126, {2302}},
      {resources::kProviderServicesTemplate, 1127, {2303}},
      {resources::kProviderServicesTemplate, 1074, {2102, 2325}},
      {resources::kProviderServicesTemplate,
       1146,
       {2260, 2261, 2263, 2264, 2266, 2267, 2271, 2272, 2274, 2275, 2276, 2277,
        2278, 2280, 2281, 2283, 2284, 2286, 2287, 2289, 2290, 2312, 2313, 2314,
        2315, 2316, 2317, 2318, 2319, 2320, 2321, 2322, 2323, 2324, 2326, 2327}},
      // the model pickers
      {resources::kModemModelPickerTemplate, 1030, {2019}},
      {resources::kModemModelPickerTemplate, 1027, {2117, 2118, 2120, 2121}},
      {resources::kModemModelPickerTemplate, platform::window::IDOK, {2093}},
      {resources::kModemModelPickerTemplate, platform::window::IDCANCEL, {2008}},
      {resources::kIsdnModelPickerTemplate, 1035, {2020}},
      {resources::kIsdnModelPickerTemplate, platform::window::IDOK, {2093}},
  };
  return rows;
}

// A text as the page shows it: the multilink rows of the protocol choice
// fill their two placeholders with "Multilink" and string 2257.
QString PageText(const shell::TextModule& texts, int id) {
  QString text = QString::fromStdString(std::string(texts.Text(id)));
  if (id == 2250 || id == 2252 || id == 2253) {
    const QString tail = QString::fromStdString(std::string(texts.Text(2257)));
    for (const QString& fill : {QStringLiteral("Multilink"), tail}) {
      const auto at = text.indexOf(QStringLiteral("%s"));
      if (at >= 0) {
        text.replace(at, 2, fill);
      }
    }
  }
  return text;
}

TEST(LanguagePages, EveryTemplateHoldsEachTextItsControlsShow) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // NOLINT(concurrency-mt-unsafe): no thread yet
  int argc = 1;
  std::string name = "app_tests";
  std::array<char*, 2> argv{name.data(), nullptr};
  const QApplication app(argc, argv.data());
  platform::window::TemplateRegistry templates;
  dialogs::RegisterDialogTemplates(templates);
  qt::QtRenderer renderer(
      [](int id, QSize size) { return resources::pictures::RenderPicture(id, size); });
  platform::window::Desktop desktop(renderer, templates);

  std::map<int, std::vector<std::pair<int, int>>> byTemplate;  // {control, text}
  for (const qt::testing::PageTextRow& row : qt::testing::kPageTexts) {
    byTemplate[qt::testing::kPageTemplates.at(static_cast<std::size_t>(row.page))].emplace_back(
        row.control, row.text);
  }
  for (const ControlTexts& row : OtherControlTexts()) {
    for (const int text : row.texts) {
      byTemplate[row.templateId].emplace_back(row.control, text);
    }
  }
  std::vector<std::pair<Language, shell::TextModule>> languages;
  languages.reserve(kLanguages.size());
  for (const Language& language : kLanguages) {
    languages.emplace_back(language, TextsOf(language));
  }

  for (const auto& [templateId, rows] : byTemplate) {
    SCOPED_TRACE(templateId);
    platform::window::testing::DialogThread page(
        desktop, templateId, [](W::HWND, W::UINT message, W::WPARAM, W::LPARAM) -> W::LRESULT {
          return message == W::WM_INITDIALOG ? 1 : 0;
        });
    const W::HWND hwnd = page.WaitHandle();
    ASSERT_NE(hwnd, W::kNullHwnd);
    ASSERT_TRUE(QTest::qWaitFor([&] { return renderer.DialogWidget(hwnd) != nullptr; }));
    for (const auto& [control, id] : rows) {
      const QWidget* widget = renderer.ControlWidget(hwnd, control);
      ASSERT_NE(widget, nullptr) << "control " << control;
      const std::string where = "template " + std::to_string(templateId) + ", control " +
                                std::to_string(control) + ", string " + std::to_string(id);
      // Where the English is clipped too, the control is too small for the
      // text in any language: a matter of the layout, noted, not failed.
      const bool englishFits = Fits(*widget, PageText(shell::TextModule(), id));
      if (!englishFits) {
        std::cout << "[   NOTE   ] " << where << ": too small even for the English text\n";
      }
      for (const auto& [language, texts] : languages) {
        const QString text = PageText(texts, id);
        EXPECT_FALSE(text.isEmpty()) << language.name << ", " << where << ": missing";
        EXPECT_TRUE(!englishFits || Fits(*widget, text))
            << Describe(language, where, text) << " clipped";
      }
    }
    W::EndDialog(hwnd, 0);
    EXPECT_EQ(page.WaitResult(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return renderer.DialogWidget(hwnd) == nullptr; }));
  }
}

}  // namespace
}  // namespace norix::app
