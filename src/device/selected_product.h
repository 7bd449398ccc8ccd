// What the program knows of the selected product and keeps about choosing
// it, for every subsystem's pages and workers: the identification, the
// adapter's features, what the product list and main menu remember, the
// rescue flags, and the country setting's state.
#pragma once

#include <functional>

#include "device/adapter_features.h"
#include "device/ident_record.h"
#include "device/nationality_state.h"
#include "device/selection_state.h"
#include "platform/window/messages.h"

namespace norix::device {

struct SelectedProduct {
  IdentRecord ident;
  AdapterFeatures features;
  SelectionState selection;
  RescueFlags rescue;
  NationalityState nationality;
  // The upgrade's start, run on the page that found a product in rescue
  // mode; returns the page to go to. The program sets it when it registers
  // the pages (product selection cannot call the upgrade by itself); unset,
  // such a product goes to the main menu.
  std::function<int(platform::window::HWND page)> upgradeStart;
};

}  // namespace norix::device
