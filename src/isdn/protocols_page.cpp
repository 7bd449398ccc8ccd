#include "isdn/protocols_page.h"

#include <array>
#include <optional>
#include <string>

#include "isdn/init_string.h"
#include "platform/ascii/ascii_text.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"

namespace norix::isdn {

namespace {

namespace W = platform::window;
using shell::PageText;

constexpr int kOneChannelHelp = 2233;
constexpr int kTwoChannelsHelp = 2230;
constexpr int kOpenSentenceText = 2478;
constexpr int kCloseSentenceText = 2479;
constexpr int kKbitText = 2480;
constexpr int kSecondsText = 2481;

constexpr std::array<PageText, 10> kTexts{{
    {kOneChannelRadio, 2237},
    {kTwoChannelsRadio, 2236},
    {kBodCheck, 2234},
    {kCallBumpingCheck, 2235},
    {1163, kOpenSentenceText},
    {1164, kCloseSentenceText},
    {1165, kKbitText},
    {1166, kKbitText},
    {1167, kSecondsText},
    {1168, kSecondsText},
}};
constexpr std::array<PageText, 2> kButtons{{{kOtherButton, 2238}, {kSaveAsButton, 2241}}};

constexpr std::array<PageText, 10> kHelp{{
    {kOneChannelRadio, kOneChannelHelp},
    {kTwoChannelsRadio, kTwoChannelsHelp},
    {kBodCheck, 2231},
    {kCallBumpingCheck, 2232},
    {kOtherButton, 2239},
    {kSaveAsButton, 2240},
    {kOpenDelayField.control, 2246},
    {kCloseDelayField.control, 2247},
    {kOpenThresholdField.control, 2248},
    {kCloseThresholdField.control, 2249},
}};

// The fields in the order they are checked on OK.
constexpr std::array<const BodField*, 4> kFields{&kOpenThresholdField, &kOpenDelayField,
                                                 &kCloseThresholdField, &kCloseDelayField};

const BodField* FieldOf(int control) {
  for (const BodField* field : kFields) {
    if (field->control == control) {
      return field;
    }
  }
  return nullptr;
}

// A field's whole text as its number (empty is 0, a long one saturates);
// none when it holds anything but digits. The typing filter keeps the
// user's keys to digits, but text that reaches the field by another way
// (pasted, set by a renderer) must not carry a key or command into the
// init string either.
std::optional<long> FieldNumber(std::string_view text) {
  long value = 0;
  for (const char c : text) {
    if (!platform::ascii::IsDigit(c)) {
      return std::nullopt;
    }
    value = value < 100000 ? value * 10 + (c - '0') : value;
  }
  return value;
}

constexpr shell::PageDescription kDescription{.texts = kTexts,
                                              .buttons = kButtons,
                                              .cancel = resources::kKometSettingsPage,
                                              .escape = resources::kQuitPage};

class ProtocolsPage final : public shell::Page {
 public:
  ProtocolsPage(device::SelectedProduct& product, ProtocolSettings& settings,
                InitStringStore& store)
      : product_(product), settings_(settings), store_(store) {}

  void OnReady() override {
    Show(kSaveAsButton, false);
    if (settings_.backFromChoice) {
      settings_.backFromChoice = false;
    } else {
      KeepPrevious(store_, DriverKey());
      ReadInitString(Shared().registry, DriverKey(), store_);
      const DecodedInitString decoded = DecodeInitString(store_.current);
      settings_.flags = decoded.flags;
      settings_.bod = decoded.bod;
    }
    const std::uint32_t features = FeatureWord();
    if ((features & kCallBumping) == 0) {
      Show(kCallBumpingCheck, false);
      settings_.flags &= ~kCallBumping;
    }
    if ((features & kBandwidthOnDemand) == 0) {
      settings_.flags &= ~kBandwidthOnDemand;
      Enable(kBodCheck, false);
    }
    for (const BodField* field : kFields) {
      W::SetEditLimit(Window(), field->control, field->maximum > 99 ? 3 : 2);
      W::SetDlgItemText(Window(), field->control, std::to_string(settings_.bod.*(field->value)));
    }
    const ProtocolFlags flags = settings_.flags;
    if ((flags & kTwoChannels) != 0) {
      Check(kTwoChannelsRadio, true);
      Check(kOneChannelRadio, false);
      Check(kBodCheck, (flags & kBandwidthOnDemand) != 0);
      Check(kCallBumpingCheck, (flags & kCallBumping) != 0);
      TwoChannelsRule();
    } else {
      Check(kOneChannelRadio, true);
      Check(kTwoChannelsRadio, false);
      Check(kBodCheck, false);
      Check(kCallBumpingCheck, false);
      OneChannelRule();
    }
    if ((features & kOtherProtocols) != 0) {
      Show(kOtherButton, true);
      if ((flags & kOtherProtocols) != 0) {
        OtherRule();
      }
    }
    // Last, so that a shown description means the page is filled.
    SetText(kProtocolDescription, (flags & kTwoChannels) != 0 ? kTwoChannelsHelp : kOneChannelHelp);
  }

  bool OnCommand(int id, unsigned code) override {
    if (code == W::EN_KILLFOCUS) {
      if (const BodField* field = FieldOf(id)) {
        static_cast<void>(ApplyRangeRule(*field));
        return true;
      }
      return false;
    }
    if (code != W::BN_CLICKED) {
      return false;
    }
    switch (id) {
      case kOneChannelRadio:
        OneChannelRule();
        return true;
      case kTwoChannelsRadio:
        TwoChannelsRule();
        return true;
      case kBodCheck:
        EnableBodGroup(Checked(kBodCheck));
        return true;
      case kOtherButton:
        if (ReadPage()) {
          GoTo(resources::kProtocolChoicePage);
        }
        return true;
      case resources::kOkArrowId:
        Save();
        return true;
      default:
        return false;
    }
  }

  bool OnMessage(W::UINT message, W::WPARAM wParam, W::LPARAM lParam) override {
    if (message != shell::kControlHover) {
      return false;
    }
    shell::ShowHoverHelp(Window(), kProtocolDescription, kHelp, static_cast<int>(lParam),
                         W::HwndFromParam(wParam));
    return true;
  }

 private:
  [[nodiscard]] std::uint32_t FeatureWord() const { return product_.features.featureWord; }

  [[nodiscard]] std::optional<std::string> DriverKey() const {
    const link::ModemContext* context = Context();
    return context != nullptr ? context->driverKey : std::nullopt;
  }

  [[nodiscard]] bool Checked(int id) const {
    return W::IsDlgButtonChecked(Window(), id) == W::BST_CHECKED;
  }

  void Check(int id, bool on) const {
    W::CheckDlgButton(Window(), id, on ? W::BST_CHECKED : W::BST_UNCHECKED);
  }

  // The four number fields and their labels.
  void EnableBodGroup(bool enable) const {
    for (const BodField* field : kFields) {
      Enable(field->control, enable);
    }
    for (int label = kFirstBodLabel; label <= kLastBodLabel; ++label) {
      Enable(label, enable);
    }
  }

  void TwoChannelsRule() const {
    Enable(kBodCheck, (FeatureWord() & kBandwidthOnDemand) != 0);
    Enable(kCallBumpingCheck, true);
    EnableBodGroup(Checked(kBodCheck));
  }

  void OneChannelRule() const {
    Enable(kBodCheck, false);
    Enable(kCallBumpingCheck, false);
    EnableBodGroup(false);
  }

  // Another protocol than PPP is chosen: the channels are the protocol's
  // business.
  void OtherRule() const {
    if ((FeatureWord() & kOtherProtocols) != 0) {
      Enable(kOneChannelRadio, false);
      Enable(kTwoChannelsRadio, false);
    }
    OneChannelRule();
  }

  // The range rule of a field: its number bounded to the field's range (the
  // field shows the bound when it had to be applied) goes into the BOD
  // numbers. False, with the field left as it is, when it holds more than
  // digits.
  bool ApplyRangeRule(const BodField& field) {
    const std::optional<long> number = FieldNumber(W::GetDlgItemText(Window(), field.control));
    if (!number) {
      return false;
    }
    const std::uint8_t value = BoundToField(field, *number);
    if (*number > field.maximum || *number <= field.minimum) {
      W::SetDlgItemText(Window(), field.control, std::to_string(value));
    }
    settings_.bod.*(field.value) = value;
    return true;
  }

  // Reads the page into the flags (on OK and "Other"). With BOD ticked every
  // number field is read again, whether or not it has lost the focus since
  // it was typed in. False, after telling the user and giving the field the
  // focus, when a field holds more than digits; the flags are then as they
  // were.
  bool ReadPage() {
    ProtocolFlags flags = settings_.flags;
    if (!Checked(kTwoChannelsRadio)) {
      settings_.flags = flags & ~kTwoChannels;
      return true;
    }
    flags |= kTwoChannels;
    if (Checked(kBodCheck)) {
      for (const BodField* field : kFields) {
        if (!ApplyRangeRule(*field)) {
          W::SetFocus(W::GetDlgItem(Window(), field->control));
          Message(kBodDigitsOnlyText, W::MB_ICONEXCLAMATION);
          return false;
        }
      }
      flags |= kBandwidthOnDemand;
    } else {
      flags &= ~kBandwidthOnDemand;
    }
    flags = Checked(kCallBumpingCheck) ? flags | kCallBumping : flags & ~kCallBumping;
    settings_.flags = flags;
    return true;
  }

  // OK: the choice is kept with the driver init store; the page stays, with
  // the user's choice, when it could not be.
  void Save() {
    if (!ReadPage()) {
      return;
    }
    const std::string text = EncodeInitString(settings_.flags, settings_.bod, FeatureWord());
    switch (WriteInitString(Shared().registry, DriverKey(), text, store_)) {
      case InitStoreResult::kWritten:
        GoTo(resources::kKometSettingsPage);
        return;
      case InitStoreResult::kNoDriver:
        Message(kNoDriverSettingsText, W::MB_ICONEXCLAMATION);
        return;
      case InitStoreResult::kFailed:
        Message(kInitStoreFailedText, W::MB_ICONEXCLAMATION);
        return;
    }
  }

  device::SelectedProduct& product_;
  ProtocolSettings& settings_;
  InitStringStore& store_;
};

}  // namespace

void RegisterProtocolsPage(shell::PageTable& pages, device::SelectedProduct& product,
                           ProtocolSettings& settings, InitStringStore& store) {
  shell::RegisterPage<ProtocolsPage>(pages, resources::kProtocolsPage, kDescription, product,
                                     settings, store);
}

}  // namespace norix::isdn
