// norix-probe over ptys: what it reports of each product beyond the name,
// in list order, with the products identified side by side.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "wizard/wizard_flow.h"

namespace norix::testing {
namespace {

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return "#popen failed";
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  EXPECT_EQ(::pclose(pipe), 0) << output;
  return output;
}

// The lines of `output` from "<index>: " up to the next device's.
std::string Block(const std::string& output, int index) {
  const auto start = output.find('\n' + std::to_string(index) + ": ");
  if (start == std::string::npos) return {};
  const auto end = output.find('\n' + std::to_string(index + 1) + ": ", start + 1);
  // From the line's start through the line end before the next device.
  return output.substr(start + 1, end == std::string::npos ? std::string::npos : end - start);
}

TEST(ProbeTest, ReportsAdapterPartsAndFeatureWordInListOrderIdentifyingSideBySide) {
  sim::ProductOptions slow;
  slow.replyDelay = 100ms;  // each identification lasts long enough to overlap the others
  WizardSession session({{"komet2", kKometLine, slow},
                         {"solano1280i-ab", kSolanoLine, slow},
                         {"netrunner56k", kNetrunnerLine, slow}},
                        Lines::kPty);
  TempDir dir;
  std::string conf;
  for (std::size_t i = 0; i < session.ProductCount(); ++i) {
    conf += "[line]\nname = " +
            std::string(i == 0   ? kKometLine
                        : i == 1 ? kSolanoLine
                                 : kNetrunnerLine) +
            "\nport = " + session.PortPath(i) + "\n";
  }
  const auto lines = dir.Write("lines.conf", conf);
  std::filesystem::create_directories(dir.Path() / "by-id");
  const auto trace = dir.Path() / "trace.txt";
  const std::string output =
      RunCommand(std::string(NORIX_PROBE_PATH) + " --lines " + lines.string() + " --by-id " +
                 (dir.Path() / "by-id").string() + " --trace " + trace.string() + " 2>&1");

  const std::string komet = Block(output, 0);
  const std::string solano = Block(output, 1);
  const std::string netrunner = Block(output, 2);
  EXPECT_NE(komet.find("NORIX KOMET II"), std::string::npos) << output;
  EXPECT_NE(komet.find("feature word:   1FBC\n"), std::string::npos) << output;
  EXPECT_EQ(komet.find("ATI7"), std::string::npos) << output;
  EXPECT_NE(solano.find("solano 1280i a/b"), std::string::npos) << output;
  EXPECT_NE(solano.find("ATI7 report:    \"Added Internal Analog Interface\"\n"), std::string::npos)
      << output;
  EXPECT_NE(solano.find("adapter parts:  analogue port\n"), std::string::npos) << output;
  EXPECT_NE(netrunner.find("NORIX Netrunner 56000 Voice"), std::string::npos) << output;
  EXPECT_EQ(netrunner.find("feature word"), std::string::npos) << output;
  EXPECT_EQ(netrunner.find("ATI7"), std::string::npos) << output;

  // Side by side: every port was opened before the first was closed.
  std::ifstream in(trace);
  std::stringstream text;
  text << in.rdbuf();
  const std::string events = text.str();
  const auto firstClose = events.find(" close");
  ASSERT_NE(firstClose, std::string::npos) << events;
  for (std::size_t i = 0; i < session.ProductCount(); ++i) {
    const auto open = events.find(" open " + session.PortPath(i));
    ASSERT_NE(open, std::string::npos) << events;
    EXPECT_LT(open, firstClose) << session.PortPath(i) << '\n' << events;
  }
}

}  // namespace
}  // namespace norix::testing
