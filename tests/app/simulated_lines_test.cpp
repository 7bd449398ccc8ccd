// Simulated products served by the program itself: listed as the maker's line
// devices and answering on their ports as the real product would.
#include "app/simulated_lines.h"

#include <sstream>

#include <gtest/gtest.h>

#include "link/telephony_devices.h"
#include "platform/telephony/line_directory.h"

namespace norix::app {
namespace {

namespace tapi = platform::telephony;

TEST(SimulatedLinesTest, AServedModelIsListedAndAnswersOnItsPort) {
  std::ostringstream diagnostics;
  tapi::LineDirectory lines(tapi::LineSources{}, diagnostics);
  SimulatedLines simulated;
  ASSERT_EQ(simulated.Serve("netrunner56k", lines), "");
  ASSERT_EQ(simulated.Serve("solano1280i", lines), "");
  ASSERT_EQ(simulated.Ports().size(), 2U);

  auto context = link::OpenContext(lines);
  ASSERT_NE(context, nullptr);
  ASSERT_EQ(context->ProductCount(), 2U);
  EXPECT_EQ(context->devices[0].name, "NORIX Netrunner 56000 Voice (simulated)");
  EXPECT_TRUE(link::IsMakersDevice(context->devices[1].name));

  context->currentDeviceId = context->devices[0].lineDeviceId;
  context->selectedIndex = 0;
  ASSERT_NE(link::OpenDevicePort(*context, 57600, false), nullptr) << "\"AT\" answered OK";
  EXPECT_TRUE(context->gciSupport) << "this model knows \"AT+GCI?\"";
  link::CloseDevicePort(*context);
  link::CloseContext(std::move(context));
}

// The pages tell modems, solano adapters and the KOMET II apart by the line
// device's name, so a simulated line carries the name of its product.
TEST(SimulatedLinesTest, LineNamesNameTheProductTheModelStandsFor) {
  EXPECT_EQ(SimulatedLineName("netrunner56k"), "NORIX Netrunner 56000 Voice (simulated)");
  EXPECT_EQ(SimulatedLineName("solano1280mi"), "NORIX solano 1280mi (simulated)");
  EXPECT_EQ(SimulatedLineName("komet2"), "NORIX KOMET II (simulated)");
  EXPECT_EQ(SimulatedLineName("int560"), "NORIX 560 V Int (simulated)");  // " V " is no version
  EXPECT_EQ(SimulatedLineName("solano-rescue"), "NORIX solano 1280 (simulated)");
  EXPECT_EQ(SimulatedLineName("foreign"), "NORIX foreign (simulated)");  // names no product
  EXPECT_EQ(SimulatedLineName("netrunner99"), "NORIX netrunner99 (simulated)");
}

TEST(SimulatedLinesTest, UnknownModelsAreRefusedWithoutAListedLine) {
  std::ostringstream diagnostics;
  tapi::LineDirectory lines(tapi::LineSources{}, diagnostics);
  SimulatedLines simulated;
  const std::string problem = simulated.Serve("netrunner99", lines);
  EXPECT_NE(problem.find("netrunner99"), std::string::npos) << problem;
  EXPECT_TRUE(lines.Collect().empty());
  EXPECT_TRUE(simulated.Ports().empty());
}

}  // namespace
}  // namespace norix::app
