// What the program knows of the selected product and keeps about choosing
// it, for every subsystem's pages and workers: the identification, the
// adapter's features, what the product list and main menu remember, the
// rescue flags, and the country setting's state.
#pragma once

#include "device/adapter_features.h"
#include "device/ident_record.h"
#include "device/nationality_state.h"
#include "device/selection_state.h"

namespace norix::device {

struct SelectedProduct {
  IdentRecord ident;
  AdapterFeatures features;
  SelectionState selection;
  RescueFlags rescue;
  NationalityState nationality;
};

}  // namespace norix::device
