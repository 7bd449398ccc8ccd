// The ids of the program's resources, each defined here once and used by
// name everywhere (pages, templates, renderer pictures, tests): the page
// indexes that navigation names, the dialog templates, the controls every
// page shares, and the pictures.
#pragma once

#include <array>

namespace norix::resources {

// Page indexes: the rows of the page table. kQuitPage is no row: asking for
// it ends the run.
inline constexpr int kQuitPage = -1;
inline constexpr int kProductListPage = 0;
inline constexpr int kMainMenuPage = 1;
inline constexpr int kUnusedListsPage = 2;  // no page leads to it
inline constexpr int kNationalityPage = 3;
inline constexpr int kUnusedSliderPage = 4;  // no page leads to it
inline constexpr int kAtCommandPage = 5;
inline constexpr int kModemSettingsPage = 6;
inline constexpr int kSolanoSettingsPage = 7;
inline constexpr int kKometSettingsPage = 8;
inline constexpr int kMsnSettingPage = 9;
inline constexpr int kTelephoneSettingPage = 10;
inline constexpr int kKometMsnPage = 11;
inline constexpr int kKometLocalPage = 12;
inline constexpr int kProtocolsPage = 13;
inline constexpr int kProtocolChoicePage = 14;
inline constexpr int kProviderServicesPage = 15;
inline constexpr int kProductInformationPage = 16;
inline constexpr int kUpgradeStartPage = 17;
inline constexpr int kUpgradeChoosePartPage = 18;
inline constexpr int kUpgradeOlderPage = 19;
inline constexpr int kUpgradeSamePage = 20;
inline constexpr int kUpgradeNewerPage = 21;
inline constexpr int kUpgradeProgressPage = 22;
inline constexpr int kUnusedEntryPage = 23;  // no page leads to it
inline constexpr int kPageCount = 24;

// Dialog templates of the pages.
inline constexpr int kMainMenuTemplate = 101;
inline constexpr int kProductListTemplate = 102;
inline constexpr int kAtCommandTemplate = 103;
inline constexpr int kUnusedListsTemplate = 105;
inline constexpr int kUnusedSliderTemplate = 106;
inline constexpr int kNationalityTemplate = 108;
inline constexpr int kModemSettingsTemplate = 109;
inline constexpr int kProductInformationTemplate = 111;
inline constexpr int kUpgradeStartTemplate = 112;
inline constexpr int kUpgradeOlderTemplate = 113;
inline constexpr int kUpgradeNewerTemplate = 114;
inline constexpr int kUpgradeSameTemplate = 115;
inline constexpr int kUpgradeProgressTemplate = 116;
inline constexpr int kSolanoSettingsTemplate = 126;
inline constexpr int kMsnSettingTemplate = 128;
inline constexpr int kTelephoneSettingTemplate = 129;
inline constexpr int kUpgradeChoosePartTemplate = 131;
inline constexpr int kKometMsnTemplate = 143;
inline constexpr int kKometLocalTemplate = 144;
inline constexpr int kKometSettingsTemplate = 147;
inline constexpr int kProtocolsTemplate = 148;
inline constexpr int kProtocolChoiceTemplate = 150;
inline constexpr int kUnusedEntryTemplate = 151;
inline constexpr int kProviderServicesTemplate = 152;

// The model pickers of the upgrade: dialogs that a page opens, no pages.
inline constexpr int kModemModelPickerTemplate = 117;
inline constexpr int kIsdnModelPickerTemplate = 122;

// The template of each page, by page index.
inline constexpr std::array<int, kPageCount> kPageTemplates{
    kProductListTemplate,       kMainMenuTemplate,           kUnusedListsTemplate,
    kNationalityTemplate,       kUnusedSliderTemplate,       kAtCommandTemplate,
    kModemSettingsTemplate,     kSolanoSettingsTemplate,     kKometSettingsTemplate,
    kMsnSettingTemplate,        kTelephoneSettingTemplate,   kKometMsnTemplate,
    kKometLocalTemplate,        kProtocolsTemplate,          kProtocolChoiceTemplate,
    kProviderServicesTemplate,  kProductInformationTemplate, kUpgradeStartTemplate,
    kUpgradeChoosePartTemplate, kUpgradeOlderTemplate,       kUpgradeSameTemplate,
    kUpgradeNewerTemplate,      kUpgradeProgressTemplate,    kUnusedEntryTemplate,
};

// Controls every page template may have.
inline constexpr int kHeaderId = 1027;       // the product's name in the header font
inline constexpr int kBackArrowId = 1014;    // '<'
inline constexpr int kNextArrowId = 1002;    // '>'
inline constexpr int kCancelArrowId = 1008;  // 'X'
inline constexpr int kOkArrowId = 1006;      // 'V'

// The program's icon: window icon and menu entry (installed beside it as
// share/icons/hicolor/scalable/apps/norix-config.svg).
inline constexpr int kProgramIconPicture = 1;

// Pictures: the page picture behind every page, the arrow button images
// (normal and pressed; the pressed one also while the button has the focus)
// and the country flags in the order of the nationality table (301
// Australia ... 318 England, 319 U.S.A.).
inline constexpr int kPagePicture = 120;
inline constexpr int kBackArrowPicture = 123;
inline constexpr int kBackArrowPressedPicture = 124;
inline constexpr int kNextArrowPicture = 126;
inline constexpr int kNextArrowPressedPicture = 128;
inline constexpr int kCancelArrowPicture = 129;
inline constexpr int kCancelArrowPressedPicture = 130;
inline constexpr int kOkArrowPicture = 138;
inline constexpr int kOkArrowPressedPicture = 139;
inline constexpr int kFirstFlagPicture = 301;
inline constexpr int kLastFlagPicture = 319;

// The arrow buttons with their pictures, in the order of their slots on the
// arrow row: < > X V.
struct ArrowButtonIds {
  int control;
  int picture;
  int pressedPicture;
};
inline constexpr std::array<ArrowButtonIds, 4> kArrowButtons{{
    {kBackArrowId, kBackArrowPicture, kBackArrowPressedPicture},
    {kNextArrowId, kNextArrowPicture, kNextArrowPressedPicture},
    {kCancelArrowId, kCancelArrowPicture, kCancelArrowPressedPicture},
    {kOkArrowId, kOkArrowPicture, kOkArrowPressedPicture},
}};

}  // namespace norix::resources
