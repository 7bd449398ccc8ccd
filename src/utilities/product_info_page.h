// The product information page (kProductInformationPage): the product's
// name, firmware release and date, its driver file and date, the program's
// name and version, and the "Test line" button that runs the line test.
#pragma once

#include <chrono>
#include <memory>

#include "device/selected_product.h"
#include "shell/page_table.h"
#include "utilities/line_test_clock.h"
#include "utilities/product_info_record.h"

namespace norix::utilities {

// Control ids of the product information template.
inline constexpr int kIsdnColumnHeadingId = 1070;
inline constexpr int kModemColumnHeadingId = 1071;
inline constexpr int kProductNameLabelId = 1033;
inline constexpr int kProductNameId = 1034;
inline constexpr int kReleaseLabelId = 1029;
inline constexpr int kReleaseId = 1031;
inline constexpr int kModemReleaseId = 1037;
inline constexpr int kDateLabelId = 1030;
inline constexpr int kDateId = 1032;
inline constexpr int kModemDateId = 1039;
inline constexpr int kDriverLabelId = 1041;
inline constexpr int kDriverFileId = 1042;
inline constexpr int kDriverDateId = 1043;
inline constexpr int kTestLineId = 1036;
inline constexpr int kProgramVersionId = 1176;

// The line test's timer: 4 s after an outcome, "Test line" can be used
// again.
inline constexpr unsigned kLineTestTimerId = 0;
inline constexpr std::chrono::milliseconds kLineTestRest{4000};

// Each opening of the page keeps its own line test state and worker;
// closing the page stops a running test and waits for its worker before the
// dialog ends, so the port is never closed under it. The line tests pause
// through the clock `lineTestClock` holds when the page opens (null: the
// real clock).
void RegisterProductInfoPage(shell::PageTable& pages, device::SelectedProduct& product,
                             ProductInformation& info,
                             std::shared_ptr<LineTestClock>& lineTestClock);

}  // namespace norix::utilities
