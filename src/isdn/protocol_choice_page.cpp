#include "isdn/protocol_choice_page.h"

#include <string>
#include <string_view>

#include "isdn/check_boxes.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/frame.h"
#include "shell/page_frame.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"

namespace norix::isdn {

namespace {

namespace W = platform::window;

// Fills the first two "%s" of a description with `first` and `second`. The
// text comes from a language catalogue: it is never used as a printf
// format, and any other '%' stays as it is.
std::string FillPlaceholders(std::string_view format, std::string_view first,
                             std::string_view second) {
  std::string text;
  int filled = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (filled < 2 && format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
      text += filled == 0 ? first : second;
      ++filled;
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

constexpr shell::PageDescription kDescription{.escape = resources::kQuitPage};

class ProtocolChoicePage final : public shell::Page {
 public:
  ProtocolChoicePage(device::SelectedProduct& product, ProtocolSettings& settings)
      : product_(product), settings_(settings) {}

  void OnReady() override {
    const std::uint32_t features = product_.features.featureWord;
    for (const ProtocolChoice& choice : kProtocolChoices) {
      Show(choice.radio, (features & choice.bit) != 0);
      SetTicked(Window(), choice.radio, (settings_.flags & choice.bit) != 0);
    }
  }

  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED) {
      return false;
    }
    if (id == resources::kOkArrowId) {
      for (const ProtocolChoice& choice : kProtocolChoices) {
        if (IsTicked(Window(), choice.radio)) {
          settings_.flags = choice.bit;
          break;
        }
      }
    } else if (id != resources::kCancelArrowId) {
      return false;
    }
    settings_.backFromChoice = true;
    GoTo(resources::kProtocolsPage);
    return true;
  }

  bool OnMessage(W::UINT message, W::WPARAM wParam, W::LPARAM lParam) override {
    if (message != shell::kControlHover) {
      return false;
    }
    // Only when the pointer has come to another control than last time.
    const W::HWND control = W::HwndFromParam(wParam);
    if (Shared().chrome.ExchangeHoverWindow(control) == control) {
      return true;
    }
    const int id = static_cast<int>(lParam);
    for (const ProtocolChoice& choice : kProtocolChoices) {
      if (choice.radio == id && W::IsWindowEnabled(control)) {
        ShowDescription(choice);
        break;
      }
    }
    return true;
  }

 private:
  void ShowDescription(const ProtocolChoice& choice) const {
    const std::string format = shell::LoadPageText(Shared(), choice.description);
    const bool multilink = (choice.bit & kMultilinkProtocols) != 0;
    const std::string text =
        multilink
            ? FillPlaceholders(format, "Multilink", shell::LoadPageText(Shared(), kMultilinkText))
            : FillPlaceholders(format, "", "");
    W::SetDlgItemText(Window(), kChoiceDescription, text);
    W::SetControlHelp(Window(), choice.radio, text);
  }

  device::SelectedProduct& product_;
  ProtocolSettings& settings_;
};

}  // namespace

void RegisterProtocolChoicePage(shell::PageTable& pages, device::SelectedProduct& product,
                                ProtocolSettings& settings) {
  shell::RegisterPage<ProtocolChoicePage>(pages, resources::kProtocolChoicePage, kDescription,
                                          product, settings);
}

}  // namespace norix::isdn
