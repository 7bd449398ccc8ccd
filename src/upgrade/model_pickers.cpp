#include "upgrade/model_pickers.h"

#include <array>
#include <string_view>

#include "platform/window/control_api.h"
#include "platform/window/dialog_box.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_frame.h"

namespace norix::upgrade {

namespace W = platform::window;

namespace {

constexpr int kModemPickerTitle = 2018;
constexpr int kModemPickerText = 2019;
constexpr int kIsdnPickerTitle = 2017;
constexpr int kIsdnPickerText = 2020;
constexpr int kOkText = 2093;
constexpr int kCancelText = 2008;
// In the order of the rescue model table's first four rows.
constexpr std::array<int, 4> kModemModelTexts{2120, 2118, 2117, 2121};
constexpr std::array<std::string_view, 3> kIsdnModels{"NORIX solano 1280i a/b",
                                                      "NORIX solano 1280i", "NORIX solano 1280mi"};

struct PickerTexts {
  int title = 0;
  int text = 0;
  int textControl = 0;
  int list = 0;
  bool cancel = false;
};

W::LRESULT Picker(shell::Frame& frame, const PickerTexts& texts, W::HWND dialog, W::UINT message,
                  W::WPARAM wParam) {
  if (message == W::WM_INITDIALOG) {
    W::SetWindowText(dialog, shell::LoadPageText(frame, texts.title));
    W::SetDlgItemText(dialog, texts.textControl, shell::LoadPageText(frame, texts.text));
    W::SetDlgItemText(dialog, W::IDOK, shell::LoadPageText(frame, kOkText));
    if (texts.cancel) {
      W::SetDlgItemText(dialog, W::IDCANCEL, shell::LoadPageText(frame, kCancelText));
      for (const int id : kModemModelTexts) {
        W::AddListItem(dialog, texts.list, shell::LoadPageText(frame, id));
      }
    } else {
      for (const std::string_view name : kIsdnModels) {
        W::AddListItem(dialog, texts.list, name);
      }
    }
    W::SetListSelection(dialog, texts.list, 0);
    return 1;
  }
  if (message != W::WM_COMMAND || W::HIWORD(wParam) != W::BN_CLICKED) {
    return 0;
  }
  switch (static_cast<int>(W::LOWORD(wParam))) {
    case W::IDOK: {
      const int line = W::GetListSelection(dialog, texts.list);
      W::EndDialog(dialog, line < 0 ? 0 : line);
      return 1;
    }
    case W::IDCANCEL:
      // The ISDN picker has no Cancel: closing it changes nothing.
      if (texts.cancel) {
        W::EndDialog(dialog, -1);
      }
      return 1;
    default:
      return 0;
  }
}

int Pick(shell::Frame& frame, W::HWND owner, int templateId, const PickerTexts& texts) {
  if (frame.desktop == nullptr) {
    return -1;
  }
  const W::LRESULT chosen = W::DialogBox(
      *frame.desktop, templateId, owner,
      [&frame, &texts](W::HWND dialog, W::UINT message, W::WPARAM wParam, W::LPARAM /*lParam*/) {
        return Picker(frame, texts, dialog, message, wParam);
      });
  return static_cast<int>(chosen);
}

}  // namespace

int PickModemModel(shell::Frame& frame, W::HWND owner) {
  return Pick(frame, owner, resources::kModemModelPickerTemplate,
              {kModemPickerTitle, kModemPickerText, kModemPickerTextId, kModemPickerListId, true});
}

int PickIsdnModel(shell::Frame& frame, W::HWND owner) {
  return Pick(frame, owner, resources::kIsdnModelPickerTemplate,
              {kIsdnPickerTitle, kIsdnPickerText, kIsdnPickerTextId, kIsdnPickerListId, false});
}

}  // namespace norix::upgrade
